// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's lists: group tabs and group lists, the track list with its number
// column, and the reserved list. What they hold and select is the browsing model's.
#include "ui/form1.h"

#include "ui/grouppages.h"
#include "ui/reservedlistview.h"
#include "ui/tagcard.h"
#include "ui/tracklistpane.h"

#include <QCoreApplication>

namespace sonavue {

// --- Tabs and group lists ------------------------------------------------------------------

void Form1::TabSel_Click(int index) {
    if (index < 0 || index >= GroupCount)
        return;
    m_currentTab = index;
    ui.groupPages->showPage(index);
    QCoreApplication::processEvents();
    if (index == GroupAll)
        m_core.browsing().showAllTracks();
}

void Form1::TabSel_MouseMove(int index) {
    ui.groupPages->setHoveredTab(index);
}

void Form1::TagGroupe_Click(int index) {
    m_core.browsing().pickGroupEntry(index);
}

// --- Track list ------------------------------------------------------------------------------

void Form1::ListName_MouseDown() {
    const std::optional<int> row = m_core.browsing().selectedRow();
    if (row) {
        const QString path = m_core.browsing().rowPath(*row);
        if (!m_tagCard) {
            m_tagCard = new TagCard(this, m_core.tagReading());
            connect(m_tagCard, &TagCard::closed, this, &Form1::focusset);
            m_tagCard->show();
        }
        m_tagCard->setLabel1Tag(path);
        m_tagCard->setLabel1Caption(path);
    }
}

void Form1::ListName_DblClick() {
    // A gesture whose row is not (or no longer) in the catalogue is ignored.
    BrowsingModel& browsing = m_core.browsing();
    const std::optional<int> row = browsing.selectedRow();
    if (!row)
        return;
    if (browsing.reserved().append(browsing.rowPath(*row)))
        m_core.player().trackReserved();
}

void Form1::OptionList_DblClick() {
    const QModelIndexList selected = ui.OptionList->selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        m_core.browsing().reserved().removeAt(selected.first().row());
}

void Form1::OptionList_Validate() {
    m_core.player().reservedListLeft();
}

void Form1::wireLists() {
    connect(ui.groupPages, &GroupPages::tabClicked, this, &Form1::TabSel_Click);
    connect(ui.groupPages, &GroupPages::tabHovered, this, &Form1::TabSel_MouseMove);
    connect(ui.groupPages, &GroupPages::selectedEntryClickedAgain, this, &Form1::TagGroupe_Click);
    connect(ui.tracks, &TrackListPane::trackPressed, this, &Form1::ListName_MouseDown);
    connect(ui.tracks, &TrackListPane::trackDoubleClicked, this, &Form1::ListName_DblClick);
    connect(ui.OptionList, &QListView::doubleClicked, this, &Form1::OptionList_DblClick);
    connect(ui.OptionList, &ReservedListView::focusLeft, this, &Form1::OptionList_Validate);
}

} // namespace sonavue
