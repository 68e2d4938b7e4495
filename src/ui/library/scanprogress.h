// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the window shows while a scan runs: the folder and file bars, and the group lists'
// new entries, at the scan's pauses. The bars show the latest progress at most every
// ProgressIntervalMs: QProgressBar::setValue repaints at once whenever the bar visibly
// changes, which for a visible window cost a repaint of the translucent window per file read.
// Events run at the scan's pauses at most every EventsIntervalMs: a turn of the event loop
// costs microseconds (more on X than offscreen), and 100,000 tracks in 10,000 folders make
// 31,000 pauses; the splash's 50 ms fade ticks still run within a few ms of their time.
#include "catalogue/browsingmodel.h"
#include "catalogue/folderscan.h"

#include <QElapsedTimer>

class QProgressBar;

namespace sonavue {

class FindField;

class ScanProgress : public ScanObserver {
public:
    static constexpr int EventsIntervalMs = 8;
    static constexpr int ProgressIntervalMs = 50;
    static constexpr int ListIntervalMs = 200;
    // An open find stays open through the scan's refill of the track list.
    ScanProgress(QProgressBar& folders, QProgressBar& files, BrowsingModel& browsing,
                 GroupLists& groups, FindField& find);

    void letEventsRun() override;
    void selectFirstFolder() override;
    void readingStarted(int folderCount) override;
    void folderStarted(int, int fileCount) override;
    void fileRead(int fileIndex) override { m_filesDone = fileIndex; }
    void folderRead(int index) override { m_foldersDone = index; }
    void readingFinished() override;

private:
    // The group lists defer what the scan adds: a shown list view lays its whole list out
    // again after every change, so the lists show their new values a few times a second
    // rather than at every pause.
    void showNewGroupValues();
    void showProgress(bool now);

    QProgressBar& m_folders;
    QProgressBar& m_files;
    BrowsingModel& m_browsing;
    GroupLists& m_groups;
    FindField& m_find;
    QElapsedTimer m_eventsRun;
    QElapsedTimer m_shown;
    QElapsedTimer m_listsShown;
    int m_filesMaximum = 1, m_filesDone = 0, m_foldersDone = 0;
};

} // namespace sonavue
