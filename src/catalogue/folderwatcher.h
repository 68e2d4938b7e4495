// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Watches the music folder while the player runs and says when something in it changed, so
// the library can be brought up to date. Linux inotify, read on the thread the watcher lives
// on (cheap); the watches of a big tree are placed on a thread of the watcher's own. Where
// changes cannot be told (too many folders for the system's limit, more changes than its
// queue holds, a network or FUSE file system), it says so once and from then on says
// "changed" every few minutes, so that a rescan looks for itself.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;
struct inotify_event;

namespace sonavue {

class WatchPlacer;
class WatchedTree;

struct FolderWatchOptions {
    int quietMs = 300;    // a burst of changes is told once it has been quiet this long...
    int longestMs = 1500; // ...or this long after its first change, whichever comes first
    int checkMinutes = 5; // the periodic look when changes are not told
    // For tests: the periodic look's period in milliseconds (0: checkMinutes), how many
    // folders may be watched (0: as many as the system allows), and a judge of file
    // systems that send no events, asked on the watcher's own thread for the folder and
    // each mount point below it (null: by the file system's type).
    int checkMs = 0;
    int watchLimit = 0;
    std::function<bool(const QByteArray& nativeFolder)> sendsNoEvents;
};

class FolderWatcher : public QObject {
    Q_OBJECT
public:
    using Options = FolderWatchOptions;
    using Clock = std::chrono::system_clock;

    explicit FolderWatcher(Options options = {}, QObject* parent = nullptr);
    ~FolderWatcher() override; // stops everything, joins its thread

    // Watches folder and every folder below it that the scan enters, in place of what was
    // watched before. Returns at once: the watches are placed on another thread. A folder
    // found changed since changesSince (when the library shown was read) is told as a change.
    void watch(const QString& folder, std::optional<Clock::time_point> changesSince = {});
    void stop();
    bool watching() const { return m_watching; }
    // Fell back to periodic looks.
    bool periodic() const { return m_periodic; }
    // Folders watched now (none once periodic).
    int watchedFolders() const;

signals:
    // Files or folders under the folder were added, removed, renamed, moved in or out, or
    // rewritten, or the folder itself went: one signal per burst of changes.
    void changed();
    // Changes are no longer told, for reason; changed() now comes every checkMinutes.
    void becamePeriodic(const QString& reason);
    // Every folder found so far is watched (after watch(), and after each new folder).
    void watchesPlaced();

private:
    struct EventBatch;
    void readEvents();
    void readReports();
    void takeEvent(const inotify_event& event, WatchedTree& tree, EventBatch& batch);
    void takeFolderEvent(const inotify_event& event, const QByteArray& name, WatchedTree& tree,
                         EventBatch& batch);
    void noteChange();
    void finishBurst();
    void unwatch(const std::vector<int>& descriptors);
    void goPeriodic(const QString& reason, bool tellChange = false);
    void release();
    int periodMs() const;

    const Options m_options;
    QString m_folder; // for messages
    bool m_watching = false;
    bool m_periodic = false;
    int m_inotify = -1; // the placer's
    QPointer<QSocketNotifier> m_events;
    QPointer<QSocketNotifier> m_reports; // the placer's
    std::unique_ptr<WatchPlacer> m_placer;
    std::unique_ptr<WatchPlacer> m_retired; // letting go of the watches of a watch() before
    QHash<quint32, int> m_movedAway;        // folders moved from, by cookie, until moved to
    QTimer m_quiet;
    QTimer m_longest;
    QTimer m_periodicLook;
};

} // namespace sonavue
