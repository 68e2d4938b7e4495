// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/walkahead.h"

namespace sonavue {

WalkAhead::WalkAhead(const FilePattern& pattern, Limits limits, int capacity)
    : m_pattern(pattern), m_limits(limits), m_capacity(std::max(1, capacity)) {}

void WalkAhead::startWorkers(int threads) {
    if (m_workers.started() || threads <= 0)
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopped)
            return;
    }
    m_workers.start(threads, [this](int) { work(); });
}

WalkAhead::~WalkAhead() {
    stop();
}

void WalkAhead::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_workersWake.notify_all();
    m_workers.join();
}

int WalkAhead::runningWorkers() const {
    return m_workers.running();
}

bool WalkAhead::firstListing(const NativeFolder::Stamp& stamp) {
    return m_listedIds.enter(stamp);
}

void WalkAhead::listSubfoldersNext(const QByteArray& path, int depth, const NameList& subfolders) {
    if (m_stopped || !m_workers.started() || depth >= m_limits.maxDepth)
        return;
    // The walk goes down the last subfolder first: it is pushed last, to be listed first.
    for (int k = 0; k < subfolders.count(); ++k) {
        QByteArray child =
            joinNative(path, subfolders.native(k), std::size_t(subfolders.nativeSize(k)));
        if (child.size() > m_limits.maxPathBytes || m_entries.contains(child))
            continue;
        m_entries.insert(child, Entry{State::Pending, depth + 1, {}});
        m_toList.push_back(std::move(child));
    }
    m_workersWake.notify_all();
}

// Under the lock: the next folder still waiting to be listed, once there is room for its
// listing. False when the workers are to end.
bool WalkAhead::nextFolder(std::unique_lock<std::mutex>& lock, QByteArray& path, int& depth) {
    for (;;) {
        if (m_stopped)
            return false;
        if (!m_toList.empty() && m_done < m_capacity) {
            path = std::move(m_toList.back());
            m_toList.pop_back();
            const auto it = m_entries.find(path);
            if (it == m_entries.end() || it->state != State::Pending)
                continue; // the walk has listed it itself
            it->state = State::Listing;
            depth = it->depth;
            return true;
        }
        m_workersWake.wait(lock);
    }
}

void WalkAhead::work() {
    std::unique_lock lock(m_mutex);
    FileSystemFilter fileSystems;
    const FilePattern pattern(m_pattern.text()); // its own, compiled on this thread
    QByteArray path;
    int depth = 0;
    while (nextFolder(lock, path, depth)) {
        lock.unlock();
        FolderListing listing = listFolder(path, pattern, fileSystems, [&](const auto& stamp) {
            const std::lock_guard idLock(m_mutex);
            return firstListing(stamp);
        });
        lock.lock();
        if (listing.outcome == FolderListing::Outcome::Listed)
            listSubfoldersNext(path, depth, listing.subfolders);
        Entry& entry = m_entries[path];
        entry.listing = std::move(listing);
        entry.state = State::Done;
        ++m_done;
        m_listed.notify_all();
    }
}

FolderListing WalkAhead::take(const FolderPlace& place, int depth,
                              const std::function<bool(const NativeFolder::Stamp&)>& readIf,
                              std::unique_ptr<NativeFolder>* keepOpen) {
    const QByteArray& path = place.path;
    std::unique_lock lock(m_mutex);
    auto it = m_entries.find(path);
    if (it != m_entries.end() && it->state == State::Listing) {
        m_listed.wait(lock, [&] {
            it = m_entries.find(path);
            return it->state == State::Done;
        });
    }
    if (it != m_entries.end()) {
        const bool done = it->state == State::Done;
        FolderListing listing = std::move(it->listing);
        m_entries.erase(it);
        if (done) {
            if (m_done-- == m_capacity)
                m_workersWake.notify_all();
            return listing;
        }
        // Still waiting for a worker: listed here at once.
    }
    lock.unlock();
    FolderListing listing = listFolder(place, m_pattern, m_fileSystems, readIf, keepOpen);
    lock.lock();
    if (listing.outcome == FolderListing::Outcome::Listed && firstListing(listing.stamp))
        listSubfoldersNext(path, depth, listing.subfolders);
    return listing;
}

} // namespace sonavue
