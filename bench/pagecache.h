// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the benchmarks that time cold runs.

namespace sonavue::bench {

// Empties the page cache and the folder and inode caches, so that the next run reads from
// the disk. Needs root; false when refused.
bool dropCaches();

} // namespace sonavue::bench
