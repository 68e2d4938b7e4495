// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The folder scan and the catalogue tool with the ID3v2 setting on and off: ID3v2 texts over
// ID3v1's where the tag has them, only for MP3s, the same rows whatever the read-ahead.
#include "catalogue/folderscan.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "support/processrun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testing::id3v2;

namespace {

const QString LongTitle = QStringLiteral("A title that goes on well past thirty characters");

std::unique_ptr<ScanRig> scan(const QString& folder, bool id3v2, int readers) {
    return scanned(folder, {DefaultTagCodePage, id3v2}, readers);
}

// Title, album, artist, year, genre and comment of row r.
QStringList row(const ScanRig& s, int r) {
    return cellsOf(s.catalogue, r, ColTitle, ColComment);
}

// An ID3v2 tag, stand-in audio, and an ID3v1 record when one is given.
bool writeTagged(const QString& path, const QByteArray& id3v2,
                 const std::optional<TagFields>& id3v1 = std::nullopt) {
    return writeFile(path, id3v2 + musicBytes(600, id3v1));
}

// Title, artist, album, year, genre, comment: what sixFrames takes, in its order.
QByteArray v23(const QStringList& texts) {
    return tag(3, sixFrames(3, Utf16Bom, texts));
}

} // namespace

class TestID3v2Scan : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        const QString d = m_dir.path();
        // Only ID3v2, with a genre reference and a long title.
        QVERIFY(writeTagged(d + "/a.mp3", v23({LongTitle, "Björk", "Post", "1995", "(17)", "c"})));
        // Both: ID3v2 without a year or comment frame; ID3v1 gives those.
        QVERIFY(writeTagged(d + "/b.mp3",
                            tag(3, frame(3, "TIT2", textBody(Latin1, "New title")) +
                                       frame(3, "TPE1", textBody(Latin1, "Artist 2"))),
                            tagOf("Old title", "Old artist", "Old album", "1980", 13)));
        // ID3v1 only.
        QVERIFY(writeTagged(d + "/c.mp3", QByteArray(), tagOf("Plain", "Someone", "Rec", "2001")));
        // Not an MP3: its ID3v2 header is not looked at.
        QVERIFY(writeTagged(d + "/d.wav", v23({"Wave", "W", "W", "2002", "Pop", ""})));
    }

    void settingOffKeepsTodaysRows() {
        const auto s = scan(m_dir.path(), false, 0);
        QCOMPARE(s->catalogue.rowCount(), 4);
        QCOMPARE(s->catalogue.cell(ColTitle, 0), QStringLiteral("a.mp3"));
        QCOMPARE(s->catalogue.cell(ColArtist, 0), QString());
        QCOMPARE(row(*s, 1),
                 (QStringList{"Old title", "Old album", "Old artist", "1980", "Pop", ""}));
        QCOMPARE(s->groups[GroupArtist].entries(), (QStringList{"Old artist", "Someone"}));
    }

    void id3v2FillsWhatItHas_data() {
        QTest::addColumn<int>("readers");
        dataRow("read on the scan's thread", 0);
        dataRow("read ahead on 4 threads", 4);
    }

    void id3v2FillsWhatItHas() {
        QFETCH(int, readers);
        const auto s = scan(m_dir.path(), true, readers);
        QCOMPARE(s->catalogue.rowCount(), 4);
        // Whole texts, the genre reference by its name, in the catalogue's column order.
        QCOMPARE(row(*s, 0), (QStringList{LongTitle, "Post", "Björk", "1995", "Rock", "c"}));
        QCOMPARE(row(*s, 1),
                 (QStringList{"New title", "Old album", "Artist 2", "1980", "Pop", ""}));
        QCOMPARE(row(*s, 2), (QStringList{"Plain", "Rec", "Someone", "2001", "Blues", ""}));
        QCOMPARE(s->catalogue.cell(ColTitle, 3), QStringLiteral("d.wav"));
        // A file tagged only with ID3v2 is found under its album, artist, year and genre.
        QCOMPARE(s->groups[GroupAlbum].entries(), (QStringList{"Post", "Old album", "Rec"}));
        QCOMPARE(s->groups[GroupArtist].entries(), (QStringList{"Artist 2", "Björk", "Someone"}));
        QCOMPARE(s->groups[GroupYear].entries(), (QStringList{"1980", "1995", "2001"}));
        QVERIFY(s->groups[GroupGenre].entries().contains(QStringLiteral("Rock")));
    }

    // The tool prints the same as before without --id3v2, and the ID3v2 texts with it.
    void catalogueToolOption() {
        const auto run = [&](const QStringList& arguments) {
            const ProcessRun tool = runProcess(builtProgram("sonavue-catalogue"), arguments, 30000);
            return tool.exitCode == 0 ? tool.out : QByteArray("failed");
        };
        const QByteArray plain = run({m_dir.path()});
        const QByteArray withID3v2 = run({QStringLiteral("--id3v2"), m_dir.path()});
        QVERIFY(plain.contains("\"a.mp3\""));
        QVERIFY(!plain.contains("Post"));
        QVERIFY(withID3v2.contains(LongTitle.toUtf8()));
        QVERIFY(withID3v2.contains("\"Björk\""));
        QCOMPARE(run({QStringLiteral("--codepage"), QStringLiteral("932"), m_dir.path()}), plain);
    }
};

QTEST_GUILESS_MAIN(TestID3v2Scan)
#include "test_catalogue_id3v2scan.moc"
