#pragma once
// The main window in this process on a large library: the event loop's longest pause
// during the start-up scan, then the track-list fills a user's clicks raise.
#include "eventloopgaps.h"
#include <QString>
#include <vector>

namespace sonavue::bench {

struct FillRuns {
    std::vector<double> ms; // each: the call until it returns, plus one processEvents
    std::vector<int> rows;  // the track list's rows after each
};

struct WindowFigures {
    QString error;
    int tracks = 0;
    int folders = 0, albums = 0, artists = 0;
    double startupS = 0; // Main, in this process (window built, scan, shown)
    double scanS = 0;    // the scan's first yield to scanFinished
    int scanTurns = 0;   // event-loop turns during the scan
    EventLoopGaps::Gap longestGap;
    double medianGapMs = 0;
    int gapsOver100Ms = 0;
    bool firstTurnInScan = false;
    FillRuns all, artist, album, folder;
};

// Runs Main with folder as the stored music folder (written to appName's settings
// first), then each fill runs times on entries spread over the group lists.
WindowFigures measureWindow(const QString& appName, const QString& folder, int runs);

} // namespace sonavue::bench
