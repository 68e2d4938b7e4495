// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The tags of the opt-in file types and of an MP3's ID3v2 tag, from files written byte by
// byte: well-formed ones give their title and the year of their date; hostile ones (atoms
// nested 300,000 deep, a hundred thousand metadata blocks, headers over thousands of pages,
// a tag of thousands of frames) give no tags, or only what lies within the bounds, and never
// a crash. Run under the sanitizers by the GUI-less build.
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/containerlimits.h"
#include "tags/containertags.h"
#include "tags/id3v2tags.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testing::id3v2;

namespace {

const QString absent = QStringLiteral("<absent>");

// A FLAC head with count metadata blocks before its Vorbis comment.
QByteArray flacWithBlocks(int count, const QList<QByteArray>& comments) {
    QByteArray blocks;
    for (int i = 0; i < count; ++i)
        blocks += flacBlock(2, "appl", false); // APPLICATION, four bytes of id
    return flacHead(blocks + flacBlock(4, vorbisComments(comments), true));
}

// An Ogg Vorbis or Opus file whose comment packet is padded out over pages of one lace each.
QByteArray oggSpreadComment(int pages, bool opus) {
    QByteArray first = oggVorbisIdentPage();
    QByteArray comments = vorbisCommentPacket({"TITLE=Title"});
    if (opus) {
        first = oggOpusIdentPage();
        comments = "OpusTags" + vorbisComments({"TITLE=Title"});
    }
    comments += QByteArray(qMax(0, pages * 255 - int(comments.size())), '\0');
    return first + oggSpreadPacket(comments, 1);
}

} // namespace

class ContainerTagsTest : public QObject {
    Q_OBJECT
private slots:
    void read_data() {
        QTest::addColumn<QString>("name"); // its type: .mp3 is read for its ID3v2 tag
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // title, year
        const QStringList tagged{"Title", "2026"}, none{absent, absent};
        const QList<QByteArray> comments{"TITLE=Title", "DATE=2026-01-15"};
        const QByteArray audioPage = oggPage({QByteArray(40, '\x11')}, 3, 0, 4096);

        dataRow("m4a", "t.m4a",
                mp4File({{"\xA9nam", "Title"},
                         {"\xA9"
                          "day",
                          "2026-01-15T08:00:00Z"}}),
                tagged);
        dataRow("m4a atoms nested 300,000 deep", "deep.m4a",
                atom("ftyp", "M4A ") + nestedAtoms("moov", 300000), none);
        QByteArray deepTagged = mp4File({{"\xA9nam", "Title"}});
        deepTagged += nestedAtoms("udta", MostAtomDepth + 1);
        dataRow("m4a nest one level too deep after a tag", "deep2.m4a", deepTagged, none);

        // Its offset plus the size overflows: a stream that went back to the start made
        // TagLib read the file again and again until memory ran out.
        dataRow("m4a atom of a 64-bit size as large as can be", "huge.m4a",
                mp4File({{"\xA9nam", "Title"}}) + bigEndian(1, 4) + "free" +
                    bigEndian(quint64(std::numeric_limits<qint64>::max()), 8),
                QStringList{"Title", absent});

        dataRow("flac", "t.flac", flacFile(comments) + QByteArray(64, '\xFF'), tagged);
        dataRow("flac after an ID3v2 tag", "id3.flac",
                tag(3, frame(3, "TIT2", textBody(Latin1, "Other"))) + flacFile(comments), tagged);
        dataRow("flac with 100,000 metadata blocks", "blocks.flac",
                flacWithBlocks(100000, comments), none);

        dataRow("ogg", "t.ogg", oggVorbisHead(comments) + audioPage, tagged);
        for (const bool opus : {false, true}) {
            const QString name = opus ? "%1.opus" : "%1.ogg";
            QTest::addRow("%s header pages within the bound", opus ? "opus" : "ogg")
                << name.arg("within") << oggSpreadComment(MostOggHeaderPages - 10, opus) + audioPage
                << QStringList{"Title", absent};
            QTest::addRow("%s header pages over the bound", opus ? "opus" : "ogg")
                << name.arg("over") << oggSpreadComment(MostOggHeaderPages + 10, opus) + audioPage
                << none;
        }

        QByteArray frames;
        for (int i = 0; i < MostID3v2Frames; ++i)
            frames += frame(3, "TXXX", textBody(Latin1, ""));
        dataRow("mp3 title within the frame bound", "early.mp3",
                tag(3, frame(3, "TIT2", textBody(Latin1, "Title")) + frames),
                QStringList{"Title", absent});
        dataRow("mp3 title past the frame bound", "late.mp3",
                tag(3, frames + frame(3, "TIT2", textBody(Latin1, "Title"))), none);
    }
    void read() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, bytes));
        const ID3v2Fields fields =
            name.endsWith(".mp3") ? readID3v2(path) : readContainerTags(path);
        QCOMPARE((QStringList{fields.title.value_or(absent), fields.year.value_or(absent)}),
                 expected);
    }

    // What the media controls are told beside the catalogue's texts.
    void albumArtistDateAndTrack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // album artist, date, track number
        const QList<QByteArray> comments{"ALBUMARTIST=Various", "TRACKNUMBER=7/12",
                                         "DATE=2026-01-15"};
        const QStringList read{"Various", "2026-01-15", "7"};
        dataRow("flac", "t.flac", flacFile(comments), read);
        dataRow("ogg", "t.ogg",
                oggVorbisHead(comments) + oggPage({QByteArray(40, '\x11')}, 3, 0, 4096), read);
        // trkn: two bytes of nothing, the number and the total, two more of nothing.
        const QByteArray trkn = mp4Item("trkn", QByteArray::fromHex("00000007000c0000"), 0);
        dataRow("m4a", "t.m4a",
                mp4File({{"aART", "Various"},
                         {"\xA9"
                          "day",
                          "2026-01-15"}},
                        trkn),
                read);
        dataRow("none", "n.flac", flacFile({"TITLE=Title"}), QStringList{absent, absent, "0"});
    }
    void albumArtistDateAndTrack() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        const QString path = m_dir.filePath(name);
        QVERIFY(writeFile(path, bytes));
        const ID3v2Fields fields = readContainerTags(path);
        QCOMPARE((QStringList{fields.albumArtist.value_or(absent), fields.date.value_or(absent),
                              QString::number(fields.track)}),
                 expected);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ContainerTagsTest)
#include "test_tags_containertags.moc"
