// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The least work any scan must do, as the yardstick for the folder scan: walk the tree
// with opendir/readdir, and for each music file openat/fstat/pread the last 128 bytes/close.
#include <string>

namespace sonavue::bench {

struct ReferenceResult {
    long files = 0;
    long tagged = 0;
};

ReferenceResult referenceScan(const std::string& folder);

} // namespace sonavue::bench

namespace sonavue::bench {

// The same work with the file reads spread over threads: the tree is walked first (one
// thread), then threads open/fstat/pread 128/close the listed files in parallel.
ReferenceResult referenceScanThreaded(const std::string& folder, int threads);

} // namespace sonavue::bench
