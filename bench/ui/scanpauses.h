// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The event loop's pauses while the main window scans its music folder.
#include "eventloopgaps.h"
#include <functional>

namespace sonavue::bench {

struct ScanPauses {
    bool finished = false;        // scanFinished arrived while runScan ran
    bool firstTurnInScan = false; // the window's scan was running at the first turn
    double seconds = 0;           // the first recorded turn to scanFinished
    int turns = 0;
    EventLoopGaps::Gap longest;
    double medianPauseMs = 0;
    int pausesOver100Ms = 0;
};

// Records the loop's turns while runScan runs a scan of the main window, until
// scanFinished. fromCall: the call itself counts as a turn (a rescan started from a
// handler keeps the loop from that moment); otherwise recording starts at the first turn,
// which in the start-up is the scan's first yield (the window is built by then).
ScanPauses recordScanPauses(bool fromCall, const std::function<void()>& runScan);

} // namespace sonavue::bench
