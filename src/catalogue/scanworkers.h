// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The one owner of the scan's background threads: the start-up's cache warming, and the
// folder listers and tag readers of the scan that runs. The rule that a newer scan, or
// stop(), ends everything older lives here alone: it stops each set, wakes its threads and
// joins them before anything new starts.
//
// A pass of the scan shares its listers and readers with this owner: a pass that was
// superseded inside a yield still holds them (stopped, every call returning at once) until
// it unwinds, so nothing it touches is freed under it.
#include "catalogue/cachewarmer.h"
#include "catalogue/tagreadahead.h"
#include "catalogue/walkahead.h"

#include <memory>
#include <vector>

namespace sonavue {

class ScanWorkers {
public:
    ScanWorkers() = default;
    ~ScanWorkers() { stop(); }
    ScanWorkers(const ScanWorkers&) = delete;
    ScanWorkers& operator=(const ScanWorkers&) = delete;

    // Brings root into the page cache while the program starts (see CacheWarmer), ending
    // any warming before.
    void warmUp(const QByteArray& root, const QString& pattern, WalkAhead::Limits limits);

    // A new scan: everything older ends first. Returns the scan's number for endScan().
    int beginScan();
    // The scan's folder listers (workers start when asked, listingThreads > 0 at once).
    std::shared_ptr<WalkAhead> startListing(const FilePattern& pattern, WalkAhead::Limits limits,
                                            int listingThreads);
    // The walk is over: its listers end.
    void endListing();
    // The scan's tag readers, on the walk's folders.
    std::shared_ptr<TagReadAhead> startReading(std::vector<WalkedFolder> folders,
                                               const ReadAheadOptions& options);
    // The scan numbered scan is over: its workers end and are let go, unless a newer scan
    // has begun since.
    void endScan(int scan);

    // Ends every thread, warming included.
    void stop();
    // Threads still running, of every set.
    int running() const;

private:
    std::unique_ptr<CacheWarmer> m_warmer;
    std::shared_ptr<WalkAhead> m_listers;
    std::shared_ptr<TagReadAhead> m_readers;
    int m_scan = 0;
};

} // namespace sonavue
