// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window in this process on a large library: the event loop's longest pause
// during the start-up scan, then the track-list fills a user's clicks raise.
#include "scanpauses.h"
#include <QString>
#include <vector>

namespace sonavue::bench {

struct FillRuns {
    std::vector<double> ms; // each: the call until it returns, plus one processEvents
    std::vector<int> rows;  // the track list's rows after each
    // Each: the call until the track list's next paint has been handled (-1: none within
    // a second), for comparison; the one processEvents may end before that paint.
    std::vector<double> paintedMs;
};

struct WindowFigures {
    QString error;
    int tracks = 0;
    int folders = 0, albums = 0, artists = 0;
    double startupS = 0;    // startProgram, in this process (window built, scan, shown)
    ScanPauses startupScan; // from the scan's first yield
    ScanPauses rescan;      // the same folder chosen again: from the call
    FillRuns all, artist, album, folder;
};

// Runs startProgram with folder as the stored music folder (written to appName's settings
// first), then each fill runs times on entries spread over the group lists, then scans
// the folder again as choosing it anew does.
WindowFigures measureWindow(const QString& appName, const QString& folder, int runs);

} // namespace sonavue::bench
