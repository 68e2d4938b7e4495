// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/externalfiles.h"

#include "base/fileuri.h"
#include "base/nativepath.h"
#include "base/report.h"
#include "catalogue/playlistfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sonavue {
namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether this user can open the file for reading. Non-blocking, so that a file turned
// into a pipe after the type check cannot hold the window.
QString whyNotReadable(const QByteArray& native) {
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return QStringLiteral("cannot be read (%1)").arg(systemError(errno));
    ::close(fd);
    return {};
}

} // namespace

FilePattern playableTypes() {
    return FilePattern(filePatternFor(true, true, true, AllExtraTypes));
}

QString whyNotReservable(const QString& path, const FilePattern& types) {
    // The system reads a name only up to a NUL: "/etc/passwd\0.mp3" would be checked as
    // /etc/passwd and typed as an MP3.
    if (path.contains(QChar(u'\0')))
        return QStringLiteral("a name with a NUL character in it");
    const QByteArray native = pathToNative(path);
    if (!native.startsWith('/'))
        return QStringLiteral("not an absolute path");
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return errno == ENOENT ? QStringLiteral("no such file") : systemError(errno);
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder, not a file");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    if (!types.matches(fileNamePart(path)))
        return QStringLiteral("not a type that plays here (%1)").arg(types.text());
    return whyNotReadable(native);
}

QString oneLineText(const QString& path) {
    QString text = readableText(path);
    // A name may hold line breaks or other control characters; a message stays one line.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    return text;
}

void reportRefusal(const QString& path, const QString& why) {
    const QString what = playlistFormatOf(path) ? QStringLiteral("playlist not opened")
                                                : QStringLiteral("not added to the reserved list");
    reportLine(QStringLiteral("%1: %2: %3").arg(what, oneLineText(path), why));
}

QString absoluteArgumentPath(const QString& argument) {
    if (argument.startsWith(QLatin1Char('/')))
        return argument;
    if (const std::optional<QString> path = pathOfFileUri(argument))
        return *path;
    // The current folder as the system's bytes, so that a name that is not UTF-8 survives.
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return argument; // refused later as not absolute
        buffer.resize(buffer.size() * 2);
    }
    QString folder = pathFromNative(QByteArray(buffer.data()));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + argument;
}

} // namespace sonavue
