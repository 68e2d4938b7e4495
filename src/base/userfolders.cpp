// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/userfolders.h"

#include "base/nativepath.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

// The folder ids the program knows (the numbers Windows gives these folders), and where the
// Linux desktop (XDG user directories) keeps each of them.
struct KnownFolder {
    int id;
    QStandardPaths::StandardLocation location;
};
constexpr KnownFolder knownFolders[] = {
    {0x00, QStandardPaths::DesktopLocation},   // desktop
    {0x05, QStandardPaths::DocumentsLocation}, // personal documents
    {0x0D, QStandardPaths::MusicLocation},     // my music
    {0x0E, QStandardPaths::MoviesLocation},    // my videos
    {0x27, QStandardPaths::PicturesLocation},  // my pictures
    {0x28, QStandardPaths::HomeLocation},      // the user's profile
};

bool isFolder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(pathToNative(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// This user's login name, or the number when the system has no name for it.
QString userName() {
    const uid_t uid = ::geteuid();
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return pathFromNative(QByteArray(found->pw_name));
    return QString::number(uid);
}

// The folder at path when it is this user's alone, made so when it is missing.
RuntimeFolder privateFolder(const QString& path) {
    const QByteArray native = pathToNative(path);
    const QString shown = readableText(path);
    // Made here, it is ours; the mode is set again in case the umask took bits from it.
    if (::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), 0700) == 0)
        return {path, {}};
    struct stat st {};
    if (errno != EEXIST || ::lstat(native.constData(), &st) != 0)
        return {{},
                QStringLiteral("the runtime folder %1 cannot be made (%2)")
                    .arg(shown, QString::fromLocal8Bit(std::strerror(errno)))};
    if (!S_ISDIR(st.st_mode))
        return {{}, QStringLiteral("the runtime folder %1 is not a folder").arg(shown)};
    if (st.st_uid != ::geteuid())
        return {{},
                QStringLiteral("the runtime folder %1 belongs to another user (uid %2)")
                    .arg(shown)
                    .arg(st.st_uid)};
    if ((st.st_mode & 07777) != 0700)
        return {{},
                QStringLiteral("the runtime folder %1 is not private: its mode is %2, not 0700")
                    .arg(shown)
                    .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'))};
    return {path, {}};
}

} // namespace

QString specialFolderPath(int folderId) {
    for (const KnownFolder& folder : knownFolders) {
        if (folder.id != folderId)
            continue;
        QString path = QStandardPaths::writableLocation(folder.location);
        // The desktop names these folders even when they were never created; a folder that
        // does not exist is no place to look for music, so the home folder stands in.
        if (!isFolder(path))
            path = QDir::homePath();
        return withoutTrailingSeparator(path);
    }
    return QString();
}

QString personalFolder() {
    return specialFolderPath(PersonalFolderId);
}

QString defaultMusicFolder() {
    const QString music =
        withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
    return isFolder(music) ? music : personalFolder();
}

RuntimeFolder runtimeFolder() {
    const QString given = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isFolder(given))
        return {given, {}};
    return privateFolder(QDir::tempPath() + QStringLiteral("/runtime-") + userName());
}

QString trimAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

namespace {

// XDG's base-directory rules: the variable's folder, else its default under the home folder;
// a relative value is to be ignored.
QString xdgFolder(const char* variable, const char* underHome) {
    const QByteArray base = qgetenv(variable);
    if (base.startsWith('/'))
        return pathFromNative(base) + QStringLiteral("/Sonavue");
    const QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        return {};
    return pathFromNative(home) + QLatin1Char('/') + QLatin1String(underHome) +
           QStringLiteral("/Sonavue");
}

} // namespace

QString programCacheFolder() {
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

QString programStateFolder() {
    return xdgFolder("XDG_STATE_HOME", ".local/state");
}

} // namespace sonavue
