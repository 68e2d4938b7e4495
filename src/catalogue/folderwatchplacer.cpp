// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/folderwatchplacer.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "base/openfolder.h"
#include "catalogue/nativefolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <utility>

namespace sonavue {
namespace {

// The scan's bounds: folders deeper than this below the music folder, or with longer
// paths, are not catalogued, so they are not watched either.
constexpr int MaxDepth = 1024;
constexpr int MaxPathBytes = 8 * PATH_MAX;

// What counts as a change, and the top folder going away. Links are never followed, and
// a file unlinked while open is no longer ours.
constexpr uint32_t WatchMask = IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                               IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                               IN_EXCL_UNLINK;

// File systems keep times coarsely (FAT to two seconds, the kernel's clock to a tick): a
// folder changed this long before the time given counts as changed since.
constexpr std::chrono::seconds StampSlack{2};

constexpr unsigned long NoEventTypes[] = {
    0x6969,     // NFS
    0x517B,     // SMB
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2
    0x65735546, // FUSE (sshfs, rclone, virtiofs...)
    0x01021997, // 9p
    0x00C36400, // Ceph
    0x5346414F, // AFS
    0x6B414653, // kAFS
    0x73757245, // Coda
    0x564C,     // NCP
    0x0BD00BD0, // Lustre
    0x01161970, // GFS2
    0x7461636F, // OCFS2
    0x47504653, // GPFS
    0x20030528, // OrangeFS
    0x786F4256, // VirtualBox shared folders
};

QString shown(const QByteArray& nativePath) {
    return readableText(pathFromNative(nativePath));
}

QByteArray systemSetting(const char* path) {
    FileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC));
    char text[32] = {};
    const ssize_t got = fd.get() < 0 ? -1 : ::read(fd.get(), text, sizeof text - 1);
    return got > 0 ? QByteArray(text, got).trimmed() : QByteArray("unknown");
}

} // namespace

bool fileSystemSendsNoEvents(unsigned long statfsType) {
    for (unsigned long type : NoEventTypes)
        if (statfsType == type)
            return true;
    return false;
}

WatchPlacer::WatchPlacer(FileDescriptor inotify, Settings settings)
    : m_settings(std::move(settings)), m_inotify(std::move(inotify)), m_inotifyFd(m_inotify.get()),
      m_reportsFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    m_thread.start(1, [this](int) { work(); });
}

WatchPlacer::~WatchPlacer() {
    retire();
    m_thread.join();
}

void WatchPlacer::placeRoot(const QByteArray& nativePath) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back({-1, nativePath});
    }
    m_wake.notify_one();
}

void WatchPlacer::placeBelow(int parent, const QByteArray& name) {
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back({parent, name});
    }
    m_wake.notify_one();
}

void WatchPlacer::retire() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_retired = true;
    }
    m_wake.notify_all();
}

void WatchPlacer::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            // Stopped for want of watches, it waits for its owner to let go of inotify.
            m_wake.wait(lock, [this] { return m_retired || (!m_stopped && !m_jobs.empty()); });
            if (m_retired) {
                m_tree.clear();
                break;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        placeTree(job);
        bool idle = false;
        {
            const std::lock_guard lock(m_mutex);
            idle = m_jobs.empty() && !m_stopped;
        }
        if (idle)
            report([](Reports& reports) { reports.allPlaced = true; });
    }
    m_inotify.reset();
}

void WatchPlacer::placeTree(const Job& job) {
    std::vector<Item> toPlace;
    Found found;
    if (job.parent < 0) {
        m_rootPath = job.name;
        toPlace.push_back({job.name, -1, {}, 0, 0, Item::Judge::Always});
    } else {
        const std::lock_guard lock(m_mutex);
        const int depth = m_tree.depthOf(job.parent);
        if (depth < 0) // its folder went meanwhile
            return;
        const QByteArray& name = job.name;
        // Made here, not moved in from another file system: it lies on its parent's.
        toPlace.push_back(
            {joinNative(m_tree.pathOf(job.parent), name.constData(), std::size_t(name.size())),
             job.parent, name, depth + 1, 0, Item::Judge::Never});
    }
    while (!toPlace.empty() && !m_stopped) {
        const Item item = std::move(toPlace.back());
        toPlace.pop_back();
        if (placeOne(item, toPlace, found) == Placed::Stop)
            return;
    }
    // Whatever a new folder held came before its watch: nothing else will tell of it.
    if (((found.content && job.parent >= 0) || found.changed) && !m_stopped)
        report([](Reports& reports) { reports.unseenChange = true; });
}

