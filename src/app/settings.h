#pragma once
// The settings file: one INI section "init" in Sonavue.ini beside the program.
// Reads and writes single values; every call is a fresh, self-contained access.
#include <QString>

namespace sonavue {

// The program's folder without a trailing '/'.
QString programFolder();
// Full path of the settings file for appName: <programFolder>/<appName>.ini when the program
// folder is writable or already holds the file (a portable install, or the build folder);
// otherwise $XDG_CONFIG_HOME/Sonavue/<appName>.ini (default ~/.config). Reads and writes
// both follow it, so nothing is written where it is never read.
QString settingsFilePath(const QString& appName);
// The rule itself, for a given folder.
QString settingsFilePathFor(const QString& folder, const QString& appName, bool folderWritable,
                            const QString& configFolder);
// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
QString userConfigFolder();

// Value of key in section, or defaultValue when the file or key is missing. Names match
// regardless of case; the value is the text after the first '=', surrounding spaces and
// one pair of enclosing quotes removed, cut to 255 characters. An empty value is "".
QString readSetting(const QString& appName, const QString& section, const QString& key,
                    const QString& defaultValue);
QString readSetting(const QString& appName, const QString& section, const QString& key,
                    long long defaultValue);
// Replaces the key's value or appends it to the section; creates the file and section when
// missing; keeps every other line. Written atomically (temporary file + rename).
bool writeSetting(const QString& appName, const QString& section, const QString& key,
                  const QString& value);

// The same operations on an explicit file (used by the above and by tests).
QString readIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue);
bool writeIniValue(const QString& filePath, const QString& section, const QString& key,
                   const QString& value);

} // namespace sonavue
