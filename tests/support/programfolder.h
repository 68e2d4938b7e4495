// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The player run as a process of its own, from a private copy of its program folder.
#include <QString>

namespace sonavue::testing {

// Copies this build's player (under playerName), its index.htm and its web panel's module
// into folder, made as
// needed. False when a file cannot be copied.
bool copyProgramFolder(const QString& folder, const QString& playerName = "Sonavue");
// Makes folder as XDG_RUNTIME_DIR must be: entered by its owner only.
bool makeRuntimeFolder(const QString& folder);

} // namespace sonavue::testing