WatchPlacer::Placed WatchPlacer::placeOne(const Item& item, std::vector<Item>& below,
                                          Found& found) {
    if (item.depth > MaxDepth || item.path.size() > MaxPathBytes)
        return Placed::Skipped;
    FileDescriptor folder(openFolder(item.path));
    struct stat info {};
    if (folder.get() < 0 || ::fstat(folder.get(), &info) != 0) {
        if (item.parent >= 0)
            return Placed::Skipped; // gone already, or unreadable as for the scan
        cannotWatch(QStringLiteral("cannot watch %1: %2")
                        .arg(shown(item.path), QString::fromLocal8Bit(std::strerror(errno))));
        return Placed::Stop;
    }
    if (item.judge == Item::Judge::Always ||
        (item.judge == Item::Judge::OnOtherDevice && info.st_dev != item.parentDevice)) {
        if (!m_fileSystems.mayEnter(folder.get(), info.st_dev))
            return Placed::Skipped;
        if (!judgeFileSystem(item, folder.get()))
            return Placed::Stop;
    }
    const int wd = addWatch(folder.get(), item);
    if (wd == -2)
        return Placed::Stop;
    if (wd < 0)
        return Placed::Skipped;
    {
        const std::lock_guard lock(m_mutex);
        const bool placed = item.parent < 0 ? (m_tree.setRoot(wd, item.path), true)
                                            : m_tree.add(wd, item.parent, item.name);
        if (!placed) {
            // Its parent went meanwhile, or the folder is watched already by another way.
            if (!m_tree.contains(wd))
                ::inotify_rm_watch(m_inotifyFd, wd);
            return Placed::Skipped;
        }
    }
    found.changed = found.changed || changedSince(info);
    listSubfolders(folder.release(), item, wd, info.st_dev, below, found.content);
    return Placed::Watched;
}

// Adding, removing or renaming in a folder sets its modification time (a file rewritten in
// place does not: that is left to the next look).
bool WatchPlacer::changedSince(const struct stat& info) const {
    if (!m_settings.changesSince)
        return false;
    const auto stamp = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(info.st_mtim.tv_sec) +
            std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    return stamp >= *m_settings.changesSince - StampSlack;
}

// False (after saying why) when the folder's file system cannot tell of changes.
bool WatchPlacer::judgeFileSystem(const Item& item, int fd) {
    bool noEvents = false;
    if (m_settings.sendsNoEvents) {
        noEvents = m_settings.sendsNoEvents(item.path);
    } else {
        struct statfs fs {};
        noEvents = ::fstatfs(fd, &fs) == 0 && fileSystemSendsNoEvents(unsigned(fs.f_type));
    }
    if (noEvents)
        cannotWatch(QStringLiteral("%1 is on a file system that does not tell of changes "
                                   "(a network or FUSE file system)")
                        .arg(shown(item.path)));
    return !noEvents;
}

// The watch's descriptor; -1 when this folder is left unwatched, -2 (after saying why) when
// no more watches can be had.
int WatchPlacer::addWatch(int fd, const Item& item) {
    if (m_settings.watchLimit > 0 &&
        withTree([](const WatchedTree& tree) { return tree.count(); }) >= m_settings.watchLimit) {
        errno = ENOSPC;
    } else {
        // Through the open folder: the very folder listed, whatever its path's length.
        char byDescriptor[48];
        std::snprintf(byDescriptor, sizeof byDescriptor, "/proc/self/fd/%d", fd);
        int wd = ::inotify_add_watch(m_inotifyFd, byDescriptor, WatchMask);
        if (wd < 0 && errno == ENOENT) // no /proc: by its path
            wd = ::inotify_add_watch(m_inotifyFd, item.path.constData(),
                                     WatchMask | (item.parent >= 0 ? IN_DONT_FOLLOW : 0));
        if (wd >= 0)
            return wd;
    }
    if (errno == ENOSPC) {
        cannotWatch(QStringLiteral("cannot watch every folder of %1: the system's limit on "
                                   "watched folders is reached (fs.inotify.max_user_watches is %2)")
                        .arg(shown(m_rootPath), QString::fromLatin1(systemSetting(
                                                    "/proc/sys/fs/inotify/max_user_watches"))));
        return -2;
    }
    if (errno == ENOMEM) {
        cannotWatch(QStringLiteral("cannot watch %1: the system has no memory left for watches")
                        .arg(shown(item.path)));
        return -2;
    }
    return -1;
}

void WatchPlacer::listSubfolders(int fd, const Item& item, int wd, dev_t device,
                                 std::vector<Item>& below, bool& content) {
    const OpenFolder folder(::fdopendir(fd));
    if (!folder) {
        ::close(fd);
        return;
    }
    const bool deeper = item.depth < MaxDepth;
    while (const dirent* entry = ::readdir(folder.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.') // hidden, and "." and ".."
            continue;
        content = true;
        bool isFolder = entry->d_type == DT_DIR;
        struct stat info {};
        if (entry->d_type == DT_UNKNOWN)
            isFolder = ::fstatat(::dirfd(folder.get()), name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISDIR(info.st_mode);
        if (!isFolder || !deeper)
            continue;
        const std::size_t size = std::strlen(name);
        below.push_back({joinNative(item.path, name, size), wd, QByteArray(name, qsizetype(size)),
                         item.depth + 1, device, Item::Judge::OnOtherDevice});
    }
}

void WatchPlacer::cannotWatch(const QString& reason) {
    report([this, &reason](Reports& reports) {
        m_stopped = true;
        reports.cannotWatch = reason;
    });
}

void WatchPlacer::report(const std::function<void(Reports&)>& add) {
    {
        const std::lock_guard lock(m_mutex);
        add(m_reports);
    }
    const uint64_t one = 1;
    if (::write(m_reportsFd.get(), &one, sizeof one) < 0) {
        // Only a full counter refuses, and then the owner has a wake-up waiting already.
    }
}

WatchPlacer::Reports WatchPlacer::takeReports() {
    uint64_t count = 0;
    if (::read(m_reportsFd.get(), &count, sizeof count) < 0) {
        // Nothing to clear: a wake-up without reports.
    }
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_reports, Reports{});
}

} // namespace sonavue
