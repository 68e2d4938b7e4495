// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Whether the scan's folder listings came from memory or had to wait for the disk, judged
// from how long they took. The walk and the start-up's warming both judge by it, after
// FoldersToJudge folders, and size their threads by the answer (scanthreads.h).
#include <algorithm>
#include <array>
#include <chrono>

namespace sonavue {

class DiskPace {
public:
    // Folders listed before the disk is judged (and between judgements, for the walk).
    static constexpr int FoldersToJudge = 16;

    void addListing(std::chrono::steady_clock::duration took) {
        m_time += took;
        m_recent[std::size_t(m_folders % FoldersToJudge)] = took;
        ++m_folders;
    }
    // The entries of the folder whose listing was added last.
    void addEntries(long long entries) {
        m_entries += entries;
        if (m_folders > 0)
            m_recent[std::size_t((m_folders - 1) % FoldersToJudge)] /=
                1 + entries / EntriesPerFolder;
    }
    int foldersListed() const { return m_folders; }
    // A folder listed from memory takes microseconds; one the disk must be asked for takes
    // a good part of a millisecond or more. A big folder takes longer from memory too:
    // every 64 entries count as one more folder, so that folders of a thousand files read
    // from memory are not taken for a cold disk.
    bool waitedForTheDisk() const {
        const long long weight = m_folders + m_entries / EntriesPerFolder;
        return weight > 0 && m_time / weight >= ColdListing;
    }
    // Whether most of the last FoldersToJudge listings, each by itself, waited for the disk.
    // On a busy machine a listing from memory is now and then held up for a millisecond or
    // more while another program runs, enough to make a short mean look like a cold disk;
    // on a cold disk most listings wait.
    bool mostRecentListingsWaited() const {
        const int judged = std::min(m_folders, FoldersToJudge);
        int waited = 0;
        for (int k = 0; k < judged; ++k)
            waited += m_recent[std::size_t(k)] >= ColdListing;
        return judged > 0 && 2 * waited > judged;
    }

private:
    static constexpr auto ColdListing = std::chrono::microseconds(60);
    static constexpr long long EntriesPerFolder = 64;

    std::chrono::steady_clock::duration m_time{};
    int m_folders = 0;
    long long m_entries = 0;
    // The last listings' times, each per its weight in folders.
    std::array<std::chrono::steady_clock::duration, FoldersToJudge> m_recent{};
};

} // namespace sonavue
