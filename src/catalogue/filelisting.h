// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Folder and file listings with the scan's rules: ascending order ignoring case, names
// beginning with '.' hidden, only regular files (links followed) listed as files.
#include "catalogue/filepattern.h"

#include <QString>
#include <QStringList>

namespace sonavue {

// Names (no folder) of the regular files in folder matching pattern, sorted ascending.
// An unreadable or missing folder lists nothing (ok set to false when given).
QStringList listFiles(const QString& folder, const FilePattern& pattern, bool* ok = nullptr);
// Full paths of folder's subfolders (links to folders included), sorted ascending.
QStringList listSubfolders(const QString& folder, bool* ok = nullptr);

} // namespace sonavue
