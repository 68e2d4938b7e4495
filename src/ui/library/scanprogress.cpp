// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/scanprogress.h"

#include "ui/library/findfield.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace sonavue {

ScanProgress::ScanProgress(QProgressBar& folders, QProgressBar& files, BrowsingModel& browsing,
                           GroupLists& groups, FindField& find)
    : m_folders(folders), m_files(files), m_browsing(browsing), m_groups(groups), m_find(find) {}

void ScanProgress::letEventsRun() {
    // The first pause of the scan and the first once tags are read always run events.
    if (m_eventsRun.isValid() && m_eventsRun.elapsed() < EventsIntervalMs)
        return;
    m_eventsRun.start();
    showProgress(false);
    showNewGroupValues();
    QCoreApplication::processEvents();
}

void ScanProgress::selectFirstFolder() {
    m_find.keepOpenThrough([this] { m_browsing.selectGroupEntry(GroupFolder, 0); });
}

void ScanProgress::readingStarted(int folderCount) {
    m_eventsRun.invalidate();
    m_folders.setMaximum(std::max(folderCount, 1));
    m_folders.show();
    m_files.show();
}

void ScanProgress::folderStarted(int, int fileCount) {
    m_filesMaximum = fileCount + 1;
    m_filesDone = 0;
}

void ScanProgress::readingFinished() {
    showProgress(true);
    m_folders.hide();
    m_files.hide();
}

void ScanProgress::showNewGroupValues() {
    if (m_listsShown.isValid() && m_listsShown.elapsed() < ListIntervalMs)
        return;
    m_listsShown.start();
    for (int i = 0; i < GroupCount; ++i)
        m_groups[i].publishPending();
}

void ScanProgress::showProgress(bool now) {
    if (!now && m_shown.isValid() && m_shown.elapsed() < ProgressIntervalMs)
        return;
    m_shown.start();
    m_files.setMaximum(m_filesMaximum);
    m_files.setValue(m_filesDone);
    m_folders.setValue(m_foldersDone);
}

} // namespace sonavue
