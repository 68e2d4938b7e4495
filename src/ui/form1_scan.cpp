// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's side of the folder scan: the music folder, the file types, the progress.
#include "ui/form1.h"

#include "tags/containertags.h"
#include "ui/scanprogress.h"
#include "ui/settingsframe.h"

#include <QProgressBar>

namespace sonavue {

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
    ScanProgress progress(*ui.Progress1, *ui.Progress2, m_core.browsing(), m_core.groups());
    BrowsingModel& browsing = m_core.browsing();
    const FolderScan::Result result =
        m_core.scan().run(m_musicFolder, browsing.folderPrefix(), browsing.filePattern(), progress);
    // A scan started during one of this scan's pauses has done the rest itself (or the
    // window unloaded and stopped it).
    if (result == FolderScan::Result::Superseded)
        return;
    TabSel_Click(GroupFolder);
    TagGroupe_Click(GroupFolder);
    if (browsing.trackCount() > 0)
        browsing.selectTrack(0);
    emit scanFinished();
}

void Form1::Check1_Click(int) {
    // The opt-in types of the "types" setting are added to what the boxes list.
    m_core.browsing().setFilePattern(FilePattern(
        filePatternFor(ui.Frame1->fileType(0), ui.Frame1->fileType(1), ui.Frame1->fileType(2)) +
        extraTypesPattern(m_core.tagReading().extraTypes)));
}

} // namespace sonavue
