// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The library's panes: the group tabs and lists, the track list with its find, the reserved
// list and the scan's progress bars. What the user does in them goes to the browsing model
// and the player; what they hold and select is the browsing model's.
#include "catalogue/folderscan.h"

#include <QObject>
#include <QString>

class QProgressBar;

namespace sonavue {

class FindField;
class GroupPages;
class PlayerCore;
class ReservedListView;
class TrackListPane;

class LibraryPanes : public QObject {
    Q_OBJECT
public:
    struct Panes {
        GroupPages& groups;
        TrackListPane& tracks;
        FindField& find;
        ReservedListView& reserved;
        QProgressBar& foldersBar;
        QProgressBar& filesBar;
    };
    // core and the panes outlive it.
    LibraryPanes(PlayerCore& core, const Panes& panes, QObject* parent);

    int currentTab() const { return m_currentTab; }
    // Brings group page index to the front; the ALL page lists every track.
    void showTab(int index);
    // The pointer passes over tab index.
    void markHoveredTab(int index);
    // Picks the entry selected in group list `list`, as a click on it does.
    void pickGroupEntry(int list);
    // A track was pressed: its tags are asked for.
    void showSelectedTrackTags();
    // The selected track goes to the end of the reserved list.
    void reserveSelectedTrack();
    // The reserved entry selected leaves the reserved list.
    void removeSelectedReserved();
    // The reserved list lost the focus.
    void leaveReservedList();
    void setListFontSize(double points);

    // Scans folder into the catalogue, the bars showing how far it is; a scan that is not
    // superseded ends on the Folder page with its selected entry picked and the first track
    // selected (an open find stays open through that).
    FolderScan::Result scan(const QString& folder);
    // Shows the library as a finished scan does: the Folder tab, its first entry's tracks.
    void showScanned();

signals:
    // The tags of the track at path are to be shown.
    void tagsAsked(const QString& path);

private:
    PlayerCore& m_core;
    Panes m_panes;
    int m_currentTab = 0;
};

} // namespace sonavue
