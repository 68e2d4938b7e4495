// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/folderwatcher.h"

#include "base/filedescriptor.h"
#include "base/nativepath.h"
#include "base/report.h"
#include "catalogue/folderwatchplacer.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>

namespace sonavue {

// What one read of the event queue asks for once the tree is unlocked.
struct FolderWatcher::EventBatch {
    bool changed = false;
    bool overflow = false;
    bool topGone = false;
    std::vector<int> toUnwatch;
    std::vector<std::pair<int, QByteArray>> toPlace; // new folders, by parent and name
};

namespace {

constexpr uint32_t ChangeMask =
    IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

QString instancesReason(int error) {
    if (error == EMFILE)
        return QStringLiteral("cannot watch for changes: the system's limit on watchers is "
                              "reached (fs.inotify.max_user_instances, or the open file limit)");
    return QStringLiteral("cannot watch for changes: %1")
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

FolderWatcher::FolderWatcher(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options)) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(std::max(0, m_options.quietMs));
    m_longest.setSingleShot(true);
    m_longest.setInterval(std::max(0, m_options.longestMs));
    connect(&m_quiet, &QTimer::timeout, this, &FolderWatcher::finishBurst);
    connect(&m_longest, &QTimer::timeout, this, &FolderWatcher::finishBurst);
    connect(&m_periodicLook, &QTimer::timeout, this, &FolderWatcher::changed);
}

FolderWatcher::~FolderWatcher() {
    stop();
}

void FolderWatcher::watch(const QString& folder, std::optional<Clock::time_point> changesSince) {
    stop();
    m_watching = true;
    m_folder = readableText(folder);
    FileDescriptor inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (inotify.get() < 0) {
        goPeriodic(instancesReason(errno));
        return;
    }
    m_inotify = inotify.get();
    m_placer = std::make_unique<WatchPlacer>(
        std::move(inotify),
        WatchPlacer::Settings{m_options.watchLimit, m_options.sendsNoEvents, changesSince});
    m_events = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
    connect(m_events, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
    if (m_placer->reportsFd() < 0) {
        goPeriodic(QStringLiteral("cannot watch for changes: no descriptor is left for them"));
        return;
    }
    m_reports = new QSocketNotifier(m_placer->reportsFd(), QSocketNotifier::Read, this);
    connect(m_reports, &QSocketNotifier::activated, this, &FolderWatcher::readReports);
    m_placer->placeRoot(pathToNative(folder));
}

void FolderWatcher::stop() {
    release();
    m_periodicLook.stop();
    m_watching = false;
    m_periodic = false;
}

int FolderWatcher::watchedFolders() const {
    return m_placer ? m_placer->withTree([](const WatchedTree& tree) { return tree.count(); }) : 0;
}

void FolderWatcher::readEvents() {
    if (!m_placer)
        return;
    alignas(inotify_event) char buffer[64 * 1024];
    EventBatch batch;
    while (!batch.overflow && !batch.topGone) {
        const ssize_t got = ::read(m_inotify, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        m_placer->withTree([&](WatchedTree& tree) {
            for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                takeEvent(*event, tree, batch);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        });
    }
    unwatch(batch.toUnwatch);
    if (batch.overflow || batch.topGone) {
        // Everything may have changed.
        goPeriodic(batch.overflow ? QStringLiteral("more changes came at once in %1 than the "
                                                   "system's queue holds "
                                                   "(fs.inotify.max_queued_events)")
                                        .arg(m_folder)
                                  : QStringLiteral("%1 was moved or removed").arg(m_folder),
                   true);
        return;
    }
    for (const auto& [parent, name] : batch.toPlace)
        m_placer->placeBelow(parent, name);
    if (batch.changed)
        noteChange();
}

void FolderWatcher::readReports() {
    if (!m_placer)
        return;
    const WatchPlacer::Reports reports = m_placer->takeReports();
    if (reports.unseenChange)
        noteChange();
    if (!reports.cannotWatch.isEmpty())
        goPeriodic(reports.cannotWatch);
    else if (reports.allPlaced)
        emit watchesPlaced();
}

void FolderWatcher::takeEvent(const inotify_event& event, WatchedTree& tree, EventBatch& batch) {
    if (event.mask & IN_Q_OVERFLOW) {
        batch.overflow = true;
        return;
    }
    if (!tree.contains(event.wd)) // unwatched since: not ours any more
        return;
    const bool top = event.wd == tree.root();
    if (event.mask & IN_IGNORED) { // deleted, or on a file system unmounted
        std::vector<int> gone = tree.removeSubtree(event.wd);
        batch.toUnwatch.insert(batch.toUnwatch.end(), gone.begin(), gone.end());
        batch.topGone = batch.topGone || top;
        batch.changed = true;
        return;
    }
    if (event.len == 0 || event.name[0] == '\0') { // about the watched folder itself
        if (top && (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)))
            batch.topGone = true;
        batch.changed = batch.changed || (event.mask & IN_UNMOUNT);
        return;
    }
    const QByteArray name(event.name);
    if (event.mask & IN_ISDIR)
        takeFolderEvent(event, name, tree, batch);
    // Hidden names are not the library's, as the scan does not list them.
    if (!name.startsWith('.') && (event.mask & ChangeMask))
        batch.changed = true;
}

void FolderWatcher::takeFolderEvent(const inotify_event& event, const QByteArray& name,
                                    WatchedTree& tree, EventBatch& batch) {
    const bool hidden = name.startsWith('.');
    if (event.mask & IN_CREATE) {
        if (!hidden)
            batch.toPlace.emplace_back(event.wd, name);
    } else if (event.mask & IN_MOVED_FROM) {
        // Moved within the tree when its other half comes, moved out when none does.
        const int folder = tree.childOf(event.wd, name);
        if (folder >= 0) {
            tree.takeOut(folder);
            m_movedAway.insert(event.cookie, folder);
        }
    } else if (event.mask & IN_MOVED_TO) {
        const int folder = m_movedAway.contains(event.cookie) ? m_movedAway.take(event.cookie) : -1;
        if (folder >= 0 && !hidden && tree.move(folder, event.wd, name))
            return;
        if (folder >= 0) {
            std::vector<int> gone = tree.removeSubtree(folder);
            batch.toUnwatch.insert(batch.toUnwatch.end(), gone.begin(), gone.end());
        }
        if (!hidden)
            batch.toPlace.emplace_back(event.wd, name);
    }
}

void FolderWatcher::noteChange() {
    if (!m_longest.isActive())
        m_longest.start();
    m_quiet.start();
}

void FolderWatcher::finishBurst() {
    m_quiet.stop();
    m_longest.stop();
    // A folder moved from with no move to by now has left the tree.
    if (m_placer && !m_movedAway.isEmpty()) {
        std::vector<int> gone;
        m_placer->withTree([&](WatchedTree& tree) {
            for (int folder : std::as_const(m_movedAway)) {
                const std::vector<int> below = tree.removeSubtree(folder);
                gone.insert(gone.end(), below.begin(), below.end());
            }
        });
        m_movedAway.clear();
        unwatch(gone);
    }
    emit changed();
}

void FolderWatcher::unwatch(const std::vector<int>& descriptors) {
    for (int wd : descriptors) // one the kernel has dropped already fails, harmlessly
        ::inotify_rm_watch(m_inotify, wd);
}

// A change seen and not yet told is told now, not at the first periodic look.
void FolderWatcher::goPeriodic(const QString& reason, bool tellChange) {
    if (!m_watching || m_periodic)
        return;
    tellChange = tellChange || m_quiet.isActive();
    release();
    m_periodic = true;
    m_periodicLook.start(periodMs());
    const int minutes = periodMs() / 60000;
    const QString every = m_options.checkMs > 0 ? QStringLiteral("%1 ms").arg(m_options.checkMs)
                          : minutes == 1        ? QStringLiteral("minute")
                                                : QStringLiteral("%1 minutes").arg(minutes);
    const QString said =
        QStringLiteral("%1; looking for changes every %2 instead").arg(reason, every);
    reportLine(said);
    emit becamePeriodic(said);
    if (tellChange)
        emit changed();
}

// Lets go of inotify and of the placer, whose thread ends and whose reports are not heard.
void FolderWatcher::release() {
    m_quiet.stop();
    m_longest.stop();
    m_movedAway.clear();
    for (QPointer<QSocketNotifier>* notifier : {&m_events, &m_reports}) {
        if (*notifier) { // it may be the one calling: deleted once it has returned
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (m_placer) {
        m_placer->retire();
        m_retired = std::move(m_placer); // the one before, ended as a rule, is joined here
    }
    m_inotify = -1;
}

int FolderWatcher::periodMs() const {
    return m_options.checkMs > 0 ? m_options.checkMs
                                 : std::max(1, m_options.checkMinutes) * 60 * 1000;
}

} // namespace sonavue
