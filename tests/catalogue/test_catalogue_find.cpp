// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// What a find shows: the rows whose title, artist, album or file name holds the text, with
// case, full-width and half-width forms, accents, and hiragana and katakana taken as the
// same; empty text shows the list from before the find again.
#include "catalogue/trackfinder.h"
#include "support/datarow.h"
#include "support/modeltesters.h"

#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

class TestFind : public QObject {
    Q_OBJECT

private slots:
    void findShowsTheRowsThatHoldTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown"); // row numbers
        dataRow("case", "blue MOON", QStringList{"0"});
        dataRow("full-width text typed half-width", "abc", QStringList{"0"});
        dataRow("half-width text typed full-width", "ＢＬＵＥ", QStringList{"0"});
        dataRow("katakana finds hiragana and half-width katakana", "サクラ", QStringList{"1", "2"});
        dataRow("hiragana finds katakana", "さくら", QStringList{"1", "2"});
        dataRow("half-width voiced mark", "どろっぷ", QStringList{"2"});
        dataRow("artist", "はな", QStringList{"2"});
        dataRow("album", "album one", QStringList{"3"});
        dataRow("album in kanji", "春", QStringList{"1"});
        dataRow("file name, not its folder", "zebra", QStringList{"3"});
        dataRow("file name's type", ".FLAC", QStringList{"2"});
        dataRow("not across two texts", "moon night", QStringList{});
        dataRow("nothing holds it", "xyz", QStringList{});
        dataRow("empty: the list from before", "", QStringList{"4"});
    }
    // Which letters are taken as the same: a title, what is typed, and whether it is found.
    void lettersReadAlike_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        dataRow("accent dropped from the text", "Ménilmontant", "menil", true);
        dataRow("accent typed, none in the text", "Cafe Society", "café", true);
        dataRow("accent at the end", "Café", "cafe", true);
        dataRow("capital with umlaut", "Über alles", "uber", true);
        dataRow("decomposed accent in the text", "Cafe\u0301", "cafe", true);
        dataRow("cedilla and ring", "Façade of Ångström", "facade of angstrom", true);
        dataRow("Vietnamese stacked marks", "Tiếng Việt", "tieng viet", true);
        dataRow("Cyrillic breve", "Чайковский", "чаиковскии", true);
        dataRow("sharp s is ss", "Straße", "strasse", true);
        dataRow("ss is sharp s", "Strasse", "straße", true);
        dataRow("capital sharp s", "STRAẞE", "strasse", true);
        dataRow("ae ligature is ae", "Æther", "aether", true);
        dataRow("ae is ae ligature", "Aether", "æther", true);
        dataRow("ligature among accents", "Sigur Rós — Ágætis byrjun", "agaetis", true);
        dataRow("slashed o", "Røyksopp", "royksopp", true);
        dataRow("stroke", "Łódź", "lodz", true);
        dataRow("a different letter stays apart", "Café", "cafa", false);
        dataRow("full-width Latin", "ＬＯＶＥ ｓｏｎｇ", "love", true);
        dataRow("full-width typed", "Lové song", "ＬＯＶＥ", true);
        dataRow("hiragana finds katakana", "サクラ", "さくら", true);
        dataRow("katakana finds hiragana", "さくら", "サクラ", true);
        dataRow("voiced is not unvoiced", "がっこう", "か", false);
        dataRow("unvoiced is not voiced", "かっこう", "が", false);
        dataRow("semi-voiced is not plain", "パン", "ハ", false);
        dataRow("plain is not semi-voiced", "ハンド", "パ", false);
        dataRow("semi-voiced is not voiced", "パン", "バ", false);
        dataRow("voiced hiragana finds voiced katakana", "ガッコウ", "がっこう", true);
        dataRow("half-width voiced finds voiced", "ｶﾞｯｺｳ", "が", true);
        dataRow("half-width voiced is not unvoiced", "ｶﾞｯｺｳ", "か", false);
        dataRow("decomposed voiced finds voiced", "か\u3099", "ガ", true);
        dataRow("decomposed voiced is not unvoiced", "か\u3099", "か", false);
    }
    void lettersReadAlike() {
        QFETCH(QString, title);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        Catalogue catalogue;
        const int row = catalogue.appendRow();
        catalogue.setCell(ColPath, row, QStringLiteral("/m/x.mp3"));
        catalogue.setCell(ColTitle, row, title);
        catalogue.setCell(ColArtist, row, QStringLiteral("y"));
        catalogue.setCell(ColAlbum, row, QStringLiteral("z"));

        QCOMPARE(FindIndex(catalogue).rowsContaining(typed),
                 found ? std::vector{0} : std::vector<int>{});
    }
    void findShowsTheRowsThatHoldTheText() {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        Catalogue catalogue;
        const QString rows[][4] = {{"/m/a/01 blue.mp3", "Blue Moon", "ＡＢＣ Band", "Night Songs"},
                                   {"/m/b/02 sakura.mp3", "さくら", "Yuki", "春"},
                                   {"/m/c/03 x.flac", "ｻｸﾗ ﾄﾞﾛｯﾌﾟ", "ハナ", "Spring"},
                                   {"/m/d/ZEBRA.ogg", "Track", "Someone", "Ａｌｂｕｍ Ｏｎｅ"},
                                   {"/m/zebra/04 other.mp3", "Other", "Someone", "Two"}};
        for (const auto& [path, title, artist, album] : rows) {
            const int row = catalogue.appendRow();
            catalogue.setCell(ColPath, row, path);
            catalogue.setCell(ColTitle, row, title);
            catalogue.setCell(ColArtist, row, artist);
            catalogue.setCell(ColAlbum, row, album);
        }
        GroupLists groups;
        BrowsingModel browsing(catalogue, groups);
        ModelTesters testers(browsing);
        browsing.showGroupValue(QStringLiteral("Other"), ColTitle);
        browsing.selectTrack(0);
        TrackFinder finder(browsing);
        finder.open();

        finder.setText(QStringLiteral("o")); // found rows first, so that empty text goes back
        finder.setText(text);

        QCOMPARE(browsing.trackNumbers(), shown);
        QCOMPARE(browsing.selectedTrack(), shown.isEmpty() ? -1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestFind)
#include "test_catalogue_find.moc"
