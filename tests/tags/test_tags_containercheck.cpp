// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The container check before a file is played: files written byte by byte, judged by their
// content whatever comes in front of it. Well-formed ones pass; MP4 atoms nested past the
// bound along any path the demuxer or TagLib descends, too many atoms, a compressed movie
// header, too many FLAC metadata blocks or Ogg header pages are refused with their reason.
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/containercheck.h"
#include "tags/containerlimits.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

QByteArray ftyp() {
    return atom("ftyp", "M4A " + bigEndian(0, 4) + "M4A mp42isom");
}

// depth sample entries of a type, each holding the next after its fields (fieldBytes), the
// sound ones inside a "wave" atom as QuickTime writes them.
QByteArray sampleEntries(const QByteArray& type, int fieldBytes, int depth) {
    QByteArray inner;
    for (int i = 0; i < depth; ++i) {
        const bool sound = type == "mp4a";
        const QByteArray held = sound && !inner.isEmpty() ? atom("wave", inner) : inner;
        inner = atom(type, QByteArray(fieldBytes, '\0') + held);
    }
    return atom("moov", atom("stsd", bigEndian(0, 4) + bigEndian(1, 4) + inner));
}

// depth "meta" atoms, each a full atom (version and flags) holding the next.
QByteArray nestedMeta(int depth) {
    QByteArray inner;
    for (int i = 0; i < depth; ++i)
        inner = atom("meta", bigEndian(0, 4) + inner);
    return inner;
}

// An APE tag in front of the content: its header and footer, no items.
QByteArray apeTag() {
    const QByteArray size = QByteArray("\x20\0\0\0", 4); // the footer's 32 bytes
    return "APETAGEX" + QByteArray("\xD0\x07\0\0", 4) + size + QByteArray(4, '\0') +
           QByteArray("\0\0\0\xA0", 4) + QByteArray(8, '\0') + "APETAGEX" +
           QByteArray("\xD0\x07\0\0", 4) + size + QByteArray(4, '\0') +
           QByteArray("\0\0\0\x80", 4) + QByteArray(8, '\0');
}

QByteArray flacWithBlocks(int count) {
    QByteArray blocks;
    for (int i = 0; i < count; ++i)
        blocks += flacBlock(2, "appl", false); // APPLICATION, four bytes of id
    return flacHead(blocks + flacBlock(4, vorbisComments({"TITLE=Title"}), true));
}

} // namespace

class ContainerCheckTest : public QObject {
    Q_OBJECT
private slots:
    void judgedByContent_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("defect"); // empty: none
        const QString deep = "MP4 atoms nested too deep";
        const QByteArray deepMp4 = ftyp() + atom("moov", nestedAtoms("trak", 60000));
        const QByteArray id3 = id3v2::tag(3, id3v2::frame(3, "TIT2", QByteArray("\0Title", 6)));
        const QByteArray audioPage = oggPage({QByteArray(40, '\x11')}, 3, 0, 4096);

        dataRow("m4a with tags", mp4File({{"\xA9nam", "Title"}}), QString());
        dataRow("flac", flacFile({"TITLE=Title"}), QString());
        dataRow("flac behind an ID3v2 tag", id3 + flacFile({"TITLE=Title"}), QString());
        dataRow("ogg", oggVorbisHead({"TITLE=Title"}) + audioPage, QString());
        dataRow("mp3 frames behind an ID3v2 tag",
                id3 + QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(400, '\0'), QString());
        dataRow("empty", QByteArray(), QString());
        dataRow("atoms nested to the bound", nestedAtoms("moov", MostAtomDepth), QString());

        dataRow("60,000 nested tracks", deepMp4, deep);
        dataRow("the same behind ID3v2 and APE tags",
                id3 + QByteArray("ID3\x05\0\0\0\0\0\0", 10) + apeTag() + deepMp4, deep);
        // Containers TagLib passes over but the demuxer descends into.
        dataRow("nested edit lists", ftyp() + atom("moov", nestedAtoms("edts", 40)), deep);
        dataRow("sound entries nested through wave atoms", sampleEntries("mp4a", 28, 20), deep);
        dataRow("nested video entries", sampleEntries("avc1", 78, 40), deep);
        dataRow("nested meta atoms", atom("moov", nestedMeta(40)), deep);
        dataRow("one level past TagLib's bound", nestedAtoms("moov", MostAtomDepth + 1),
                QString("MP4 atoms nested too deep or too many"));
        dataRow("compressed movie header",
                ftyp() + atom("moov", atom("cmov", atom("dcom", "zlib") + atom("cmvd", "x"))),
                QString("a compressed MP4 movie header"));
        dataRow("more atoms than the bound", atom("free", {}).repeated(MostAtoms + 1),
                QString("more MP4 atoms than any real file holds"));
        dataRow(
            "flac with 100,000 metadata blocks", flacWithBlocks(100000),
            QString("more FLAC metadata blocks than any real file holds, or some past its end"));
        dataRow("ogg header pages over the bound",
                oggVorbisIdentPage() +
                    oggSpreadPacket(QByteArray((MostOggHeaderPages + 10) * 255, 'x'), 1) +
                    audioPage,
                QString("more Ogg header pages than any real file holds"));
    }
    void judgedByContent() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, defect);
        // Named as no type at all: only the content counts.
        const QString path = m_dir.filePath(QStringLiteral("file"));
        QVERIFY(writeFile(path, bytes));
        const std::optional<const char*> found = containerFileDefect(QFile::encodeName(path));
        QCOMPARE(found ? QString::fromLatin1(*found) : QString(), defect);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ContainerCheckTest)
#include "test_tags_containercheck.moc"
