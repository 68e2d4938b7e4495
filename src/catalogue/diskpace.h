// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Whether the scan's folder listings came from memory or had to wait for the disk, judged
// from how long they took. The walk and the start-up's warming both judge by it, after
// FoldersToJudge folders, and size their threads by the answer (scanthreads.h).
#include <chrono>

namespace sonavue {

class DiskPace {
public:
    // Folders listed before the disk is judged (and between judgements, for the walk).
    static constexpr int FoldersToJudge = 16;

    void addListing(std::chrono::steady_clock::duration took) {
        m_time += took;
        ++m_folders;
    }
    void addEntries(long long entries) { m_entries += entries; }
    int foldersListed() const { return m_folders; }
    // A folder listed from memory takes microseconds; one the disk must be asked for takes
    // a good part of a millisecond or more. A big folder takes longer from memory too:
    // every 64 entries count as one more folder, so that folders of a thousand files read
    // from memory are not taken for a cold disk.
    bool waitedForTheDisk() const {
        constexpr auto ColdListing = std::chrono::microseconds(60);
        constexpr long long EntriesPerFolder = 64;
        const long long weight = m_folders + m_entries / EntriesPerFolder;
        return weight > 0 && m_time / weight >= ColdListing;
    }

private:
    std::chrono::steady_clock::duration m_time{};
    int m_folders = 0;
    long long m_entries = 0;
};

} // namespace sonavue
