// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/librarypanes.h"

#include "core/playercore.h"
#include "ui/library/findfield.h"
#include "ui/library/grouppages.h"
#include "ui/library/reservedlistview.h"
#include "ui/library/scanprogress.h"
#include "ui/library/tracklistpane.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace sonavue {

LibraryPanes::LibraryPanes(PlayerCore& core, const Panes& panes, QObject* parent)
    : QObject(parent), m_core(core), m_panes(panes) {}

void LibraryPanes::showTab(int index) {
    if (index < 0 || index >= GroupCount)
        return;
    m_currentTab = index;
    m_panes.groups.showPage(index);
    QCoreApplication::processEvents();
    if (index == GroupAll)
        m_core.browsing().showAllTracks();
}

void LibraryPanes::markHoveredTab(int index) {
    m_panes.groups.setHoveredTab(index);
}

void LibraryPanes::pickGroupEntry(int list) {
    m_core.browsing().pickGroupEntry(list);
}

void LibraryPanes::showSelectedTrackTags() {
    if (const std::optional<int> row = m_core.browsing().selectedRow())
        emit tagsAsked(m_core.browsing().rowPath(*row));
}

void LibraryPanes::reserveSelectedTrack() {
    // A gesture whose row is not (or no longer) in the catalogue is ignored.
    BrowsingModel& browsing = m_core.browsing();
    if (const std::optional<int> row = browsing.selectedRow())
        m_core.transport().reserveTrack(browsing.rowPath(*row));
}

void LibraryPanes::removeSelectedReserved() {
    const QModelIndexList selected = m_panes.reserved.selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        m_core.browsing().reserved().removeAt(selected.first().row());
}

void LibraryPanes::leaveReservedList() {
    m_core.player().reservedListLeft();
}

void LibraryPanes::setListFontSize(double points) {
    m_panes.tracks.setListFontSize(points);
    m_panes.groups.setListFontSize(points);
}

FolderScan::Result LibraryPanes::scan(const QString& folder) {
    // The walk shows no bars, also when this scan replaces one that was reading tags (its
    // own reading shows and hides them again; a folder without music never shows them).
    m_panes.foldersBar.hide();
    m_panes.filesBar.hide();
    BrowsingModel& browsing = m_core.browsing();
    ScanProgress progress(m_panes.foldersBar, m_panes.filesBar, browsing, m_core.groups(),
                          m_panes.find);
    const FolderScan::Result result =
        m_core.scan().run(folder, browsing.folderPrefix(), browsing.filePattern(), progress);
    // A scan started during one of this scan's pauses has done the rest itself (or the
    // window unloaded and stopped it).
    if (result == FolderScan::Result::Superseded)
        return result;
    showScanned();
    return result;
}

void LibraryPanes::showScanned() {
    BrowsingModel& browsing = m_core.browsing();
    m_panes.find.keepOpenThrough([this, &browsing] {
        // A scan selects the first folder once its list is complete; a kept library is
        // shown complete.
        if (browsing.selectedGroupEntry(GroupFolder) < 0)
            browsing.selectGroupEntry(GroupFolder, 0);
        showTab(GroupFolder);
        pickGroupEntry(GroupFolder);
        if (browsing.trackCount() > 0)
            browsing.selectTrack(0);
    });
}

} // namespace sonavue
