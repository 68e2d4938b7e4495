// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Lists the music folder's subfolders on worker threads ahead of the walk. The walk still
// goes through the tree in its own order, on its own thread, and decides everything (which
// folders it enters, which it leaves out); it only takes each folder's listing from the
// workers when they have made it, instead of waiting for the file system itself. Folders
// are listed the way the walk goes, depth first, so the listing it asks for next is
// usually ready or being made.
#include "catalogue/enteredfolders.h"
#include "catalogue/folderlisting.h"
#include "catalogue/workerthreads.h"
#include <QByteArray>
#include <QHash>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace sonavue {

class WalkAhead {
public:
    // Subfolders deeper than maxDepth below the music folder, or with longer paths than
    // maxPathBytes, are left to the walk (which leaves them out).
    struct Limits {
        int maxDepth = 0;
        int maxPathBytes = 0;
    };
    // No worker runs until startWorkers(): until then take() lists every folder itself.
    WalkAhead(const FilePattern& pattern, Limits limits, int capacity = 4096);
    ~WalkAhead(); // stops and joins the workers
    WalkAhead(const WalkAhead&) = delete;
    WalkAhead& operator=(const WalkAhead&) = delete;

    // The listing of the folder at path, depth levels below the music folder: the
    // workers' when they have made it or are making it, else made here. Its subfolders
    // are then listed ahead. A folder the workers had listed by another path comes back
    // ListedBefore: the walk lists it itself if it needs it.
    // readIf decides, when the listing is made here, whether the folder is read at all;
    // keepOpen, when given, then takes the folder still open (see listFolder).
    FolderListing take(const FolderPlace& place, int depth,
                       const std::function<bool(const NativeFolder::Stamp&)>& readIf,
                       std::unique_ptr<NativeFolder>* keepOpen = nullptr);

    // Starts the workers (once); they list ahead from the next folder take() lists itself.
    void startWorkers(int threads);
    bool workersStarted() const { return m_workers.started(); }

    // Ends the workers now; take() then lists everything itself. Safe to call twice.
    void stop();
    int runningWorkers() const;

private:
    enum class State { Pending, Listing, Done };
    struct Entry {
        State state = State::Pending;
        int depth = 0;
        FolderListing listing;
    };
    void work();
    bool nextFolder(std::unique_lock<std::mutex>& lock, QByteArray& path, int& depth);
    // Under the lock: the subfolders of a folder just listed are to be listed next.
    void listSubfoldersNext(const QByteArray& path, int depth, const NameList& subfolders);
    // Under the lock: true when no listing of this folder has been made before.
    bool firstListing(const NativeFolder::Stamp& stamp);

    const FilePattern& m_pattern;
    const Limits m_limits;
    const int m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_workersWake; // a folder to list, room, or the end
    std::condition_variable m_listed;      // a listing the walk waits for is made
    QHash<QByteArray, Entry> m_entries;
    std::vector<QByteArray> m_toList; // the last pushed is listed first
    EnteredFolders m_listedIds;
    int m_done = 0; // listings made and not yet taken
    bool m_stopped = false;
    FileSystemFilter m_fileSystems; // the walk thread's
    WorkerThreads m_workers;
};

} // namespace sonavue
