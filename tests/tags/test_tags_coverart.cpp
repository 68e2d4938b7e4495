// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The picture that goes with a track: a picture file beside it (by name, any letter case,
// regular files only, in folders whose names are not UTF-8) and the picture embedded in each
// type's tags, copied once into a cache folder that keeps to its bounds; none at all unless
// the cover art setting is on.
#include "base/nativepath.h"
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/containerlimits.h"
#include "tags/containertags.h"
#include "tags/coverart.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testing::id3v2;

namespace {

qint64 mtimeNs(const QString& path) {
    struct stat st {};
    if (::stat(pathToNative(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// An ID3v2.3 picture frame of this picture type (3 front cover, 4 back cover, ...).
QByteArray apic(char type, const QByteArray& mime, const QByteArray& picture) {
    return frame(3, "APIC", QByteArray(1, '\0') + mime + '\0' + type + '\0' + picture);
}

// An MP3 whose ID3v2.3 tag has a title and these frames.
QByteArray mp3WithFrames(const QByteArray& frames) {
    return tag(3, frame(3, "TIT2", textBody(Latin1, QStringLiteral("Song"))) + frames) +
           QByteArray(512, '\x55');
}

// An MP3 whose ID3v2.3 tag has a title and, when picture is not empty, a front cover.
QByteArray mp3WithCover(const QByteArray& picture, const QByteArray& mime) {
    return mp3WithFrames(picture.isEmpty() ? QByteArray() : apic(3, mime, picture));
}

const QByteArray png("\x89PNG\r\n\x1A\n embedded picture \0\xFF", 29);
const QByteArray backPicture("\xFF\xD8\xFF back cover", 14);

// Pictures read with every type listed and the cover art setting on.
TagReading coverReading() {
    TagReading reading;
    reading.id3v2 = true;
    reading.extraTypes = parseExtraTypes(QStringLiteral("flac,ogg,opus,m4a"));
    reading.coverArt = true;
    return reading;
}

// A cache file's own kind of name: the SHA-1 of some picture and an extension.
QString cacheName(int number, const char* extension = "jpg") {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::number(number), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(hash + '.' + extension);
}

// Sets a file's last access ageSeconds ago, and its last change as long after, so that a
// judge by the change time gets the order the wrong way round.
bool setAge(const QString& path, int ageSeconds) {
    const time_t now = ::time(nullptr);
    const struct timespec times[2] = {{now - ageSeconds, 0}, {now - 100000 + ageSeconds, 0}};
    return ::utimensat(AT_FDCWD, pathToNative(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace

class CoverArtTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void folderPictureByNameInAnyCase_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        dataRow("none", QStringList{"track.mp3"}, QString());
        dataRow("near misses", QStringList{"cover.bmp", "cover.jpg.bak", "album.jpg", "xcover.jpg"},
                QString());
        dataRow("front only", QStringList{"FRONT.JPG"}, "FRONT.JPG");
        dataRow("folder before front", QStringList{"front.jpg", "Folder.Jpg"}, "Folder.Jpg");
        dataRow("cover.png before folder", QStringList{"folder.jpg", "front.jpg", "COVER.PNG"},
                "COVER.PNG");
        dataRow("cover.jpg first", QStringList{"front.jpg", "folder.jpg", "cover.png", "Cover.JPG"},
                "Cover.JPG");
        dataRow("folder.png", QStringList{"front.jpg", "folder.png"}, "folder.png");
        dataRow("front.png", QStringList{"AlbumArtSmall.jpg", "Front.png"}, "Front.png");
        dataRow("cover.webp", QStringList{"folder.jpg", "cover.webp"}, "cover.webp");
        dataRow("jpeg before png", QStringList{"folder.png", "folder.webp", "Folder.jpeg"},
                "Folder.jpeg");
        dataRow("the large AlbumArt before the small",
                QStringList{"AlbumArtSmall.jpg",
                            "AlbumArt_{0A1B2C3D-1111-2222-3333-444455556666}_Small.jpg",
                            "AlbumArt_{0A1B2C3D-1111-2222-3333-444455556666}_Large.jpg"},
                "AlbumArt_{0A1B2C3D-1111-2222-3333-444455556666}_Large.jpg");
        dataRow("AlbumArtSmall alone", QStringList{"albumartsmall.jpg"}, "albumartsmall.jpg");
        dataRow("AlbumArt near misses",
                QStringList{"AlbumArt.png", "AlbumArtSmall.jpg.part", "MyAlbumArt.jpg"}, QString());
    }
    void folderPictureByNameInAnyCase() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        for (const QString& name : files)
            QVERIFY(writeFile(path(name), "picture"));
        const QString found = folderCoverPath(path(QStringLiteral("track.mp3")));
        QCOMPARE(found, expected.isEmpty() ? QString() : path(expected));
    }

    void onlyRegularFilesAreTaken() {
        // A FIFO is never opened (it would block); a folder is no picture either.
        QCOMPARE(::mkfifo(pathToNative(path("cover.jpg")).constData(), 0600), 0);
        QCOMPARE(::mkfifo(pathToNative(path("AlbumArt_{X}_Large.jpg")).constData(), 0600), 0);
        QVERIFY(QDir().mkdir(path("Cover.png")));
        const QString track = path(QStringLiteral("track.mp3"));
        QCOMPARE(folderCoverPath(track), QString());
        QVERIFY(writeFile(path("front.jpg"), "picture"));
        QCOMPARE(folderCoverPath(track), path("front.jpg"));
        // The embedded cover's lookup takes the same way past the FIFO.
        QCOMPARE(coverArtPath(track, coverReading(), path("cache")), path("front.jpg"));
    }

    void folderNameThatIsNotUtf8() {
        const QString folder = m_dir->path() + '/' + pathFromNative(QByteArray("\xE9t\xE9 \xFF"));
        QVERIFY(::mkdir(pathToNative(folder).constData(), 0755) == 0);
        QVERIFY(writeFile(folder + QStringLiteral("/cOVER.jpg"), "picture"));
        const QString found = folderCoverPath(folder + QStringLiteral("/track.mp3"));
        QCOMPARE(pathToNative(found), pathToNative(m_dir->path()) + "/\xE9t\xE9 \xFF/cOVER.jpg");
        QCOMPARE(readFile(found), QByteArray("picture"));
        // QTemporaryDir cannot remove what it cannot name.
        QCOMPARE(::unlink(pathToNative(found).constData()), 0);
        QCOMPARE(::rmdir(pathToNative(folder).constData()), 0);
    }

    void embeddedPictureIsCachedOnce() {
        const QString cache = path("cache/deeper/Sonavue"); // made when missing
        const QString first = cachedCoverPath(png, QStringLiteral("image/png"), cache);
        const QString expected =
            cache + '/' +
            QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha1).toHex()) +
            QStringLiteral(".png");
        QCOMPARE(first, expected);
        QCOMPARE(readFile(first), png);

        // Same bytes: the same file, not written again, but read again for the bounds' sake.
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, pathToNative(first).constData(), old, 0), 0);
        const qint64 before = mtimeNs(first);
        QCOMPARE(cachedCoverPath(png, QStringLiteral("image/png"), cache), first);
        QCOMPARE(mtimeNs(first), before);
        QVERIFY(QFileInfo(first).lastRead() > QDateTime::currentDateTime().addSecs(-60));

        // Other bytes: another file; a missing MIME type is told from the bytes.
        const QByteArray jpeg("\xFF\xD8\xFF\xE0 other picture", 19);
        const QString second = cachedCoverPath(jpeg, QString(), cache);
        QVERIFY(second.endsWith(QStringLiteral(".jpg")));
        QVERIFY(second != first);
        QCOMPARE(readFile(second), jpeg);
        // Nothing else is left behind (no temporary files).
        QCOMPARE(QDir(cache).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(cachedCoverPath(QByteArray(), QStringLiteral("image/png"), cache), QString());
    }

    void uncreatableCacheFolderMeansNoPicture() {
        QVERIFY(writeFile(path("file"), "not a folder"));
        const QString cache = path("file/Sonavue");
        QCOMPARE(cachedCoverPath(png, QStringLiteral("image/png"), cache), QString());
        QVERIFY(writeFile(path("track.mp3"), mp3WithCover(png, "image/png")));
        const TagReading reading = coverReading();
        QCOMPARE(coverArtPath(path("track.mp3"), reading, cache), QString());
        // A folder picture is still found.
        QVERIFY(writeFile(path("folder.jpg"), "picture"));
        QCOMPARE(coverArtPath(path("track.mp3"), reading, cache), path("folder.jpg"));
    }

    void embeddedCoverBeforeTheFolderPicture() {
        QVERIFY(QDir().mkdir(path("music")));
        const QString music = path("music");
        const QString cache = path("cache");
        QVERIFY(writeFile(music + "/cover.jpg", "folder picture"));
        QVERIFY(writeFile(music + "/with.mp3", mp3WithCover(png, "image/png")));
        QVERIFY(writeFile(music + "/without.mp3", mp3WithCover(QByteArray(), QByteArray())));
        TagReading reading = coverReading();
        const QString embedded = coverArtPath(music + "/with.mp3", reading, cache);
        QVERIFY2(embedded.startsWith(cache + '/'), qPrintable(embedded));
        QCOMPARE(readFile(embedded), png);
        QCOMPARE(coverArtPath(music + "/without.mp3", reading, cache), music + "/cover.jpg");
        // With the ID3v2 setting off only the folder counts.
        reading.id3v2 = false;
        QCOMPARE(coverArtPath(music + "/with.mp3", reading, path("cache2")), music + "/cover.jpg");
        QVERIFY(!QFileInfo::exists(path("cache2")));
        // Nothing was written into the music folder.
        QCOMPARE(QDir(music).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void pictureOfEachType_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("coverArt");       // the setting
        QTest::addColumn<QByteArray>("expected"); // the picture; empty: none at all
        const QByteArray folder = "folder picture";
        const QByteArray audioPage = oggPage({QByteArray(40, '\x11')}, 3, 0, 4096);
        const auto flacPictures = [](const QList<QByteArray>& pictures) {
            QByteArray blocks;
            for (const QByteArray& p : pictures)
                blocks += flacBlock(6, p, false);
            return flacHead(blocks + flacBlock(4, vorbisComments({"TITLE=T"}), true));
        };
        const auto pictureComment = [](const QByteArray& picture) {
            return "METADATA_BLOCK_PICTURE=" + picture.toBase64();
        };
        const QByteArray front = flacPicture(3, "image/png", png);
        const QByteArray back = flacPicture(4, "image/jpeg", backPicture);

        dataRow("mp3 front cover", "a.mp3", mp3WithCover(png, "image/png"), true, png);
        dataRow("mp3 with only a back cover", "c.mp3",
                mp3WithFrames(apic(4, "image/jpeg", backPicture)), true, backPicture);
        dataRow("mp3 without a picture", "d.mp3", mp3WithFrames({}), true, folder);
        dataRow("setting off: no embedded picture", "e.mp3", mp3WithCover(png, "image/png"), false,
                QByteArray());
        dataRow("setting off: no folder picture", "f.mp3", mp3WithFrames({}), false, QByteArray());
        dataRow("flac front cover after a back cover", "a.flac", flacPictures({back, front}), true,
                png);
        dataRow("flac with only a back cover", "b.flac", flacPictures({back}), true, backPicture);
        QByteArray manyBlocks;
        for (int i = 0; i < MostFlacBlocks; ++i)
            manyBlocks += flacBlock(2, "appl", false);
        dataRow("flac past the block bound", "c.flac",
                flacHead(manyBlocks + flacBlock(6, front, true)), true, folder);
        dataRow("ogg vorbis picture comment", "a.ogg",
                oggVorbisHead({"TITLE=T", pictureComment(back), pictureComment(front)}) + audioPage,
                true, png);
        dataRow("opus picture comment", "a.opus", oggOpusHead({pictureComment(front)}) + audioPage,
                true, png);
        dataRow("m4a cover", "a.m4a", mp4File({{"\xA9nam", "T"}}, mp4Item("covr", png, 14)), true,
                png);
    }
    void pictureOfEachType() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, coverArt);
        QFETCH(QByteArray, expected);
        QVERIFY(writeFile(path(name), bytes));
        QVERIFY(writeFile(path("folder.jpg"), "folder picture"));
        TagReading reading = coverReading();
        reading.coverArt = coverArt;
        const QString picture = coverArtPath(path(name), reading, path("cache"));
        QCOMPARE(readFile(picture), expected);
        QCOMPARE(picture.isEmpty(), expected.isEmpty());
        if (!coverArt)
            QVERIFY(!QFileInfo::exists(path("cache")));
    }

    // The cache of embedded pictures, at a new picture: its own files (by their names,
    // regular files only) within the bounds, those read longest ago removed first.
    void cacheKeepsToItsBounds_data() {
        QTest::addColumn<QStringList>("files"); // "name size age": age in seconds since read
        QTest::addColumn<int>("mostFiles");
        QTest::addColumn<qint64>("mostBytes");
        QTest::addColumn<QStringList>("kept"); // besides the new picture
        const auto own = [](int number, int size, int age, const char* extension = "jpg") {
            return QStringLiteral("%1 %2 %3").arg(cacheName(number, extension)).arg(size).arg(age);
        };
        dataRow("within the bounds",
                QStringList{own(1, 10, 50), own(2, 10, 40, "png"), own(3, 10, 30, "webp")}, 4,
                qint64(1000), QStringList{cacheName(1), cacheName(2, "png"), cacheName(3, "webp")});
        dataRow("too many: the least recently read go",
                QStringList{own(1, 10, 10), own(2, 10, 40), own(3, 10, 20), own(4, 10, 30)}, 3,
                qint64(1000), QStringList{cacheName(1), cacheName(3)});
        dataRow("too large: the least recently read go",
                QStringList{own(1, 400, 30), own(2, 400, 20), own(3, 400, 10)}, 10, qint64(500),
                QStringList{cacheName(3)});
        dataRow(
            "other names are neither removed nor counted",
            QStringList{"notes.txt 5000 900", "cover.jpg 5000 900",
                        cacheName(5).toUpper() + " 5000 900", cacheName(6) + ".tmp 5000 900",
                        own(1, 10, 900)},
            1, qint64(1000),
            QStringList{"notes.txt", "cover.jpg", cacheName(5).toUpper(), cacheName(6) + ".tmp"});
        // setAge's age counts from the last reading; the last write lies 100000 - age ago.
        dataRow("a write's temporary file goes once an hour old",
                QStringList{cacheName(6) + ".1234.0.tmp 5000 900",
                            cacheName(7, "png") + ".1234.1.tmp 5000 99000", own(1, 10, 900)},
                10, qint64(100000), QStringList{cacheName(7, "png") + ".1234.1.tmp", cacheName(1)});
        dataRow(
            "links and folders are left alone",
            QStringList{cacheName(1) + " link 900", cacheName(2) + " folder 900", own(3, 10, 900)},
            1, qint64(1000), QStringList{cacheName(1), cacheName(2)});
    }
    void cacheKeepsToItsBounds() {
        QFETCH(QStringList, files);
        QFETCH(int, mostFiles);
        QFETCH(qint64, mostBytes);
        QFETCH(QStringList, kept);
        const QString cache = path("cache");
        QVERIFY(QDir().mkdir(cache));
        const QString outside = path("outside.jpg");
        QVERIFY(writeFile(outside, QByteArray(5000, 'o')));
        for (const QString& file : files) {
            const QStringList parts = file.split(' ');
            const QString name = cache + '/' + parts[0];
            if (parts[1] == "link")
                QCOMPARE(
                    ::symlink(pathToNative(outside).constData(), pathToNative(name).constData()),
                    0);
            else if (parts[1] == "folder")
                QVERIFY(QDir().mkdir(name));
            else
                QVERIFY(writeFile(name, QByteArray(parts[1].toInt(), 'x')));
            QVERIFY(setAge(name, parts[2].toInt()));
        }
        const QString added = cachedCoverPath(png, QStringLiteral("image/png"), cache,
                                              CoverCacheBounds{mostFiles, mostBytes});
        QVERIFY(!added.isEmpty());
        kept << QFileInfo(added).fileName();
        QStringList left = QDir(cache).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                 QDir::NoDotAndDotDot);
        left.sort();
        kept.sort();
        QCOMPARE(left, kept);
        QCOMPARE(readFile(outside), QByteArray(5000, 'o'));
    }

    void cacheFolderFollowsTheEnvironment() {
        const QByteArray saved = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", "/some/cache");
        QCOMPARE(coverCacheFolder(), QStringLiteral("/some/cache/Sonavue"));
        qputenv("XDG_CACHE_HOME", "relative/ignored");
        QCOMPARE(coverCacheFolder(), QString::fromLocal8Bit(qgetenv("HOME")) + "/.cache/Sonavue");
        if (saved.isEmpty())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", saved);
    }
};

QTEST_GUILESS_MAIN(CoverArtTest)
#include "test_tags_coverart.moc"
