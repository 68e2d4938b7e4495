// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/coverart.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "base/openfolder.h"
#include "tags/containerlimits.h"
#include "tags/filetags.h"

#include <QByteArrayView>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

// Picture file names are these stems with these extensions, in this order of preference.
const char* const CoverStems[] = {"cover", "folder", "front"};
const char* const CoverExtensions[] = {"jpg", "jpeg", "png", "webp"};
constexpr int CoverNameCount = int(std::size(CoverStems) * std::size(CoverExtensions));
// Then Windows Media Player's: AlbumArt_{...}_Large.jpg, then its other AlbumArt*.jpg.
constexpr int AlbumArtLarge = CoverNameCount;
constexpr int AlbumArtOther = CoverNameCount + 1;

// Where a picture file of this name stands in the order of preference (0 first); -1 for a
// name that is none. Letter case does not matter.
int coverNameRank(const char* entry) {
    const QByteArray name = QByteArray(entry).toLower(); // ASCII letters only
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0)
        return -1;
    const QByteArrayView stem = QByteArrayView(name).first(dot);
    const QByteArrayView extension = QByteArrayView(name).sliced(dot + 1);
    int rank = 0;
    for (const char* s : CoverStems)
        for (const char* e : CoverExtensions) {
            if (stem == s && extension == e)
                return rank;
            ++rank;
        }
    if (stem.startsWith("albumart") && extension == "jpg")
        return stem.endsWith("_large") ? AlbumArtLarge : AlbumArtOther;
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

// The bytes of the regular file at path (never a FIFO or device; the open never blocks),
// or nothing when it is larger than a picture should be or cannot be read.
QByteArray pictureFileBytes(const QString& path) {
    const FileDescriptor file(
        ::open(pathToNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > MostPictureBytes)
        return {};
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t read =
            ::pread(file.get(), bytes.data() + got, std::size_t(bytes.size() - got), off_t(got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break; // the file shrank, or cannot be read: what was read is all there is
        got += read;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace

QStringList folderCoverPaths(const QString& trackPath) {
    const QByteArray native = pathToNative(trackPath);
    if (native.isEmpty() || native.contains('\0'))
        return {};
    const QByteArray folder = folderOf(native);
    const OpenFolder dir(::opendir(folder.constData()));
    if (!dir)
        return {};
    // Every entry with one of the names; a name may be there in several letter cases.
    QList<std::pair<int, QByteArray>> found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const int rank = coverNameRank(entry->d_name);
        if (rank >= 0)
            found.append({rank, QByteArray(entry->d_name)});
    }
    std::sort(found.begin(), found.end());
    QStringList paths;
    // stat only, never open: a FIFO of such a name must not block the track's start.
    for (const auto& [rank, name] : found)
        if (isRegularAt(::dirfd(dir.get()), name.constData()))
            paths << pathFromNative(folder == "/" ? "/" + name : folder + '/' + name);
    return paths;
}

QString folderCoverPath(const QString& trackPath) {
    const QStringList paths = folderCoverPaths(trackPath);
    return paths.isEmpty() ? QString() : paths.first();
}

QString coverArtPath(const QString& trackPath, const ID3v2Fields& tags, const TagReading& reading,
                     const QString& cacheFolder) {
    if (!reading.coverArt)
        return {};
    // The embedded picture belongs to this very track, while a folder's picture may stand
    // for a whole collection of albums: the embedded one comes first.
    if (tags.frontCover && !tags.frontCover->isEmpty()) {
        const QString cached = cachedCoverPath(*tags.frontCover, tags.frontCoverMime, cacheFolder);
        if (!cached.isEmpty())
            return cached;
    }
    return folderCoverPath(trackPath);
}

QString coverArtPath(const QString& trackPath, const TagReading& reading,
                     const QString& cacheFolder) {
    if (!reading.coverArt)
        return {};
    return coverArtPath(trackPath, readRicherTags(trackPath, reading), reading, cacheFolder);
}

bool offerCoverPictures(const QString& trackPath, const ID3v2Fields& tags,
                        const TagReading& reading,
                        const std::function<bool(const QByteArray&)>& take) {
    if (!reading.coverArt)
        return false;
    if (tags.frontCover && !tags.frontCover->isEmpty() && take(*tags.frontCover))
        return true;
    for (const QString& path : folderCoverPaths(trackPath)) {
        const QByteArray bytes = pictureFileBytes(path);
        if (!bytes.isEmpty() && take(bytes))
            return true;
    }
    return false;
}

} // namespace sonavue
