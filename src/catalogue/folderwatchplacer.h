// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Places the inotify watches of a folder tree on a thread of its own: a music folder of
// ten thousand folders takes a while to walk, and the window must not wait for it. The
// folders it enters are the scan's: hidden names are skipped, links to folders are not
// followed, pseudo file systems are not entered, and the depth and path length are bounded.
#include "base/filedescriptor.h"
#include "catalogue/folderwatchtree.h"
#include "catalogue/pseudofilesystem.h"
#include "catalogue/workerthreads.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace sonavue {

// True for the statfs f_type of file systems whose changes may be made elsewhere, where
// inotify cannot see them: network file systems (NFS, SMB/CIFS, 9p, Ceph, AFS...), cluster
// file systems and FUSE.
bool fileSystemSendsNoEvents(unsigned long statfsType);

class WatchPlacer {
public:
    struct Settings {
        int watchLimit = 0; // 0: as many as the system allows
        // Asked on the placer's thread for the top folder and each mount point below it;
        // null: fileSystemSendsNoEvents on its statfs type.
        std::function<bool(const QByteArray& nativeFolder)> sendsNoEvents;
        // A folder changed since then, which the watch placed now cannot tell of, is told as a
        // change (the library shown was read before its watch was placed).
        std::optional<std::chrono::system_clock::time_point> changesSince;
    };
    // What the placer has to tell, taken on the owner's thread.
    struct Reports {
        QString cannotWatch; // why changes can no longer be told; the placer has stopped
        // Something may have changed before its watch: a folder placed by placeBelow held files
        // or folders, or a folder was changed since Settings::changesSince.
        bool unseenChange = false;
        bool allPlaced = false; // nothing was left to place
    };

    // Owns inotify from now on: its thread closes it once retired, since closing one that
    // holds ten thousand watches takes the kernel a while.
    WatchPlacer(FileDescriptor inotify, Settings settings);
    ~WatchPlacer(); // retires and joins its thread
    WatchPlacer(const WatchPlacer&) = delete;
    WatchPlacer& operator=(const WatchPlacer&) = delete;

    // The top folder and everything below it.
    void placeRoot(const QByteArray& nativePath);
    // The folder name in the watched folder parent, new there, and everything below it.
    void placeBelow(int parent, const QByteArray& name);
    // Runs f on the tree of watched folders, locked.
    template <class F> auto withTree(F f) {
        const std::lock_guard lock(m_mutex);
        return f(m_tree);
    }
    int inotifyFd() const { return m_inotifyFd; }
    // Ends the walk at the next folder; the thread then closes inotify and ends, without
    // being waited for. Once retired, the owner no longer uses inotify.
    void retire();
    // Readable while reports wait: for a socket notifier on the owner's thread. (Reports go
    // through a descriptor and a lock rather than queued calls, so that a thread sanitizer
    // sees every hand-over.)
    int reportsFd() const { return m_reportsFd.get(); }
    Reports takeReports();

private:
    struct Job {
        int parent = -1; // -1: name is the top folder's path
        QByteArray name;
    };
    struct Item {
        QByteArray path;
        int parent = -1;
        QByteArray name;
        int depth = 0;
        dev_t parentDevice = 0;
        // Whether its file system is looked at: always for the top folder, at a change of
        // device below it, never for a folder just made in a watched one.
        enum class Judge { Always, OnOtherDevice, Never } judge = Judge::OnOtherDevice;
    };
    enum class Placed { Watched, Skipped, Stop };
    struct Found {
        bool content = false; // files or folders in what was placed
        bool changed = false; // a folder changed since Settings::changesSince
    };
    void work();
    void placeTree(const Job& job);
    Placed placeOne(const Item& item, std::vector<Item>& below, Found& found);
    bool changedSince(const struct stat& info) const;
    bool judgeFileSystem(const Item& item, int fd);
    int addWatch(int fd, const Item& item);
    void listSubfolders(int fd, const Item& item, int wd, dev_t device, std::vector<Item>& below,
                        bool& content);
    void cannotWatch(const QString& reason);
    void report(const std::function<void(Reports&)>& add);

    const Settings m_settings;
    FileDescriptor m_inotify; // closed by the placer's thread
    const int m_inotifyFd;
    FileDescriptor m_reportsFd;
    Reports m_reports; // under m_mutex
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::atomic<bool> m_stopped{false}; // the walk ends
    bool m_retired = false;             // the thread ends (under m_mutex)
    QByteArray m_rootPath;              // the placer thread's
    WatchedTree m_tree;
    FileSystemFilter m_fileSystems; // the placer thread's
    WorkerThreads m_thread;
};

} // namespace sonavue
