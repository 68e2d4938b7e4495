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
