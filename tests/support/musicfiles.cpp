// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "musicfiles.h"

#include "base/nativepath.h"
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace sonavue::testing {
namespace {

// mkdir -p on bytes (QDir would not keep names that are not UTF-8).
void makeParents(const QByteArray& nativePath) {
    for (qsizetype slash = nativePath.indexOf('/', 1); slash > 0;
         slash = nativePath.indexOf('/', slash + 1))
        ::mkdir(nativePath.left(slash).constData(), 0755);
}

} // namespace

bool writeNativeFile(const QByteArray& nativePath, const QByteArray& bytes, qint64 zerosAfter) {
    makeParents(nativePath);
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size() &&
                    ::ftruncate(fd, off_t(bytes.size() + zerosAfter)) == 0;
    return ::close(fd) == 0 && ok;
}

bool writeFile(const QString& path, const QByteArray& bytes, qint64 zerosAfter) {
    return writeNativeFile(pathToNative(path), bytes, zerosAfter);
}

QByteArray musicBytes(int bodySize, const std::optional<TagFields>& tag) {
    return QByteArray(bodySize, '\x55') + (tag ? tagRecord(*tag) : QByteArray());
}

bool writeMusicFile(const QByteArray& nativePath, int bodySize,
                    const std::optional<TagFields>& tag) {
    return writeNativeFile(nativePath, musicBytes(bodySize, tag));
}

bool writeMusicFile(const QString& path, int bodySize, const std::optional<TagFields>& tag) {
    return writeFile(path, musicBytes(bodySize, tag));
}

bool setModifiedSecondsAgo(const QString& path, int seconds) {
    const timeval then{::time(nullptr) - seconds, 0};
    const timeval times[2] = {then, then};
    return ::utimes(pathToNative(path).constData(), times) == 0;
}

QByteArray readNativeFile(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    ::close(fd);
    return out;
}

QByteArray readFile(const QString& path) {
    return readNativeFile(pathToNative(path));
}

} // namespace sonavue::testing
