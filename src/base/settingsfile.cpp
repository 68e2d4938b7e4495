// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/settingsfile.h"

#include "base/filedescriptor.h"
#include "base/filelock.h"
#include "base/openfolder.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

// A settings file is a few hundred bytes; anything this large is not ours to rewrite.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;
// How long a rewrite waits for another player's rewrite of the same file.
constexpr int lockWaitMs = 2000;
// A rewrite takes milliseconds; a temporary file this old belongs to no running write
// (its process may be gone in another namespace, or its number reused).
constexpr std::time_t leftoverAgeSeconds = 10 * 60;
const QByteArray temporarySuffix = QByteArrayLiteral(".tmp");

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

struct FolderAndName {
    QByteArray folder;
    QByteArray name;
};

FolderAndName split(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

// ".<name>.<pid>.<counter>.tmp": the pid tells a later start whether its writer still runs.
QByteArray temporaryPrefix(const QByteArray& name) {
    return '.' + name + '.';
}

bool allDigits(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The writer's pid when entry is one of name's temporary files.
std::optional<pid_t> writerOfTemporary(QByteArrayView entry, const QByteArray& name) {
    const QByteArray prefix = temporaryPrefix(name);
    if (!entry.startsWith(prefix) || !entry.endsWith(temporarySuffix))
        return std::nullopt;
    const QByteArrayView middle =
        entry.sliced(prefix.size(), entry.size() - prefix.size() - temporarySuffix.size());
    const qsizetype dot = middle.indexOf('.');
    if (dot < 0 || !allDigits(middle.first(dot)) || !allDigits(middle.sliced(dot + 1)))
        return std::nullopt;
    return pid_t(middle.first(dot).toLongLong());
}

bool processRuns(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

struct WriteTarget {
    QByteArray file;          // the file to replace (a link's target)
    bool throughLink = false; // reached through a symbolic link
    QString whyNot;           // set when the file must not be written
};

// Which file a rewrite may replace. Only this user's own regular files that are not
// read-only; a link counts only when this user made it (a link planted by someone else must
// not steer our writes) and it leads to such a file.
WriteTarget writeTarget(const QByteArray& path) {
    WriteTarget target{path, false, {}};
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            target.whyNot = QString::fromLocal8Bit(std::strerror(errno));
        return target; // a new file is created in its place
    }
    if (S_ISLNK(st.st_mode)) {
        if (st.st_uid != ::geteuid())
            return {path, true, QStringLiteral("a link made by another user")};
        const std::unique_ptr<char, decltype(&std::free)> real(
            ::realpath(path.constData(), nullptr), &std::free);
        if (!real || ::stat(real.get(), &st) != 0)
            return {path, true, QStringLiteral("a link to no file")};
        target = {QByteArray(real.get()), true, {}};
    }
    if (!S_ISREG(st.st_mode))
        target.whyNot = QStringLiteral("not a regular file");
    else if (st.st_uid != ::geteuid())
        target.whyNot = QStringLiteral("a file of another user");
    else if ((st.st_mode & S_IWUSR) == 0)
        target.whyNot = QStringLiteral("the file is read-only");
    return target;
}

// Empty, or holding a section line: what a link may lead to. A link to any other file (a
// system file, say) is not taken for a settings file, even when this user may write it.
bool looksLikeSettings(const LoadedFile& file) {
    if (file.state != LoadState::Loaded)
        return file.state == LoadState::Missing;
    const QByteArray& bytes = file.bytes;
    for (qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; start < bytes.size();) {
        qsizetype at = start;
        while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t'))
            ++at;
        if (at < bytes.size() && bytes[at] == '[')
            return true;
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0)
            break;
        start = newline + 1;
    }
    return bytes.trimmed().isEmpty();
}

// Writes a temporary file beside target, flushes it to disk and renames it over target.
// On failure the temporary file is gone and errno tells why.
bool replaceFileAtomically(const QByteArray& target, const QByteArray& contents) {
    const FolderAndName parts = split(target);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;

    static std::atomic<unsigned> counter{0};
    QByteArray temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temporary = parts.folder + '/' + temporaryPrefix(parts.name) +
                    QByteArray::number(qint64(::getpid())) + '.' +
                    QByteArray::number(counter.fetch_add(1)) + temporarySuffix;
        // 0666 under the user's umask, as any newly created file.
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno != EEXIST)
            return false;
    }
    if (fd.get() < 0)
        return false;

    bool ok = writeAll(fd.get(), contents);
    if (ok && exists)
        ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0 || errno == EPERM;
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(temporary.constData());
        errno = error;
        return false;
    }
    // Make the rename itself durable.
    const FileDescriptor dir(::open(parts.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

QString errorText(int error) {
    return error ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("write failed");
}

} // namespace

LoadedFile loadFileBytes(const QByteArray& nativePath) {
    LoadedFile result;
    const FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        result.state = errno == ENOENT ? LoadState::Missing : LoadState::Unusable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxFileSize) {
        result.state = LoadState::Unusable;
        return result;
    }
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || bytes.size() + got > maxFileSize) {
            result.state = LoadState::Unusable;
            return result;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    result.state = LoadState::Loaded;
    result.bytes = std::move(bytes);
    return result;
}

RewriteOutcome rewriteFile(const QByteArray& nativePath, const FileEdit& edit) {
    const WriteTarget target = writeTarget(nativePath);
    if (!target.whyNot.isEmpty())
        return {false, target.whyNot};
    const FolderAndName parts = split(target.file);
    // Held from reading to renaming: another player's rewrite waits for this one and then
    // reads what it wrote.
    const FileLock lock(parts.folder + '/' + temporaryPrefix(parts.name) + "lock", lockWaitMs);
    const LoadedFile current = loadFileBytes(target.file);
    if (target.throughLink && !looksLikeSettings(current))
        return {false, QStringLiteral("a link to a file that is not a settings file")};
    const std::optional<QByteArray> contents = edit(current);
    if (!contents)
        return {false, QStringLiteral("not a settings file it can rewrite")};
    errno = 0;
    if (!replaceFileAtomically(target.file, *contents))
        return {false, errorText(errno)};
    return {true, {}};
}

void removeLeftoverRewrites(const QByteArray& nativePath) {
    const WriteTarget target = writeTarget(nativePath);
    const FolderAndName parts = split(target.file);
    const OpenFolder dir(::opendir(parts.folder.constData()));
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::optional<pid_t> writer = writerOfTemporary(entry->d_name, parts.name);
        if (!writer)
            continue;
        struct stat st {};
        // Only our own plain files: never a link, never someone else's.
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const bool old = now - st.st_mtime > leftoverAgeSeconds;
        if (old || !processRuns(*writer))
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

} // namespace sonavue
