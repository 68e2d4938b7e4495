// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/covercache.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "base/openfolder.h"
#include "base/userfolders.h"

#include <QCryptographicHash>
#include <QList>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sonavue {
namespace {

// The extensions the cache gives its files; "img" when the type is not known.
const char* const Extensions[] = {"jpg", "png", "gif", "webp", "bmp", "img"};
constexpr int HashDigits = 40; // SHA-1 in hexadecimal

// The file name extension for a picture: from its MIME type, else from its first bytes.
const char* pictureExtension(const QByteArray& picture, const QString& mime) {
    const QString type = mime.trimmed().toLower();
    if (type == QLatin1String("image/jpeg") || type == QLatin1String("image/jpg"))
        return "jpg";
    if (type == QLatin1String("image/png"))
        return "png";
    if (type == QLatin1String("image/gif"))
        return "gif";
    if (type == QLatin1String("image/webp"))
        return "webp";
    if (type == QLatin1String("image/bmp"))
        return "bmp";
    if (picture.startsWith("\xFF\xD8\xFF"))
        return "jpg";
    if (picture.startsWith("\x89PNG"))
        return "png";
    if (picture.startsWith("GIF8"))
        return "gif";
    if (picture.startsWith("RIFF") && picture.mid(8, 4) == "WEBP")
        return "webp";
    return "img";
}

// A name the cache itself gives: 40 lower-case hexadecimal digits, a dot, one of Extensions.
// What follows such a name at the start of name; null when name does not start with one.
const char* pastCacheName(const char* name) {
    for (int i = 0; i < HashDigits; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return nullptr;
    }
    if (name[HashDigits] != '.')
        return nullptr;
    const char* extension = name + HashDigits + 1;
    for (const char* e : Extensions) {
        const std::size_t length = std::strlen(e);
        const char after = extension[length];
        if (std::strncmp(extension, e, length) == 0 && (after == '\0' || after == '.'))
            return extension + length;
    }
    return nullptr;
}

bool isCacheName(const char* name) {
    const char* rest = pastCacheName(name);
    return rest && *rest == '\0';
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

// Writes bytes to name in the folder through a temporary file beside it and a rename, so
// that no reader ever sees half a picture.
bool writeAtomically(int folder, const QByteArray& name, const QByteArray& bytes) {
    static std::atomic<int> counter{0};
    const QByteArray temporary =
        name + '.' + QByteArray::number(::getpid()) + '.' + QByteArray::number(counter++) + ".tmp";
    FileDescriptor file(::openat(folder, temporary.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (file.get() < 0)
        return false;
    const bool written = writeAll(file.get(), bytes);
    if (file.close() && written &&
        ::renameat(folder, temporary.constData(), folder, name.constData()) == 0)
        return true;
    ::unlinkat(folder, temporary.constData(), 0);
    return false;
}

// A temporary file of the cache's own writing (writeAtomically's name): one a writer left
// behind when it was ended, if it is older than any write takes.
bool isLeftOverTemporary(const char* name, const struct stat& st) {
    constexpr time_t OldEnough = 3600; // seconds since its last write
    const char* rest = pastCacheName(name);
    if (!rest || *rest != '.' || !S_ISREG(st.st_mode) || ::time(nullptr) - st.st_mtime < OldEnough)
        return false;
    const QList<QByteArray> parts = QByteArray(rest + 1).split('.'); // pid, number, "tmp"
    const auto digits = [](const QByteArray& part) {
        return !part.isEmpty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return parts.size() == 3 && digits(parts[0]) && digits(parts[1]) && parts[2] == "tmp";
}

struct CachedFile {
    struct timespec read;
    qint64 bytes;
    QByteArray name;
};

// The cache's own files in the folder, least recently read first.
std::vector<CachedFile> cachedFiles(int folder) {
    std::vector<CachedFile> files;
    // fdopendir takes the descriptor it is given: a copy, so the caller's stays open.
    const OpenFolder dir(::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0)));
    if (!dir)
        return files;
    ::rewinddir(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat st {};
        if (::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (isLeftOverTemporary(entry->d_name, st))
            ::unlinkat(folder, entry->d_name, 0);
        else if (isCacheName(entry->d_name) && S_ISREG(st.st_mode))
            files.push_back({st.st_atim, qint64(st.st_size), QByteArray(entry->d_name)});
    }
    std::sort(files.begin(), files.end(), [](const CachedFile& a, const CachedFile& b) {
        if (a.read.tv_sec != b.read.tv_sec)
            return a.read.tv_sec < b.read.tv_sec;
        if (a.read.tv_nsec != b.read.tv_nsec)
            return a.read.tv_nsec < b.read.tv_nsec;
        return a.name < b.name;
    });
    return files;
}

// Removes the least recently read of the cache's files, never keep, until the rest are
// within bounds.
void trimCache(int folder, const QByteArray& keep, const CoverCacheBounds& bounds) {
    const std::vector<CachedFile> files = cachedFiles(folder);
    qsizetype count = qsizetype(files.size());
    qint64 bytes = 0;
    for (const CachedFile& file : files)
        bytes += file.bytes;
    for (const CachedFile& file : files) {
        if (count <= bounds.files && bytes <= bounds.bytes)
            return;
        // unlinkat removes a name: had a link taken the file's place meanwhile, the link
        // would go, never what it points at.
        if (file.name != keep && ::unlinkat(folder, file.name.constData(), 0) == 0) {
            --count;
            bytes -= file.bytes;
        }
    }
}

} // namespace

QString cachedCoverPath(const QByteArray& picture, const QString& mime, const QString& cacheFolder,
                        const CoverCacheBounds& bounds) {
    const QByteArray folderPath = pathToNative(cacheFolder);
    if (picture.isEmpty() || folderPath.isEmpty() || folderPath.contains('\0') ||
        !makeFolders(folderPath))
        return {};
    const FileDescriptor folder(
        ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (folder.get() < 0)
        return {};
    const QByteArray name = QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex() +
                            '.' + pictureExtension(picture, mime);
    const QString target = pathFromNative(folderPath + '/' + name);
    struct stat st {};
    if (::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode))
            return {};
        if (S_ISREG(st.st_mode)) {
            // Named by its bytes: the file holds this picture. It is read again now, which
            // the kernel need not record: said here, so that it is the last file removed.
            const struct timespec readNow[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
            ::utimensat(folder.get(), name.constData(), readNow, AT_SYMLINK_NOFOLLOW);
            return target;
        }
        // Anything else of the name (a link) is replaced by the rename, never followed.
    }
    if (!writeAtomically(folder.get(), name, picture))
        return {};
    trimCache(folder.get(), name, bounds);
    return target;
}

QString coverCacheFolder() {
    return programCacheFolder();
}

} // namespace sonavue
