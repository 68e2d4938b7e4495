// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The ID3v1 record and its two readers, on real files.
#include "base/nativepath.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "tags/codepage.h"
#include "tags/id3v1.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

QByteArray spacePadded(const QByteArray& bytes) {
    return bytes.leftJustified(30, ' ');
}

// Stand-in audio data: lower-case letters, so it never spells "TAG" and reads as itself.
QByteArray audio(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + (i * 7) % 26);
    return bytes;
}

QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.path() + QLatin1Char('/') + name;
    return writeFile(path, bytes) ? path : QString();
}

QString fixed(const QString& text, int width) {
    return text.left(width) + QString(qMax(0, width - int(text.size())), QLatin1Char(' '));
}

// Runs a reader on another thread; a reader that blocks is released and reported.
template <typename Fn> bool finishesPromptly(Fn fn, const QString& fifoToRelease) {
    auto done = std::async(std::launch::async, fn);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    const int writer = ::open(pathToNative(fifoToRelease).constData(), O_WRONLY | O_NONBLOCK);
    done.wait();
    if (writer >= 0)
        ::close(writer);
    return false;
}

} // namespace

class Id3v1Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void fixedWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        dataRow("padded", "abc", 6, "abc   ");
        dataRow("cut", "abcdefgh", 4, "abcd");
        dataRow("exact", "abcd", 4, "abcd");
        dataRow("empty", "", 3, "   ");
        dataRow("pair not split", QString::fromUtf8("ab😀"), 3, "ab ");
        dataRow("pair kept whole", QString::fromUtf8("ab😀c"), 4, QString::fromUtf8("ab😀"));
    }
    void fixedWidth() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        const QString result = sonavue::fixedWidth(text, width);
        QCOMPARE(result, expected);
        QCOMPARE(result.size(), width);
    }
    void decodeRecord() {
        TagFields f{"Title", "Artist",   encodeCodePage(QString::fromUtf8("アルバム")),
                    "1999",  "RVA=+010", 147,
                    7};
        const QByteArray raw = tagRecord(f);
        ID3v1Record record;
        decodeID3v1(raw.constData(), record);
        QVERIFY(record.hasTag());
        QCOMPARE(record.Header, QString("TAG"));
        // Fields keep their padding: NULs as read, padded with spaces to the field's width.
        QCOMPARE(record.Title, QString("Title") + QString(25, QChar(0)));
        QCOMPARE(record.Album, fixed(QString::fromUtf8("アルバム") + QString(22, QChar(0)), 30));
        QCOMPARE(record.Year, QString("1999"));
        QCOMPARE(record.Comment.size(), 30);
        QVERIFY(record.Comment.startsWith("RVA=+010"));
        QCOMPARE(record.Comment.at(28), QChar(0)); // byte 125
        QCOMPARE(record.Comment.at(29), QChar(7)); // byte 126, the track
        QCOMPARE(int(record.Genre), 147);
    }
    void readID3TAG_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("title");  // expected Title, before padding to 30
        QTest::addColumn<QString>("artist"); // expected Artist, before padding to 30
        QTest::addColumn<int>("genre");
        QTest::addColumn<int>("track");
        const QByteArray song = audio(4000);
        const auto row = [](const char* label, const QString& name, const QByteArray& contents,
                            const QString& title, const QString& artist, int genre, int track = 0) {
            dataRow(label, name, contents, title, artist, genre, track);
        };
        const auto nulPadded = [](const QString& text) {
            return text + QString(30 - text.size(), QChar(0));
        };
        // An untagged file's last 128 bytes read as a record all the same.
        const QString songArtist = QString::fromLatin1(song.right(128).mid(33, 30));
        const int songGenre = uchar(song.at(song.size() - 1));
        row("tagged", "a.mp3", song + tagRecord({"Song", "Band", "LP", "2001", "", 17}),
            nulPadded("Song"), nulPadded("Band"), 17);
        row("ID3v1.1 track number", "a.mp3",
            song + tagRecord({"Song", "Band", "LP", "2001", "", 17, 7}), nulPadded("Song"),
            nulPadded("Band"), 17, 7);
        row("comment to its end: no track number", "a.mp3",
            song + tagRecord({"Song", "Band", "LP", "2001", QByteArray(29, 'c') + '\x07', 17}),
            nulPadded("Song"), nulPadded("Band"), 17, 0);
        row("space-padded fields kept as read", "a.mp3",
            song + tagRecord({spacePadded("Song"), "", "", "", "", 0}), "Song", nulPadded(""), 0);
        row("untagged gets its file name", "track01.mp3", song, "track01.mp3", songArtist,
            songGenre);
        row("lower-case tag marker is no tag", "track02.mp3",
            song + tagRecord({"Song", "", "", "", "", 1, -1, "tag"}), "track02.mp3", nulPadded(""),
            1);
        row("all-space title gets the file name", "spaces.mp3",
            song + tagRecord({QByteArray(30, ' '), "X", "", "", "", 2}), "spaces.mp3",
            nulPadded("X"), 2);
        row("all-nul title gets the file name", "nuls.mp3",
            song + tagRecord({"", "X", "", "", "", 2}), "nuls.mp3", nulPadded("X"), 2);
        row("nuls and spaces title gets the file name", "mixed.wav",
            tagRecord({QByteArray(" \0 \0 ", 5), "", "", "", "", 3}), "mixed.wav", nulPadded(""),
            3);
        row("long file name cut to 30", "0123456789012345678901234567890123456789.mp3", song,
            "012345678901234567890123456789", songArtist, songGenre);
        row("exactly 128 bytes", "tiny.mid", tagRecord({"T", "", "", "", "", 255}), nulPadded("T"),
            nulPadded(""), 255);
        row("shift-jis title", "jp.mp3",
            song + tagRecord({encodeCodePage(QString::fromUtf8("日本の歌")), "", "", "", "", 146}),
            QString::fromUtf8("日本の歌") + QString(22, QChar(0)), nulPadded(""), 146);
        row("japanese file name", QString::fromUtf8("曲名.mp3"), song,
            QString::fromUtf8("曲名.mp3"), songArtist, songGenre);
    }
    void readID3TAG() {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QFETCH(int, genre);
        QFETCH(int, track);
        const QString path = makeFile(*m_dir, name, contents);
        QVERIFY(!path.isEmpty());
        ID3v1Record record;
        record.Album = "left over from before";
        sonavue::readID3TAG(path, record);
        const QByteArray raw = contents.right(TagSize);
        QCOMPARE(record.Header, QString::fromLatin1(raw.left(3)));
        QCOMPARE(record.Title, fixed(title, 30));
        QCOMPARE(record.Artist, fixed(artist, 30));
        QCOMPARE(record.Album, QString::fromLatin1(raw.mid(63, 30)));
        QCOMPARE(record.Year.size(), 4);
        QCOMPARE(record.Comment.size(), 30);
        QCOMPARE(int(record.Genre), genre);
        QCOMPARE(int(record.Track), track);
    }
    void readID3TAGFailuresGiveBlankRecord_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size"); // -1: no file; -2: a folder
        dataRow("100 bytes", "short.mp3", 100);
        dataRow("127 bytes", "short.mp3", 127);
        dataRow("empty file", "empty.mp3", 0);
        dataRow("missing file", "missing.mp3", -1);
        dataRow("folder named like a song", "folder.mp3", -2);
    }
    void readID3TAGFailuresGiveBlankRecord() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QString path = m_dir->filePath(name);
        if (size >= 0)
            path = makeFile(*m_dir, name, QByteArray("TAG") + QByteArray(qMax(0, size - 3), 'x'));
        else if (size == -2)
            QVERIFY(QDir(m_dir->path()).mkdir(name));
        ID3v1Record record;
        record.Header = "TAG";
        record.Title = "old";
        record.Comment = "old";
        record.Genre = 9;
        sonavue::readID3TAG(path, record);
        QVERIFY(!record.hasTag());
        for (const QString* field : {&record.Header, &record.Title, &record.Artist, &record.Album,
                                     &record.Year, &record.Comment})
            QVERIFY(field->isEmpty());
        QCOMPARE(int(record.Genre), 0);
    }
    void readID3TAGOnNonUtf8Name() {
        // A name that is not UTF-8 still opens, and the title keeps the name as the path has it.
        const QString name = pathFromNative(QByteArray("\x8B\xC8\xff.mp3"));
        const QString path = makeFile(*m_dir, name, audio(500));
        QVERIFY(!path.isEmpty());
        ID3v1Record record;
        sonavue::readID3TAG(path, record);
        QCOMPARE(record.Title, fixed(name, 30));
        QCOMPARE(pathToNative(record.Title.left(name.size())), QByteArray("\x8B\xC8\xff.mp3"));

        const QString tagged =
            makeFile(*m_dir, name + "2", audio(500) + tagRecord({"Ok", "", "", "", "", 5}));
        sonavue::readID3TAG(tagged, record);
        QCOMPARE(record.Title, fixed(QString("Ok") + QString(28, QChar(0)), 30));
        // Qt cannot remove names that are not UTF-8; the test removes its own.
        QCOMPARE(::unlink(pathToNative(path).constData()), 0);
        QCOMPARE(::unlink(pathToNative(tagged).constData()), 0);
    }
    void getMP3TAG_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // empty: no file
        QTest::addColumn<bool>("untouched");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("album");
        QTest::addColumn<int>("track");
        const auto read = [](const char* label, const QString& name, const QByteArray& contents,
                             const QString& title, const QString& artist, const QString& album,
                             int track) {
            dataRow(label, name, contents, false, title, artist, album, track);
        };
        const auto untouched = [](const char* label, const QString& name,
                                  const QByteArray& contents) {
            dataRow(label, name, contents, true, QString(), QString(), QString(), 0);
        };
        const TagFields tag{"Title", "Artist", "Album", "2000", "", 3, 7};
        const QByteArray tagged = audio(200) + tagRecord(tag);
        untouched("255 bytes is too short", "a.mp3", audio(127) + tagRecord(tag));
        read("256 bytes is read", "a.mp3", audio(128) + tagRecord(tag), "Title", "Artist", "Album",
             7);
        read(".MP3", "b.MP3", tagged, "Title", "Artist", "Album", 7);
        read(".Mp3", "c.Mp3", tagged, "Title", "Artist", "Album", 7);
        read("mp3 without a dot", "trackmp3", tagged, "Title", "Artist", "Album", 7);
        untouched(".wav is not read", "d.wav", tagged);
        untouched(".mid is not read", "e.mid", tagged);
        untouched("missing file", "gone.mp3", QByteArray());
        read("field starting with nul is empty", "f.mp3",
             audio(200) + tagRecord({QByteArray("\0Hidden", 7), "A", "B", "", "", 0, 1}), "", "A",
             "B", 1);
        read("30 non-nul bytes give all 30", "g.mp3",
             audio(200) + tagRecord({QByteArray(30, 'T'), "A", "B", "", "", 0}),
             QString(30, QLatin1Char('T')), "A", "B", 0);
        read("trailing spaces stay", "h.mp3",
             audio(200) + tagRecord({spacePadded("Hi"), "A  ", "B", "", "", 0}),
             QString("Hi") + QString(28, QLatin1Char(' ')), "A  ", "B", 0);
        read("nul in the middle ends the field", "i.mp3",
             audio(200) + tagRecord({QByteArray("Ab\0cd", 5), "", "", "", "", 0}), "Ab", "", "", 0);
        QByteArray trackWithoutZero = audio(200) + tagRecord(tag);
        trackWithoutZero[trackWithoutZero.size() - 3] = 'x'; // byte 125 is not 0
        read("track byte whatever byte 125 holds", "j.mp3", trackWithoutZero, "Title", "Artist",
             "Album", 7);
        read("track byte 255", "k.mp3", audio(200) + tagRecord({"T", "", "", "", "", 0, 255}), "T",
             "", "", 255);
        read("shift-jis fields", "l.mp3",
             audio(200) + tagRecord({encodeCodePage(QString::fromUtf8("タイトル")),
                                     encodeCodePage(QString::fromUtf8("歌手①")),
                                     QByteArray("\x82\xA0\x82", 3), "", "", 0, 2}),
             QString::fromUtf8("タイトル"), QString::fromUtf8("歌手①"),
             QString::fromUtf8("あ\uFFFD"), 2);
        read("no trailing record gives empty texts", "m.mp3", audio(1000), "", "", "", 0);
    }
    void getMP3TAG() {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, untouched);
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(int, track);
        QString path = m_dir->filePath(name);
        if (!contents.isEmpty())
            path = makeFile(*m_dir, name, contents);
        QString a = "caller artist", b = "caller album", t = "caller title";
        std::uint8_t n = 99;
        sonavue::getMP3TAG(path, a, b, t, n);
        if (untouched) {
            QCOMPARE(a, QString("caller artist"));
            QCOMPARE(b, QString("caller album"));
            QCOMPARE(t, QString("caller title"));
            QCOMPARE(int(n), 99);
            return;
        }
        QCOMPARE(t, title);
        QCOMPARE(a, artist);
        QCOMPARE(b, album);
        QCOMPARE(int(n), track);
    }
    void readersNeverBlockOnFifo() {
        const QString fifo = m_dir->filePath("x.mp3");
        QCOMPARE(::mkfifo(pathToNative(fifo).constData(), 0600), 0);

        ID3v1Record record;
        record.Title = "old";
        QVERIFY(finishesPromptly([&] { sonavue::readID3TAG(fifo, record); }, fifo));
        QVERIFY(record.Title.isEmpty());

        QString a = "keep", b = "keep", t = "keep";
        std::uint8_t n = 5;
        QVERIFY(finishesPromptly([&] { sonavue::getMP3TAG(fifo, a, b, t, n); }, fifo));
        QCOMPARE(t, QString("keep"));
        QCOMPARE(int(n), 5);

        char raw[TagSize];
        bool read = true;
        QVERIFY(finishesPromptly([&] { read = readTagBytes(pathToNative(fifo), raw); }, fifo));
        QVERIFY(!read);
    }
    void readTagBytesAtFolder() {
        // The folder scan's way: names relative to an open folder, the record finished apart.
        const QByteArray tag = tagRecord({"Song", "", "", "", "", 4});
        QVERIFY(!makeFile(*m_dir, "in.mp3", audio(300) + tag).isEmpty());
        QVERIFY(!makeFile(*m_dir, "short.mp3", audio(127)).isEmpty());
        QCOMPARE(::mkfifo(pathToNative(m_dir->filePath("pipe.mp3")).constData(), 0600), 0);
        const int dirfd = ::open(pathToNative(m_dir->path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(dirfd >= 0);

        for (const bool knownRegular : {false, true}) {
            char raw[TagSize];
            QVERIFY(readTagBytesAt(dirfd, "in.mp3", raw, knownRegular));
            QCOMPARE(QByteArray(raw, TagSize), tag);
            ID3v1Record record;
            recordFromTagBytes(raw, "in.mp3", record);
            QCOMPARE(record.Title, fixed(QString("Song") + QString(26, QChar(0)), 30));

            char untouched[TagSize];
            std::memset(untouched, 'u', TagSize);
            QVERIFY(!readTagBytesAt(dirfd, "short.mp3", untouched, knownRegular));
            QVERIFY(!readTagBytesAt(dirfd, "missing.mp3", untouched, knownRegular));
            // Even when the caller wrongly believes it is a regular file, a FIFO is refused
            // without blocking.
            bool read = true;
            QVERIFY(finishesPromptly(
                [&] { read = readTagBytesAt(dirfd, "pipe.mp3", untouched, knownRegular); },
                m_dir->filePath("pipe.mp3")));
            QVERIFY(!read);
            QCOMPARE(QByteArray(untouched, TagSize), QByteArray(TagSize, 'u'));

            record.Title = "old";
            recordFromTagBytes(nullptr, "short.mp3", record);
            QVERIFY(record.Title.isEmpty());
            QVERIFY(!record.hasTag());
        }
        ::close(dirfd);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(Id3v1Test)
#include "test_tags_id3v1.moc"
