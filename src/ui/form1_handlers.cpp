// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's handlers: group tabs and lists, the track list, the reserved list, the
// music folder and its scan. What they hold and select is the browsing model's.
#include "ui/form1.h"

#include "tags/containertags.h"
#include "ui/appearancecontroller.h"
#include "ui/findfield.h"
#include "ui/grouppages.h"
#include "ui/reservedlistview.h"
#include "ui/scanprogress.h"
#include "ui/settingsframe.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace sonavue {

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

void Form1::ListName_MouseDown() {
    if (const std::optional<int> row = m_core.browsing().selectedRow())
        m_cards.showTag(m_core.browsing().rowPath(*row));
}

void Form1::ListName_DblClick() {
    // A gesture whose row is not (or no longer) in the catalogue is ignored.
    BrowsingModel& browsing = m_core.browsing();
    const std::optional<int> row = browsing.selectedRow();
    if (row && browsing.reserved().append(browsing.rowPath(*row)))
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

void Form1::Picture2_MouseUp(Qt::MouseButton button, int x, int y) {
    m_appearance->Picture2_MouseUp(button, x, y);
}

void Form1::Command2_Click() {
    const std::optional<QString> chosen = askForMusicFolder(
        this, ui.Frame1->folderText(), m_options.folderDialog, m_options.showMessage);
    if (!chosen)
        return;
    setMusicFolder(*chosen);
    if (!m_unloaded) // the unload wrote the last settings of this run
        m_settings.write(Setting::Folder, ui.Frame1->folderText());
}

void Form1::setMusicFolder(const QString& folder) {
    ui.Frame1->setFolderText(folder);
    m_core.browsing().setFolderPrefix(folderPrefixFor(folder));
    m_musicFolder = folder;
    Dir2_Change();
}

void Form1::Dir2_Change() {
    // The program is ending: no scan runs after the window has unloaded.
    if (m_unloaded)
        return;
    // The walk shows no bars, also when this scan replaces one that was reading tags (its
    // own reading shows and hides them again; a folder without music never shows them).
    ui.Progress1->hide();
    ui.Progress2->hide();
    ScanProgress progress(*ui.Progress1, *ui.Progress2, m_core.browsing(), m_core.groups(),
                          *ui.find);
    BrowsingModel& browsing = m_core.browsing();
    const FolderScan::Result result =
        m_core.scan().run(m_musicFolder, browsing.folderPrefix(), browsing.filePattern(), progress);
    // A scan started during one of this scan's pauses has done the rest itself (or the
    // window unloaded and stopped it).
    if (result == FolderScan::Result::Superseded)
        return;
    ui.find->keepOpenThrough([this, &browsing] {
        TabSel_Click(GroupFolder);
        TagGroupe_Click(GroupFolder);
        if (browsing.trackCount() > 0)
            browsing.selectTrack(0);
    });
    emit scanFinished();
}

void Form1::Check1_Click(int) {
    // The opt-in types of the "types" setting are added to what the boxes list.
    m_core.browsing().setFilePattern(FilePattern(
        filePatternFor(ui.Frame1->fileType(0), ui.Frame1->fileType(1), ui.Frame1->fileType(2)) +
        extraTypesPattern(m_core.tagReading().extraTypes)));
}

} // namespace sonavue
