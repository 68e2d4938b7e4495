// The picture that goes with a track: a picture file beside it (by name, any letter case,
// regular files only, in folders whose names are not UTF-8) and the embedded front cover,
// copied once into a cache folder.
#include "base/nativepath.h"
#include "id3v2writer.h"
#include "tags/coverart.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::test;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    const QByteArray native = pathToNative(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

QByteArray readFile(const QString& path) {
    const int fd = ::open(pathToNative(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes(4096, '\0');
    const ssize_t size = ::read(fd, bytes.data(), std::size_t(bytes.size()));
    ::close(fd);
    return size < 0 ? QByteArray() : bytes.left(size);
}

qint64 mtimeNs(const QString& path) {
    struct stat st {};
    if (::stat(pathToNative(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// An MP3 whose ID3v2.3 tag has a title and, when picture is not empty, a front cover.
QByteArray mp3WithCover(const QByteArray& picture, const QByteArray& mime) {
    QByteArray frames = frame(3, "TIT2", textBody(Latin1, QStringLiteral("Song")));
    if (!picture.isEmpty())
        frames += frame(3, "APIC", QByteArray(1, '\0') + mime + '\0' + char(3) + '\0' + picture);
    return tag(3, frames) + QByteArray(512, '\x55');
}

const QByteArray png("\x89PNG\r\n\x1A\n embedded picture \0\xFF", 29);

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
        QTest::newRow("none") << QStringList{"track.mp3"} << QString();
        QTest::newRow("near misses")
            << QStringList{"cover.jpeg", "cover.jpg.bak", "album.jpg", "xcover.jpg"} << QString();
        QTest::newRow("front only") << QStringList{"FRONT.JPG"} << "FRONT.JPG";
        QTest::newRow("folder before front")
            << QStringList{"front.jpg", "Folder.Jpg"} << "Folder.Jpg";
        QTest::newRow("cover.png before folder")
            << QStringList{"folder.jpg", "front.jpg", "COVER.PNG"} << "COVER.PNG";
        QTest::newRow("cover.jpg first")
            << QStringList{"front.jpg", "folder.jpg", "cover.png", "Cover.JPG"} << "Cover.JPG";
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
        QVERIFY(QDir().mkdir(path("Cover.png")));
        const QString track = path(QStringLiteral("track.mp3"));
        QCOMPARE(folderCoverPath(track), QString());
        QVERIFY(writeFile(path("front.jpg"), "picture"));
        QCOMPARE(folderCoverPath(track), path("front.jpg"));
        // The embedded cover's lookup takes the same way past the FIFO.
        QCOMPARE(coverArtPath(track, std::nullopt, QString(), path("cache")), path("front.jpg"));
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

        // Same bytes: the same file, not written again.
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, pathToNative(first).constData(), old, 0), 0);
        const qint64 before = mtimeNs(first);
        QCOMPARE(cachedCoverPath(png, QStringLiteral("image/png"), cache), first);
        QCOMPARE(mtimeNs(first), before);

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
        TagReading reading;
        reading.id3v2 = true;
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
        TagReading reading;
        reading.id3v2 = true;
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
#include "tst_coverart.moc"
