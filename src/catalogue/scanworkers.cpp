// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/scanworkers.h"

#include "catalogue/scanthreads.h"

namespace sonavue {

void ScanWorkers::warmUp(const QByteArray& root, const QString& pattern, WalkAhead::Limits limits) {
    m_warmer.reset();
    m_warmer = std::make_unique<CacheWarmer>(root, pattern, limits, scanthreads::ColdReaders);
}

int ScanWorkers::beginScan() {
    stop();
    return ++m_scan;
}

std::shared_ptr<WalkAhead> ScanWorkers::startListing(const FilePattern& pattern,
                                                     WalkAhead::Limits limits, int listingThreads) {
    endListing();
    m_listers = std::make_shared<WalkAhead>(pattern, limits);
    if (listingThreads > 0)
        m_listers->startWorkers(listingThreads);
    return m_listers;
}

void ScanWorkers::endListing() {
    if (m_listers)
        m_listers->stop();
    m_listers.reset();
}

std::shared_ptr<TagReadAhead> ScanWorkers::startReading(std::vector<WalkedFolder> folders,
                                                        const ReadAheadOptions& options) {
    if (m_readers)
        m_readers->stop();
    m_readers = std::make_shared<TagReadAhead>(std::move(folders), options);
    return m_readers;
}

void ScanWorkers::endScan(int scan) {
    if (scan != m_scan)
        return; // a newer scan owns what runs now
    endListing();
    if (m_readers)
        m_readers->stop();
    m_readers.reset();
}

void ScanWorkers::stop() {
    m_warmer.reset(); // its destructor stops and joins
    endListing();
    if (m_readers)
        m_readers->stop();
    m_readers.reset();
}

int ScanWorkers::running() const {
    return (m_warmer ? m_warmer->runningWorkers() : 0) +
           (m_listers ? m_listers->runningWorkers() : 0) +
           (m_readers ? m_readers->runningWorkers() : 0);
}

} // namespace sonavue
