// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folder chooser: a modal folder dialog and the test of its choice.
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace sonavue {

// The dialog: owner, title, initial folder -> chosen path, or empty text when cancelled.
// The window uses QFileDialog; tests stand in their own answer.
using FolderDialog =
    std::function<QString(QWidget* owner, const QString& title, const QString& initial)>;
FolderDialog platformFolderDialog();

constexpr const char* FolderDialogTitle = "フォルダを指定してください。";
constexpr const char* InvalidFolderMessage = "不正なドライブもしくはディレクトリが選択されました。";

// browseForFolder: trims the initial folder, opens at it when it names a folder.
QString browseForFolder(QWidget* owner, const QString& initial, const FolderDialog& dialog);

enum class FolderCheck { Valid, NotAFolder, Unreadable };
// Any existing, readable folder is valid (names of one or two characters and paths over
// 255 characters included).
FolderCheck checkChosenFolder(const QString& path);

// What the folder button does: browses from initial; a valid choice is returned, an invalid
// one shows the invalid-folder message (through showMessage, or a modal message box when it
// is empty) and gives nothing, as does a cancelled dialog.
using MessageShower = std::function<void(const QString& text)>;
std::optional<QString> askForMusicFolder(QWidget* owner, const QString& initial,
                                         const FolderDialog& dialog,
                                         const MessageShower& showMessage);

} // namespace sonavue
