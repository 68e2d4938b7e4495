// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The kept library (keeplibrary=1): the catalogue a scan left is stored, shown at the next
// start at once, then brought up to date by a scan on a thread of its own; while the player
// runs, the music folder is watched and each change is brought in the same way. The browsing
// model takes a changed library in place of the shown one, keeping what the user sees.
#include "catalogue/backgroundscan.h"
#include "catalogue/browsingmodel.h"
#include "catalogue/folderscan.h"
#include "catalogue/folderwatcher.h"
#include "catalogue/librarystore.h"

#include <QObject>
#include <QTimer>
#include <thread>

namespace sonavue {

class LibraryKeeper : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString storeFolder;  // where the stores live
        int checkMinutes = 5; // between looks where changes are not told
        // After a kept library is shown, the wait from the first turn of the event loop before
        // it is brought up to date and watched: the window is shown and painted first.
        int upToDateAfterMs = 500;
        FolderWatcher::Options watching;
    };
    LibraryKeeper(Catalogue& catalogue, GroupLists& groups, BrowsingModel& browsing,
                  FolderScan& scan, const TagReading& reading, Options options,
                  QObject* parent = nullptr);
    // Ends the scan under way and waits for the last store to be written.
    ~LibraryKeeper() override;

    // Shows the kept library of folder, as a scan with today's pattern would have filled the
    // catalogue and the lists, and brings it up to date soon after. False when none can be
    // used: the folder is then scanned as without the key.
    bool showKept(const QString& folder);
    // The scan of folder (not in the background) is about to start: a background one gives
    // way, and the folder is not watched until it has ended.
    void scanStarting();
    // The scan of folder has filled the catalogue: it is stored and the folder watched.
    void scanned(const QString& folder);
    // Nothing more is scanned, watched or stored (the window unloads).
    void stop();

    const FolderWatcher& watcher() const { return m_watcher; }

signals:
    // A scan in the background ended; replaced tells whether the library changed.
    void broughtUpToDate(bool replaced);

private:
    LibraryKey keyFor(const QString& folder) const;
    void bringUpToDate();
    void lookAfterWatch();
    void take(const std::shared_ptr<ScannedLibrary>& library);
    void store();
    void watch(FolderWatcher::Clock::time_point changesSince);

    Catalogue& m_catalogue;
    GroupLists& m_groups;
    BrowsingModel& m_browsing;
    FolderScan& m_scan;
    const TagReading& m_reading;
    const Options m_options;
    LibraryStore m_store;
    // The library shown: its folder and what it was scanned with; empty folder before one.
    LibraryKey m_key;
    // When the scan of the window's own began: a folder changed since then may not be in it.
    FolderWatcher::Clock::time_point m_scanStarted;
    // A kept library shown at this time waits for its first look to be watched.
    FolderWatcher::Clock::time_point m_shownAt;
    bool m_watchPending = false;
    bool m_lookAwaitsWatch = false; // the first look waits for the watches to be placed
    bool m_stopped = false;
    BackgroundScan m_background;
    FolderWatcher m_watcher;
    QTimer m_upToDateSoon;
    // The store being written from a copy of the catalogue; one at a time.
    std::thread m_writer;
};

} // namespace sonavue
