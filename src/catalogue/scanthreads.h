// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// How many threads the scan's helpers start, in one place. On a cold disk a scan mostly
// waits, and a disk serves many requests at once: the counts suit its queue, not the
// cores. From memory, reading is system-call work on the cores.
#include <algorithm>
#include <thread>

namespace sonavue::scanthreads {

// Tag readers, and the start-up's warming threads, on a cold disk.
inline constexpr int ColdReaders = 16;
// Folder listers ahead of the walk on a cold disk (none from memory: the walk alone is faster).
inline constexpr int ColdListers = 4;
// Readers sized by the cores, at most.
inline constexpr int MostCoreReaders = 8;

// Tag readers from memory: the cores less the row thread's, at least two (none on a
// single core), at most MostCoreReaders.
inline int warmReaders() {
    const int cores = int(std::thread::hardware_concurrency());
    return cores <= 1 ? 0 : std::clamp(cores - 1, 2, MostCoreReaders);
}
// With ID3v2 tags or containers to take apart, reading is computing too: readers pay off
// from memory as well, two per core (measured best on two cores), at most MostCoreReaders.
inline int parsingReaders() {
    const int cores = int(std::thread::hardware_concurrency());
    return std::clamp(2 * cores, 2, MostCoreReaders);
}
// The readers a scan starts, from what the walk saw of the disk and what is read.
inline int readers(bool diskWasCold, bool parsing) {
    return diskWasCold ? ColdReaders : parsing ? parsingReaders() : warmReaders();
}

} // namespace sonavue::scanthreads
