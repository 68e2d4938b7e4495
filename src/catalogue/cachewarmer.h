// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Brings the music folder into the page cache while the program is still starting (the
// main window and the web panel take a good part of a second to build after a cold boot):
// background threads list the folders and read each music file's trailing tag bytes, and
// throw the results away. The scan that follows finds them in memory. Nothing here
// touches the catalogue; the warming follows the walk's rules (no pseudo file systems, no
// FIFOs or devices opened, every folder once however many links lead to it, the same
// depth and path limits) and stops as soon as it is told to.
#include "catalogue/diskpace.h"
#include "catalogue/enteredfolders.h"
#include "catalogue/folderlisting.h"
#include "catalogue/walkahead.h"
#include "catalogue/workerthreads.h"
#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace sonavue {

class CacheWarmer {
public:
    // Starts one thread on the folder at root; more join it once that one's listings show
    // that the disk is being waited for. From memory there is nothing to warm, and the
    // thread ends by itself after its first folders.
    // AtOnce: every thread works from the start, as on a cold disk (for tests).
    enum class Start { WhenCold, AtOnce };
    CacheWarmer(const QByteArray& root, const QString& pattern, WalkAhead::Limits limits,
                int coldThreads, Start start = Start::WhenCold);
    ~CacheWarmer(); // stops and joins
    CacheWarmer(const CacheWarmer&) = delete;
    CacheWarmer& operator=(const CacheWarmer&) = delete;

    void stop();
    int runningWorkers() const;
    // Folders listed so far (for tests).
    int foldersListed() const;

private:
    struct Folder {
        QByteArray path;
        int depth = 0;
    };
    void work(bool first);
    bool nextFolder(std::unique_lock<std::mutex>& lock, Folder& folder);
    void warm(const Folder& folder, const FilePattern& pattern, FileSystemFilter& fileSystems);
    // Under the lock: the first thread's folders so far tell whether the disk is cold.
    void judgeTheDisk(std::chrono::steady_clock::duration took, int entries);

    const QString m_pattern;
    const WalkAhead::Limits m_limits;
    const int m_coldThreads;
    std::atomic<bool> m_stopped{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Folder> m_toList;
    EnteredFolders m_listedIds;
    int m_busy = 0; // threads listing or reading a folder (more folders may come of it)
    int m_listed = 0;
    DiskPace m_pace;
    bool m_judged = false;
    bool m_cold = false;
    WorkerThreads m_workers;
};

} // namespace sonavue
