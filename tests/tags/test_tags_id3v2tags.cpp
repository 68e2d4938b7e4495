// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The ID3v2 reader: the header check, the fields of tags of every version and text
// encoding (written here, byte by byte), and files that end early or lie about sizes; and
// what is shown of a file whose tag at its start has no ID3v1 record at its end to go with.
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/containertags.h"
#include "tags/filetags.h"
#include "tags/id3v2tags.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testing::id3v2;

namespace {

const QString absent = QStringLiteral("<absent>");

QStringList shown(const ID3v2Fields& fields) {
    QStringList out;
    for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.year,
                              &fields.genre, &fields.comment})
        out << field->value_or(absent);
    return out;
}

const QStringList plain{"Title", "Artist", "Album", "1999", "(17)", "Comment"};
const QStringList plainRead{"Title", "Artist", "Album", "1999", "Rock", "Comment"};

} // namespace

class ID3v2TagsTest : public QObject {
    Q_OBJECT
private slots:
    void tagSize_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size"); // -1: no tag
        dataRow("2.2", header(2, 0, 100), qint64(110));
        dataRow("2.3", header(3, 0, 0x0FFFFFFF), qint64(0x0FFFFFFF + 10));
        dataRow("2.4", header(4, 0, 257), qint64(267));
        dataRow("2.4 footer", header(4, 0x10, 20), qint64(40));
        dataRow("2.3 footer flag ignored", header(3, 0x10, 20), qint64(30));
        dataRow("version 5", header(5, 0, 20), qint64(-1));
        dataRow("version 1", header(1, 0, 20), qint64(-1));
        dataRow("revision FF", QByteArray("ID3\x03\xFF\0\0\0\0\x10", 10), qint64(-1));
        dataRow("size not syncsafe", QByteArray("ID3\x03\0\0\0\x80\0\0", 10), qint64(-1));
        dataRow("cut header", header(3, 0, 20).left(9), qint64(-1));
        dataRow("junk after ID3", QByteArray("ID3junk!!!!!"), qint64(-1));
        dataRow("ID3v1", QByteArray("TAGTitle  "), qint64(-1));
    }
    void tagSize() {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        const auto got = id3v2TagSize(head.constData(), std::size_t(head.size()));
        QCOMPARE(got ? qint64(*got) : -1, size);
    }
    void fields_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // title, artist, album, year, genre, comment
        const QString japanese = QString::fromUtf8("夜に駆ける 🎵");
        const QString longTitle =
            QStringLiteral("A title that is far longer than thirty characters");
        const QStringList utf16{japanese, "YOASOBI", "THE BOOK", "2021", "Synthpop", japanese};
        const QStringList wide{longTitle, japanese, "Album", "2020", "(255)", "Kommentar"};
        const QStringList wideRead{longTitle, japanese, "Album", "2020", "Anime(J)", "Kommentar"};

        for (const int version : {2, 3, 4})
            QTest::addRow("2.%d Latin-1", version)
                << tag(version, sixFrames(version, Latin1, plain)) << plainRead;
        dataRow("2.2 UTF-16", tag(2, sixFrames(2, Utf16Bom, utf16)), utf16);
        dataRow("2.3 UTF-16", tag(3, sixFrames(3, Utf16Bom, utf16)), utf16);
        dataRow("2.4 UTF-16BE", tag(4, sixFrames(4, Utf16Be, wide)), wideRead);
        dataRow("2.4 UTF-8", tag(4, sixFrames(4, Utf8, wide)), wideRead);

        QStringList genres = plain, genresRead = plainRead;
        genres[4] = "17", genresRead[4] = "Rock";
        dataRow("genre number", tag(3, sixFrames(3, Latin1, genres)), genresRead);
        genres[4] = "(17)Rock";
        dataRow("genre reference and name", tag(3, sixFrames(3, Latin1, genres)), genresRead);
        genres[4] = genresRead[4] = "(256)";
        dataRow("genre out of range", tag(3, sixFrames(3, Latin1, genres)), genresRead);
        genres[4] = "Synthpop";
        genres[0] = QString::fromLatin1("Title\0\0  ", 9);
        genres[1] = "   ";
        genresRead = genres;
        genresRead[0] = "Title", genresRead[1] = absent, genresRead[4] = "Synthpop";
        dataRow("trailing NULs and blanks", tag(3, sixFrames(3, Latin1, genres)), genresRead);

        const QByteArray twoFrames =
            frame(3, "TIT2", textBody(Latin1, "Only")) + frame(3, "TPE1", textBody(Latin1, "Two"));
        const QStringList twoRead{"Only", "Two", absent, absent, absent, absent};
        dataRow("padding", tag(3, twoFrames + QByteArray(500, '\0')), twoRead);
        dataRow("no frames", tag(3, QByteArray(64, '\0')),
                QStringList{absent, absent, absent, absent, absent, absent});
        for (const quint32 size : {6, 10}) // 10: with a CRC
            QTest::addRow("2.3 extended header of %u", size)
                << tag(3, bigEndian(size, 4) + QByteArray(int(size), '\0') + twoFrames, 0x40)
                << twoRead;
        dataRow("2.2 compressed tag", tag(2, sixFrames(2, Latin1, plain), 0x40),
                QStringList(6, absent));
        dataRow("extended header too long", tag(3, bigEndian(999, 4) + twoFrames, 0x40),
                QStringList(6, absent));
        const QByteArray extended4 = bigEndian(6, 4, 7) + '\x01' + '\0';
        dataRow("2.4 extended header",
                tag(4,
                    extended4 + frame(4, "TIT2", textBody(Latin1, "Only")) +
                        frame(4, "TPE1", textBody(Latin1, "Two")),
                    0x40),
                twoRead);
        QByteArray withFooter = tag(4,
                                    frame(4, "TIT2", textBody(Latin1, "Only")) +
                                        frame(4, "TPE1", textBody(Latin1, "Two")),
                                    0x10);
        withFooter += "3DI" + withFooter.mid(3, 7);
        dataRow("2.4 footer", withFooter, twoRead);

        // Compressed frames are left alone: the compressed title is not read, even when it
        // would inflate to 16 MiB, and the frames after it are.
        for (const int version : {3, 4}) {
            const QByteArray zlib = qCompress(textBody(Latin1, QString(1 << 24, 'z'))).mid(4);
            const quint16 flags = version == 3 ? 0x0080 : 0x0009; // 2.4: with a data length
            const QByteArray compressed =
                frame(version, "TIT2", bigEndian(1 << 24, 4, version == 4 ? 7 : 8) + zlib, flags);
            QTest::addRow("2.%d compressed frame", version)
                << tag(version, compressed + frame(version, "TPE1", textBody(Latin1, "Two")))
                << QStringList{absent, "Two", absent, absent, absent, absent};
        }
        const QString ff = QString::fromLatin1("\xFF\xFFy\xFF");
        const QByteArray ffFrames = frame(3, "TIT2", textBody(Latin1, ff)) + twoFrames.mid(15);
        dataRow("unsynchronised", tag(3, unsynchronised(ffFrames), 0x80),
                QStringList{ff, "Two", absent, absent, absent, absent});
        const QByteArray multi =
            frame(4, "TCON", textBody(Latin1, QString::fromLatin1("\0Synthpop\0(17)", 14)));
        dataRow("2.4 recording time gives its year",
                tag(4, frame(4, "TDRC", textBody(Latin1, "2026-01-15T10:30"))),
                QStringList{absent, absent, absent, "2026", absent, absent});
        dataRow("2.3 year not a date stays as written",
                tag(3, frame(3, "TYER", textBody(Latin1, "20260115"))),
                QStringList{absent, absent, absent, "20260115", absent, absent});
        dataRow("2.4 several genres", tag(4, multi),
                QStringList{absent, absent, absent, absent, "Synthpop", absent});
    }
    void fields() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(shown(parseID3v2(bytes.constData(), std::size_t(bytes.size()))), expected);
        // The same tag at the start of a file with audio after it.
        const QString path = write(QStringLiteral("fields.mp3"), bytes + QByteArray(3000, '\xAA'));
        QCOMPARE(shown(readID3v2(path)), expected);
    }
    // What the media controls are told beside the catalogue's texts.
    void albumArtistDateAndTrack_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // album artist, date, track number
        const auto frames = [](int version, const QList<std::pair<QByteArray, QString>>& texts) {
            QByteArray out;
            for (const auto& [id, text] : texts)
                out += frame(version, id, textBody(Latin1, text));
            return tag(version, out);
        };
        dataRow("2.2", frames(2, {{"TP2", "Band"}, {"TRK", "3"}, {"TYE", "2001"}}),
                QStringList{"Band", "2001", "3"});
        dataRow("2.3 number of a total",
                frames(3, {{"TPE2", "Various"}, {"TRCK", "07/12"}, {"TYER", "1999"}}),
                QStringList{"Various", "1999", "7"});
        dataRow("2.4 recording time kept whole",
                frames(4, {{"TDRC", "2026-01-15T10:30"}, {"TRCK", "12"}}),
                QStringList{absent, "2026-01-15T10:30", "12"});
        dataRow("a side and place is no number", frames(3, {{"TRCK", "A1"}}),
                QStringList{absent, absent, "0"});
        dataRow("the first number with text counts", frames(3, {{"TRCK", " "}, {"TRCK", "5"}}),
                QStringList{absent, absent, "5"});
    }
    void albumArtistDateAndTrack() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        const ID3v2Fields fields = parseID3v2(bytes.constData(), std::size_t(bytes.size()));
        QCOMPARE((QStringList{fields.albumArtist.value_or(absent), fields.date.value_or(absent),
                              QString::number(fields.track)}),
                 expected);
    }
    void frontCover_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("picture"); // empty: none
        QTest::addColumn<QString>("mime");
        const QByteArray png("\x89PNG\r\n\x1A\n picture bytes \0\xFF end", 29);
        const auto apic = [&png](char type, const QByteArray& data) {
            return frame(3, "APIC", QByteArray("\0image/png\0", 11) + type + '\0' + data);
        };
        const QByteArray title = frame(3, "TIT2", textBody(Latin1, "T"));
        dataRow("2.3 front cover", tag(3, title + apic(3, png)), png, "image/png");
        dataRow("2.2 front cover", tag(2, frame(2, "PIC", QByteArray("\0JPG\x03\0", 6) + png)), png,
                "image/jpeg");
        dataRow("other picture first", tag(3, apic(4, "back") + apic(3, png)), png, "image/png");
        dataRow("only a back cover: the first picture",
                tag(3, title + apic(4, png) + apic(5, "other")), png, "image/png");
        dataRow("the first of two front covers",
                tag(3, apic(4, "back") + apic(3, png) + apic(3, "second front")), png, "image/png");
        dataRow("front cover cut off", tag(3, title + apic(3, png)).chopped(5), QByteArray(),
                QString());
    }
    void frontCover() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, picture);
        QFETCH(QString, mime);
        const ID3v2Fields fields = parseID3v2(bytes.constData(), std::size_t(bytes.size()));
        QCOMPARE(fields.frontCover.value_or(QByteArray()), picture);
        QCOMPARE(fields.frontCover.has_value(), !picture.isEmpty());
        QCOMPARE(fields.frontCoverMime, mime);
    }
    void files_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("zerosAfter"); // a sparse tail of zeros
        QTest::addColumn<QStringList>("expected");
        const QStringList none{absent, absent, absent, absent, absent, absent};
        const QByteArray whole = tag(3, sixFrames(3, Latin1, plain));
        const qsizetype lastFrame = whole.lastIndexOf("COMM");
        QStringList noComment = plainRead;
        noComment[5] = absent;

        dataRow("cut inside the last frame", whole.chopped(3), qint64(0), noComment);
        dataRow("cut before the last frame", whole.left(lastFrame), qint64(0), noComment);
        QByteArray claimsMore = whole;
        claimsMore.replace(6, 4, bigEndian(1 << 20, 4, 7));
        dataRow("size past the end", claimsMore, qint64(0), plainRead);
        dataRow("size past the read cap", claimsMore.replace(6, 4, bigEndian(0x0FFFFFFF, 4, 7)),
                qint64(ID3v2MaxReadSize), plainRead);
        const QByteArray bigComment = frame(3, "COMM", commentBody(Latin1, QString(9000, 'c')));
        QStringList bigRead = plainRead;
        bigRead[5] = QString(9000, 'c');
        dataRow("tag beyond the first read",
                tag(3, sixFrames(3, Latin1, plain).left(lastFrame - 10) + bigComment), qint64(0),
                bigRead);
        dataRow("no tag", QByteArray("\xFF\xFB\x90\x64") + QByteArray(400, '\x11'), qint64(0),
                none);
        dataRow("ID3 and junk", QByteArray("ID3\xFF\xFF junk junk junk"), qint64(0), none);
        dataRow("header only", header(3, 0, 0), qint64(0), none);
        dataRow("shorter than a header", QByteArray("ID3\x03"), qint64(0), none);
        dataRow("empty", QByteArray(), qint64(0), none);
    }
    void files() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, zerosAfter);
        QFETCH(QStringList, expected);
        const QString path = write(QStringLiteral("file.mp3"), bytes, zerosAfter);
        const ID3v2Fields fields = readID3v2(path);
        QCOMPARE(shown(fields), expected);
        QCOMPARE(fields.any(), expected.count(absent) < expected.size());
    }
    void specialFiles() {
        // Neither blocks nor reads anything from a FIFO, a folder or a missing file.
        const QString fifo = m_dir.filePath(QStringLiteral("fifo.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!readID3v2(fifo).any());
        QVERIFY(!readID3v2(m_dir.path()).any());
        QVERIFY(!readID3v2(m_dir.filePath(QStringLiteral("missing.mp3"))).any());
        QVERIFY(!readID3v2(QString()).any());
        QVERIFY(!readID3v2At(-1, 1000).any());
    }
    void filePositionKept() {
        const QString path = write(QStringLiteral("pos.mp3"), tag(3, sixFrames(3, Latin1, plain)));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QCOMPARE(::lseek(fd, 7, SEEK_SET), off_t(7));
        QCOMPARE(shown(readID3v2At(fd, QFileInfo(path).size())), plainRead);
        QCOMPARE(::lseek(fd, 0, SEEK_CUR), off_t(7));
        // A size smaller than the file's: only that much is looked at.
        QVERIFY(!readID3v2At(fd, 9).any());
        ::close(fd);
    }
    void shownWithoutID3v1_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("id3v2");
        QTest::addColumn<unsigned>("types");
        // The audio after the tag ends the file, as "UUUU..." or "\xFF\xFF...".
        dataRow("ID3v2 title only", "alone.mp3",
                tag(3, frame(3, "TIT2", textBody(Latin1, "Title"))) + QByteArray(400, 'U'), true,
                0u);
        dataRow("Vorbis comment title only", "alone.flac",
                flacFile({"TITLE=Title"}) + QByteArray(400, '\xFF'), false, unsigned(ExtraFlac));
    }
    void shownWithoutID3v1() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, id3v2);
        QFETCH(unsigned, types);
        const ShownTags tags =
            readShownTags(write(name, bytes), {TagCodePage::Western, id3v2, types});
        QVERIFY(tags.hasTag());
        QCOMPARE(tags.title(), QStringLiteral("Title"));
        QCOMPARE(tags.artist(), QString());
        QCOMPARE(tags.album(), QString());
    }

private:
    QTemporaryDir m_dir;
    QString write(const QString& name, const QByteArray& bytes, qint64 zerosAfter = 0) {
        const QString path = m_dir.filePath(name);
        if (!writeFile(path, bytes, zerosAfter))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

QTEST_GUILESS_MAIN(ID3v2TagsTest)
#include "test_tags_id3v2tags.moc"
