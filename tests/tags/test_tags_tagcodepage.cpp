// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The tag code page choice: each setting on Latin-1, Shift-JIS and UTF-8 fields, auto's
// choice for a record and for a folder, and the readers carrying the choice through to the
// record and the tag window's texts.
#include "base/nativepath.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "tags/codepage.h"
#include "tags/codepagechoice.h"
#include "tags/id3v1.h"
#include "tags/tagcodepage.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

Q_DECLARE_METATYPE(sonavue::TagCodePage)

namespace {

const QByteArray LatinBjork("Bj\xF6rk");
const QByteArray LatinCafe("Caf\xE9");
const QByteArray Utf8Cafe("Caf\xC3\xA9");
const QByteArray Utf8Dawn = QString::fromUtf8("夜明け").toUtf8();
const QByteArray ShiftJisDawn("\x96\xE9\x96\xBE\x82\xAF");
const QString Dawn = QString::fromUtf8("夜明け");
const QString Bjork = QString::fromUtf8("Björk");
const QString Cafe = QString::fromUtf8("Café");

// A whole 128-byte record with these title, artist and album bytes (and an ID3v1.1 track).
QByteArray record(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                  char track = 0) {
    return tagRecord({title, artist, album, "2001", {}, 17, quint8(track)});
}

const QByteArray LongVowel("\x81\x5B"); // "ー", in most katakana words

QString withNuls(const QString& text, int nuls) {
    return text + QString(nuls, QChar(0));
}

} // namespace

class TagCodePageTest : public QObject {
    Q_OBJECT
private slots:
    void settingValues() {
        QCOMPARE(parseTagCodePage("932"), TagCodePage::ShiftJis);
        QCOMPARE(parseTagCodePage(" 1252 "), TagCodePage::Western);
        QCOMPARE(parseTagCodePage("65001"), TagCodePage::Utf8);
        QCOMPARE(parseTagCodePage("AUTO"), TagCodePage::Auto);
        for (const char* bad : {"", "utf-8", "1251", "0932x", "auto2"}) {
            QVERIFY2(!parseTagCodePage(QString::fromLatin1(bad)), bad);
            QCOMPARE(tagCodePageSetting(QString::fromLatin1(bad)), TagCodePage::ShiftJis);
        }
        QCOMPARE(tagCodePageSetting("auto"), TagCodePage::Auto);
    }
    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TagCodePage>("page");
        QTest::addColumn<QString>("expected");
        const QString replacement(QChar(0xFFFD));
        const auto row = [](const char* name, const QByteArray& bytes, TagCodePage page,
                            const QString& expected) { dataRow(name, bytes, page, expected); };
        row("932 shift-jis", ShiftJisDawn, TagCodePage::ShiftJis, Dawn);
        row("932 latin-1 is not readable", LatinCafe, TagCodePage::ShiftJis, "Caf" + replacement);

        row("1252 latin-1", LatinBjork, TagCodePage::Western, Bjork);
        row("1252 latin-1 cafe", LatinCafe, TagCodePage::Western, Cafe);
        row("1252 euro sign", QByteArray("5\x80"), TagCodePage::Western, QString::fromUtf8("5€"));
        row("1252 byte it leaves undefined", QByteArray("a\x81z"), TagCodePage::Western,
            "a" + replacement + "z");
        row("1252 reads utf-8 as two letters", Utf8Cafe, TagCodePage::Western,
            QString::fromUtf8("CafÃ©"));
        row("1252 keeps nuls", LatinCafe + QByteArray(2, '\0'), TagCodePage::Western,
            withNuls(Cafe, 2));

        row("65001 utf-8", Utf8Cafe, TagCodePage::Utf8, Cafe);
        row("65001 utf-8 japanese", Utf8Dawn, TagCodePage::Utf8, Dawn);
        row("65001 latin-1 byte is replaced", LatinCafe + "!", TagCodePage::Utf8,
            "Caf" + replacement + "!");
        row("65001 character cut by the field end is left out", Utf8Dawn.left(7), TagCodePage::Utf8,
            Dawn.left(2));
        row("65001 cut character before padding is bad", Utf8Dawn.left(7) + QByteArray(1, '\0'),
            TagCodePage::Utf8, Dawn.left(2) + replacement + QChar(0));

