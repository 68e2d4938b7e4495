// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/folderchooser.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <dirent.h>

namespace sonavue {
namespace {

// Only spaces are removed, as the folder box's text is trimmed before use.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// Whether the folder's entries can be listed (readable is not enough on its own when
// access rules or a vanished medium refuse it).
bool canList(const QString& path) {
    DIR* dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

} // namespace

FolderDialog platformFolderDialog() {
    return [](QWidget* owner, const QString& title, const QString& initial) {
        return QFileDialog::getExistingDirectory(owner, title, initial, QFileDialog::ShowDirsOnly);
    };
}

QString browseForFolder(QWidget* owner, const QString& initial, const FolderDialog& dialog) {
    const QString trimmed = trimSpaces(initial);
    // The dialog is preselected only with a folder that exists; otherwise it opens at its
    // own starting place.
    const QString start = (!trimmed.isEmpty() && QFileInfo(trimmed).isDir()) ? trimmed : QString();
    const FolderDialog& show = dialog ? dialog : platformFolderDialog();
    return show(owner, QString::fromUtf8(FolderDialogTitle), start);
}

FolderCheck checkChosenFolder(const QString& path) {
    if (path.isEmpty())
        return FolderCheck::NotAFolder;
    const QFileInfo info(path);
    if (!info.exists() || !info.isDir())
        return FolderCheck::NotAFolder;
    if (!info.isReadable() || !canList(path))
        return FolderCheck::Unreadable;
    return FolderCheck::Valid;
}

std::optional<QString> askForMusicFolder(QWidget* owner, const QString& initial,
                                         const FolderDialog& dialog,
                                         const MessageShower& showMessage) {
    const QString chosen =
        browseForFolder(owner, initial, dialog ? dialog : platformFolderDialog());
    if (chosen.isEmpty())
        return std::nullopt; // cancelled: nothing changes
    if (checkChosenFolder(chosen) == FolderCheck::Valid)
        return chosen;
    const QString message = QString::fromUtf8(InvalidFolderMessage);
    if (showMessage)
        showMessage(message);
    else
        QMessageBox::warning(owner, QStringLiteral("Sonavue"), message, QMessageBox::Ok);
    return std::nullopt;
}

} // namespace sonavue
