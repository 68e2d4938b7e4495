// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "core/librarykeeper.h"

#include <utility>

namespace sonavue {
namespace {

FolderWatcher::Options watchingOf(const LibraryKeeper::Options& options) {
    FolderWatcher::Options watching = options.watching;
    watching.checkMinutes = options.checkMinutes;
    return watching;
}

} // namespace

LibraryKeeper::LibraryKeeper(Catalogue& catalogue, GroupLists& groups, BrowsingModel& browsing,
                             FolderScan& scan, const TagReading& reading, Options options,
                             QObject* parent)
    : QObject(parent), m_catalogue(catalogue), m_groups(groups), m_browsing(browsing), m_scan(scan),
      m_reading(reading), m_options(std::move(options)), m_store(m_options.storeFolder),
      m_watcher(watchingOf(m_options)) {
    m_upToDateSoon.setSingleShot(true);
    m_upToDateSoon.setInterval(m_options.upToDateAfterMs);
    connect(&m_upToDateSoon, &QTimer::timeout, this, &LibraryKeeper::bringUpToDate);
    connect(&m_background, &BackgroundScan::finished, this, &LibraryKeeper::take);
    connect(&m_watcher, &FolderWatcher::changed, this, &LibraryKeeper::bringUpToDate);
    connect(&m_watcher, &FolderWatcher::watchesPlaced, this, &LibraryKeeper::lookAfterWatch);
    connect(&m_watcher, &FolderWatcher::becamePeriodic, this, &LibraryKeeper::lookAfterWatch);
}

LibraryKeeper::~LibraryKeeper() {
    stop();
    if (m_writer.joinable())
        m_writer.join();
}

LibraryKey LibraryKeeper::keyFor(const QString& folder) const {
    return {folder,
            m_browsing.folderPrefix(),
            m_browsing.filePattern().text(),
            m_reading.codePage,
            m_reading.id3v2,
            m_reading.extraTypes};
}

bool LibraryKeeper::showKept(const QString& folder) {
    if (m_stopped)
        return false;
    const LibraryKey key = keyFor(folder);
    if (!m_store.load(key, m_catalogue, m_groups))
        return false;
    m_key = key;
    // The look and the watch's walk wait until the window is up: on a cold disk their reads
    // would otherwise hold up the window's own. A change meanwhile is still told.
    m_shownAt = FolderWatcher::Clock::now();
    m_watchPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_watchPending && !m_stopped)
            m_upToDateSoon.start();
    });
    return true;
}

void LibraryKeeper::scanStarting() {
    m_scanStarted = FolderWatcher::Clock::now();
    m_watchPending = false; // the scan's end places the watch
    m_lookAwaitsWatch = false;
    m_upToDateSoon.stop();
    m_background.stop();
    m_watcher.stop();
}

void LibraryKeeper::scanned(const QString& folder) {
    if (m_stopped)
        return;
    m_key = keyFor(folder);
    store();
    watch(m_scanStarted);
}

void LibraryKeeper::stop() {
    m_stopped = true;
    m_upToDateSoon.stop();
    m_background.stop();
    m_watcher.stop();
}

void LibraryKeeper::bringUpToDate() {
    // A scan of the window's own under way fills the catalogue itself.
    if (m_stopped || m_key.musicFolder.isEmpty() || m_scan.running())
        return;
    if (std::exchange(m_watchPending, false)) {
        // A file rewritten in place leaves its folder as it was: one rewritten before its
        // folder's watch is placed is found by a look that starts once every watch is placed.
        m_lookAwaitsWatch = true;
        watch(m_shownAt);
        return;
    }
    if (m_lookAwaitsWatch)
        return;
    // The scan's thread compares what it finds with a copy of the rows shown and keeps what
    // changed in the store: the window only takes the result.
    m_background.start(
        {m_key.musicFolder, m_key.folderPrefix, FilePattern(m_key.pattern), m_reading,
         std::make_shared<const Catalogue>(m_catalogue.clone()),
         [store = m_store, key = m_key](const Catalogue& rows) { store.save(key, rows); }});
}

void LibraryKeeper::lookAfterWatch() {
    if (std::exchange(m_lookAwaitsWatch, false))
        bringUpToDate();
}

void LibraryKeeper::take(const std::shared_ptr<ScannedLibrary>& library) {
    if (m_stopped || m_scan.running())
        return;
    if (library->changed)
        m_browsing.replaceLibrary([this, &library] {
            m_catalogue.swap(library->catalogue);
            for (int g = 0; g < GroupCount; ++g)
                m_groups[g].takeEntriesFrom(library->groups[g]);
        });
    emit broughtUpToDate(library->changed);
}

// A folder changed after the library shown was read, but before its watch was placed, is
// told as a change all the same.
void LibraryKeeper::watch(FolderWatcher::Clock::time_point changesSince) {
    m_watcher.watch(m_key.musicFolder, changesSince);
}

void LibraryKeeper::store() {
    if (m_writer.joinable())
        m_writer.join();
    m_writer = std::thread(
        [store = m_store, key = m_key, rows = m_catalogue.clone()] { store.save(key, rows); });
}

} // namespace sonavue
