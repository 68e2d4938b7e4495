// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Reads a library's folders and the tail of every file once, so that timed scans run on
// a warm page cache whether or not the library was just written.
#include <QString>

namespace sonavue::bench {

void warmPageCache(const QString& folder);

} // namespace sonavue::bench
