// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// What a find shows: the rows whose title, artist, album or file name holds the text, with
// case, full-width and half-width forms, and hiragana and katakana taken as the same; empty
// text shows the list from before the find again.
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
