// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The settings file: one INI section "init" in <program name>.ini (see settingslocation.h
// for where it lies). Reads and writes single values; every call is a fresh, self-contained
// access.
#include "base/settingslocation.h"

#include <QString>

namespace sonavue {

// Value of key in section, or defaultValue when the file or key is missing (the starting
// values stand in for a user file that does not exist yet). Names match
// regardless of case; the value is the text after the first '=', surrounding spaces and
// one pair of enclosing quotes removed, cut to 255 characters. An empty value is "".
QString readSetting(const QString& appName, const QString& section, const QString& key,
                    const QString& defaultValue);
QString readSetting(const QString& appName, const QString& section, const QString& key,
                    long long defaultValue);
// Replaces the key's value or appends it to the section; creates the file and section when
// missing (from the starting values, if any); keeps every other line. Written atomically
// under a lock (see settingsfile.h), so the user's file is never lost and two players
// never lose each other's keys; a read-only file, another user's file or a link to
// something that is not a settings file is left alone. A write not done is said once per
// run on standard error.
bool writeSetting(const QString& appName, const QString& section, const QString& key,
                  const QString& value);
// Removes what writes killed mid-way left beside the settings file (at start-up).
void removeLeftoverSettingsWrites(const QString& appName);

// The same operations on an explicit file (used by the above and by tests).
QString readIniValue(const QString& filePath, const QString& section, const QString& key,
                     const QString& defaultValue);
bool writeIniValue(const QString& filePath, const QString& section, const QString& key,
                   const QString& value);

} // namespace sonavue
