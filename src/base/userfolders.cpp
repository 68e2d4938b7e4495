// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/userfolders.h"

#include "base/nativepath.h"

#include <QDir>
#include <QStandardPaths>
#include <sys/stat.h>

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

QString trimAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace sonavue