        row("auto utf-8", Utf8Cafe, TagCodePage::Auto, Cafe);
        row("auto utf-8 japanese", Utf8Dawn + QByteArray(3, '\0'), TagCodePage::Auto,
            withNuls(Dawn, 3));
        row("auto utf-8 cut by the field end", Utf8Dawn.left(8), TagCodePage::Auto, Dawn.left(2));
        row("auto lone field both read: shift-jis", LatinCafe, TagCodePage::Auto,
            "Caf" + replacement);
        row("auto shift-jis", ShiftJisDawn + QByteArray(2, '\0'), TagCodePage::Auto,
            withNuls(Dawn, 2));
        row("auto latin-1 in the private-use area", LatinBjork, TagCodePage::Auto, Bjork);
        row("auto latin-1 that does not decode", LatinCafe + QByteArray(4, '\0'), TagCodePage::Auto,
            withNuls(Cafe, 4));
        row("auto ascii", QByteArray("Plain title"), TagCodePage::Auto, "Plain title");
        row("auto empty", QByteArray(), TagCodePage::Auto, "");
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(TagCodePage, page);
        QFETCH(QString, expected);
        QCOMPARE(decodeTagText(bytes.constData(), bytes.size(), page), expected);
    }
    void shiftJisIsTheEarlierDecoding() {
        // The default keeps the Windows decoding byte for byte, odd results included.
        for (const QByteArray& bytes : {LatinBjork, LatinCafe, Utf8Dawn, ShiftJisDawn,
                                        QByteArray("\x80\xA0\xFD\x85\x80\x82")})
            QCOMPARE(decodeTagText(bytes.constData(), bytes.size(), TagCodePage::ShiftJis),
                     decodeCodePage(bytes.constData(), bytes.size()));
        QCOMPARE(DefaultTagCodePage, TagCodePage::ShiftJis);
    }
    void autoRecord_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TagCodePage>("folder");
        QTest::addColumn<TagCodePage>("expected");
        const auto row = [](const char* name, const QByteArray& bytes, TagCodePage folder,
                            TagCodePage expected) { dataRow(name, bytes, folder, expected); };
        const TagCodePage sjis = TagCodePage::ShiftJis, western = TagCodePage::Western;
        row("é before a space: only 1252", record("Caf\xE9 del Mar", "", ""), sjis, western);
        row("ö: shift-jis's private use", record("Hunter", LatinBjork, ""), sjis, western);
        row("long vowel mark: 1252 leaves it undefined", record("R" + LongVowel, "", ""), western,
            sjis);
        row("ß and Ü both read: the folder's",
            record("Stra\xDF"
                   "e",
                   "\xDC"
                   "ber",
                   ""),
            western, western);
        row("kanji both read: the folder's", record(ShiftJisDawn, "", ""), sjis, sjis);
        row("utf-8 record", record(Utf8Cafe, "", ""), sjis, TagCodePage::Utf8);
        row("utf-8 cut by a full field's end", record(Utf8Dawn.repeated(4).left(30), "", ""), sjis,
            TagCodePage::Utf8);
        row("latin-1 é ending a field is not utf-8", record("Fianc\xE9", "", ""), western, western);
        row("lead byte ending a full field is a cut character",
            record(LongVowel.repeated(14) + "a\x82", "", ""), western, sjis);
        row("ID3v1.1 track number is not text",
            record("Stra\xDF"
                   "e",
                   "", "", '\x90'),
            western, western);
        row("ascii", record("Plain", "Text", ""), western, western);
    }
    void autoRecord() {
        QFETCH(QByteArray, bytes);
        QFETCH(TagCodePage, folder);
        QFETCH(TagCodePage, expected);
        QCOMPARE(bytes.size(), TagSize);
        QCOMPARE(autoRecordCodePage(bytes.constData(), folder), expected);
    }
    void autoFolder_data() {
        QTest::addColumn<QList<QByteArray>>("records");
        QTest::addColumn<TagCodePage>("expected");
        const auto album = [](const QByteArray& artist, const QByteArray& name,
                              const QList<QByteArray>& titles) {
            QList<QByteArray> records;
            for (const QByteArray& title : titles)
                records << record(title, artist, name);
            return records;
        };
        dataRow("german, every record both read",
                album("Kraftklub",
                      "\xDC"
                      "ber alles",
                      {"\xDC"
                       "ber alles",
                       "Stra\xDF"
                       "e der Sehnsucht",
                       "M\xE4"
                       "dchen aus der Vorstadt",
                       "Blau"}),
                TagCodePage::Western);
        dataRow("french, every record both read",
                album("Yann Tiersen", "Am\xE9lie",
                      {"La Valse d'Am\xE9lie", "Comptine d'un autre \xE9t\xE9, l'apr\xE8s-midi",
                       "La Noy\xE9"
                       "e",
                       "Le Moulin"}),
                TagCodePage::Western);
        dataRow("japanese artist, english titles",
                album("\x8E\x52\x89\xBA\x92\x42\x98\x59", "FOR YOU",
                      {"SPARKLE", "MUSIC BOOK", "LOVELAND, ISLAND", "YOUR EYES"}),
                TagCodePage::ShiftJis);
        dataRow("kanji name the detector takes for western",
                album("\x92\x86\x93\x87\x94\xFC\x89\xC5", "STARS",
                      {"STARS", "Crescent Moon (Instrumental)", "STARS (Instrumental)"}),
                TagCodePage::ShiftJis);
        dataRow("two records are too few to judge",
                album("Various", "Caf\xE9 del Mar", {"Entre dos aguas", "\xC9t\xE9 indien"}),
                TagCodePage::ShiftJis);
        dataRow("little to go on: shift-jis",
                album("", "",
                      {"\xC4"
                       "rzte"}),
                TagCodePage::ShiftJis);
        QList<QByteArray> untagged = album("", "",
                                           {"Stra\xDF"
                                            "e"});
        untagged << QByteArray(TagSize, '\xF6');
        dataRow("records without TAG are passed over", untagged, TagCodePage::ShiftJis);
        dataRow("none", QList<QByteArray>(), TagCodePage::ShiftJis);
    }
    void autoFolder() {
        QFETCH(QList<QByteArray>, records);
        QFETCH(TagCodePage, expected);
        std::vector<const char*> pointers;
        for (const QByteArray& r : records)
            pointers.push_back(r.constData());
        QCOMPARE(autoFolderCodePage(pointers), expected);
    }
    void recordFieldsFollowTheChoice() {
        const QByteArray raw = record(LatinCafe, LatinBjork, "Post");
        ID3v1Record fields;
        decodeID3v1(raw.constData(), fields, TagCodePage::Auto);
        QCOMPARE(fields.Title, fixedWidth(withNuls(Cafe, 26), 30));
        QCOMPARE(fields.Artist, fixedWidth(withNuls(Bjork, 25), 30));
        QCOMPARE(fields.Year, QStringLiteral("2001"));

        // Without a choice the readers keep Shift-JIS.
        ID3v1Record byDefault;
        decodeID3v1(raw.constData(), byDefault);
        QVERIFY(!byDefault.Artist.startsWith(Bjork));

        decodeID3v1(raw.constData(), fields, TagCodePage::Western);
        QCOMPARE(fields.Artist, fixedWidth(withNuls(Bjork, 25), 30));

        QTemporaryDir dir;
        const QString path = dir.path() + "/song.mp3";
        QVERIFY(writeFile(path, QByteArray(300, 'a') + record(Utf8Dawn, Utf8Cafe, "")));
        ID3v1Record fromFile;
        readID3TAG(path, fromFile, TagCodePage::Utf8);
        QCOMPARE(fromFile.Title, fixedWidth(withNuls(Dawn, 21), 30));
        QCOMPARE(fromFile.Artist, fixedWidth(withNuls(Cafe, 25), 30));
    }
    void tagWindowReaderFollowsTheChoice() {
        QTemporaryDir dir;
        const QString path = dir.path() + "/song.mp3";
        QVERIFY(
            writeFile(path, QByteArray(300, 'a') + record(LatinCafe, LatinBjork, ShiftJisDawn)));
        QString artist, album, title;
        std::uint8_t number = 0;
        getMP3TAG(path, artist, album, title, number, TagCodePage::Auto);
        QCOMPARE(title, Cafe);
        QCOMPARE(artist, Bjork);
        // The record is read in one code page: its own bytes say 1252.
        QCOMPARE(album, decodeTagText(ShiftJisDawn.constData(), 6, TagCodePage::Western));
        getMP3TAG(path, artist, album, title, number, TagCodePage::ShiftJis);
        QCOMPARE(album, Dawn);
    }
};

QTEST_GUILESS_MAIN(TagCodePageTest)
#include "test_tags_tagcodepage.moc"
