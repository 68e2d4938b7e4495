#include "tags/coverart.h"

#include "base/nativepath.h"
#include "tags/filetags.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

// In the order in which they are preferred.
const char* const CoverNames[] = {"cover.jpg", "cover.png", "folder.jpg", "front.jpg"};

// Which of CoverNames name is, ignoring ASCII letter case; -1 for none.
int coverNameIndex(const char* name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (int i = 0; i < int(std::size(CoverNames)); ++i) {
        const char* a = name;
        const char* b = CoverNames[i];
        while (*a && lower(*a) == *b)
            ++a, ++b;
        if (!*a && !*b)
            return i;
    }
    return -1;
}

// The folder part of a native path ("." for a bare name).
QByteArray folderOf(const QByteArray& nativePath) {
    const qsizetype slash = nativePath.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : nativePath.left(slash);
}

bool isRegularAt(int dirfd, const char* name) {
    struct stat st {};
    return ::fstatat(dirfd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// The file name extension for a picture: from its MIME type, else from its first bytes.
QString pictureExtension(const QByteArray& picture, const QString& mime) {
    const QString type = mime.trimmed().toLower();
    if (type == QLatin1String("image/jpeg") || type == QLatin1String("image/jpg"))
        return QStringLiteral("jpg");
    if (type == QLatin1String("image/png"))
        return QStringLiteral("png");
    if (type == QLatin1String("image/gif"))
        return QStringLiteral("gif");
    if (type == QLatin1String("image/webp"))
        return QStringLiteral("webp");
    if (type == QLatin1String("image/bmp"))
        return QStringLiteral("bmp");
    if (picture.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("jpg");
    if (picture.startsWith("\x89PNG"))
        return QStringLiteral("png");
    if (picture.startsWith("GIF8"))
        return QStringLiteral("gif");
    return QStringLiteral("img");
}

// Makes folder and its missing parents. True when it is (now) a folder.
bool makeFolders(const QByteArray& folder) {
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    for (qsizetype slash = folder.indexOf('/', 1); slash > 0;
         slash = folder.indexOf('/', slash + 1))
        ::mkdir(folder.left(slash).constData(), 0700); // failures show in the last step
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Writes bytes to target through a temporary file beside it and a rename, so that no reader
// ever sees half a picture.
bool writeAtomically(const QByteArray& target, const QByteArray& bytes) {
    static std::atomic<int> counter{0};
    const QByteArray temporary = target + '.' + QByteArray::number(::getpid()) + '.' +
                                 QByteArray::number(counter++) + ".tmp";
    const int fd =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temporary.constData(), target.constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

} // namespace

QString folderCoverPath(const QString& trackPath) {
    const QByteArray native = pathToNative(trackPath);
    if (native.isEmpty() || native.contains('\0'))
        return {};
    const QByteArray folder = folderOf(native);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return {};
    // Every entry with one of the names; a name may be there in several letter cases.
    QList<std::pair<int, QByteArray>> found;
    while (const dirent* entry = ::readdir(dir)) {
        const int index = coverNameIndex(entry->d_name);
        if (index >= 0)
            found.append({index, QByteArray(entry->d_name)});
    }
    std::sort(found.begin(), found.end());
    QString result;
    // stat only, never open: a FIFO of such a name must not block the track's start.
    for (const auto& [index, name] : found) {
        if (isRegularAt(::dirfd(dir), name.constData())) {
            result = pathFromNative(folder == "/" ? "/" + name : folder + '/' + name);
            break;
        }
    }
    ::closedir(dir);
    return result;
}

QString cachedCoverPath(const QByteArray& picture, const QString& mime,
                        const QString& cacheFolder) {
    const QByteArray folder = pathToNative(cacheFolder);
    if (picture.isEmpty() || folder.isEmpty() || folder.contains('\0') || !makeFolders(folder))
        return {};
    const QByteArray name = QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex() +
                            '.' + pictureExtension(picture, mime).toLatin1();
    const QByteArray target = folder + '/' + name;
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        // Named by its bytes: a file already there holds this picture.
        return S_ISREG(st.st_mode) ? pathFromNative(target) : QString();
    }
    return writeAtomically(target, picture) ? pathFromNative(target) : QString();
}

QString coverArtPath(const QString& trackPath, const std::optional<QByteArray>& frontCover,
                     const QString& frontCoverMime, const QString& cacheFolder) {
    // The embedded cover belongs to this very track, while a folder's picture may stand for
    // a whole collection of albums: the embedded one comes first.
    if (frontCover && !frontCover->isEmpty()) {
        const QString cached = cachedCoverPath(*frontCover, frontCoverMime, cacheFolder);
        if (!cached.isEmpty())
            return cached;
    }
    return folderCoverPath(trackPath);
}

QString coverArtPath(const QString& trackPath, const TagReading& reading,
                     const QString& cacheFolder) {
    std::optional<QByteArray> cover;
    QString mime;
    if (reading.id3v2) {
        ID3v2Fields fields = readShownTags(trackPath, reading).id3v2;
        cover = std::move(fields.frontCover);
        mime = fields.frontCoverMime;
    }
    return coverArtPath(trackPath, cover, mime, cacheFolder);
}

QString coverCacheFolder() {
    const QByteArray cacheHome = qgetenv("XDG_CACHE_HOME");
    // XDG's base-directory rules: a relative value is to be ignored.
    if (cacheHome.startsWith('/'))
        return pathFromNative(cacheHome) + QStringLiteral("/Sonavue");
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        return {};
    return pathFromNative(home) + QStringLiteral("/.cache/Sonavue");
}

} // namespace sonavue
