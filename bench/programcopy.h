// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the benchmarks that run the real program from a copy of its program folder, so
// that its settings file is the run's own.
#include <QString>

namespace sonavue::bench {

// Copies builtProgram as folder/Sonavue, with the files beside it that it needs (its page and
// its web panel's module); folder is made as needed. False when a file cannot be copied.
bool copyProgramFolder(const QString& builtProgram, const QString& folder);

} // namespace sonavue::bench
