// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Where the settings file lives. It is named after the running executable (a copy renamed
// MyPlayer keeps MyPlayer.ini) and lies beside the program when the user may write there;
// otherwise it lies in the user's configuration folder, and a file beside a read-only
// program only supplies the starting values of a user who has no file of their own.
#include <QString>

namespace sonavue {

// The program's folder without a trailing '/'.
QString programFolder();
// The running executable's name without its extension ("Sonavue" for .../Sonavue).
QString programName();
// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
QString userConfigFolder();

struct SettingsLocation {
    // The file every read and write uses.
    QString file;
    // Read instead while `file` does not exist, and copied into it by its first write;
    // empty when there is no such file.
    QString startingValues;
};

// The rule itself: <programFolder>/<appName>.ini when the program folder is writable, else
// <configFolder>/Sonavue/<appName>.ini with the program folder's file as starting values.
SettingsLocation settingsLocationFor(const QString& programFolder, const QString& appName,
                                     bool programFolderWritable, const QString& configFolder);
// Whether this process may create files in folder (the access check the rule uses).
bool folderWritable(const QString& folder);
// The rule for this program and user.
SettingsLocation settingsLocation(const QString& appName);
// settingsLocation(appName).file.
QString settingsFilePath(const QString& appName);

} // namespace sonavue
