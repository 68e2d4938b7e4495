// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/cachewarmer.h"

#include "tags/id3v1.h"

namespace sonavue {

CacheWarmer::CacheWarmer(const QByteArray& root, const QString& pattern, WalkAhead::Limits limits,
                         int coldThreads, Start start)
    : m_pattern(pattern), m_limits(limits), m_coldThreads(std::max(1, coldThreads)) {
    m_toList.push_back({root, 0});
    m_judged = m_cold = start == Start::AtOnce;
    m_workers.start(m_coldThreads, [this](int index) { work(index == 0); });
}

CacheWarmer::~CacheWarmer() {
    stop();
}

void CacheWarmer::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
    m_workers.join();
}

int CacheWarmer::runningWorkers() const {
    return m_workers.running();
}

int CacheWarmer::foldersListed() const {
    const std::lock_guard lock(m_mutex);
    return m_listed;
}

void CacheWarmer::work(bool first) {
    const FilePattern pattern(m_pattern); // its own, compiled on this thread
    FileSystemFilter fileSystems;
    std::unique_lock lock(m_mutex);
    // The others wait for the first one's judgement: from memory they would only compete
    // with the window being built.
    if (!first)
        m_wake.wait(lock, [&] { return m_stopped || m_judged; });
    Folder folder;
    while (nextFolder(lock, folder)) {
        ++m_busy;
        lock.unlock();
        warm(folder, pattern, fileSystems);
        lock.lock();
        --m_busy;
        m_wake.notify_all(); // more folders, or the end
    }
}

// Under the lock: the next folder to warm. False once stopped, once everything is warm,
// or once the disk was found warm already.
bool CacheWarmer::nextFolder(std::unique_lock<std::mutex>& lock, Folder& folder) {
    for (;;) {
        if (m_stopped || (m_judged && !m_cold))
            return false;
        if (!m_toList.empty()) {
            folder = std::move(m_toList.back());
            m_toList.pop_back();
            return true;
        }
        if (m_busy == 0) {
            // No folder left, and none being listed that could add one: a tree too small
            // to judge the disk by is done, and threads still waiting for a judgement end.
            m_judged = true;
            m_wake.notify_all();
            return false;
        }
        m_wake.wait(lock);
    }
}

void CacheWarmer::judgeTheDisk(std::chrono::steady_clock::duration took, int entries) {
    if (m_judged)
        return;
    m_pace.addListing(took);
    m_pace.addEntries(entries);
    if (m_pace.foldersListed() < DiskPace::FoldersToJudge)
        return;
    m_judged = true;
    m_cold = m_pace.waitedForTheDisk() && m_pace.mostRecentListingsWaited();
    m_wake.notify_all();
}

void CacheWarmer::warm(const Folder& at, const FilePattern& pattern,
                       FileSystemFilter& fileSystems) {
    const FolderListing listing = listFolder(at.path, pattern, fileSystems, [&](const auto& stamp) {
        const std::lock_guard lock(m_mutex);
        return m_listedIds.enter(stamp);
    });
    if (listing.outcome != FolderListing::Outcome::Listed)
        return;
    {
        const std::lock_guard lock(m_mutex);
        ++m_listed;
        judgeTheDisk(listing.took, listing.files.count() + listing.subfolders.count());
        if (at.depth < m_limits.maxDepth) {
            for (int k = 0; k < listing.subfolders.count(); ++k) {
                QByteArray child = joinNative(at.path, listing.subfolders.native(k),
                                              std::size_t(listing.subfolders.nativeSize(k)));
                if (child.size() <= m_limits.maxPathBytes)
                    m_toList.push_back({std::move(child), at.depth + 1});
            }
        }
    }
    m_wake.notify_all();
    // The listing's folder was closed before going on; its files are opened through it again.
    const NativeFolder folder(at.path);
    if (!folder.isOpen())
        return;
    char tag[TagSize];
    for (int j = 0; j < listing.files.count() && !m_stopped; ++j)
        readTagBytesAt(folder.fd(), listing.files.native(j), tag, /*knownRegular=*/true);
}

} // namespace sonavue
