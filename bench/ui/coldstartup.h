// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The window's start-up on a 100,000-track library, warm and cold, side by side in one
// run with sonavue-catalogue on the same library: how much longer than the tool's own
// scan the user waits for the window after a reboot; and, warm, the window on an empty music
// folder (the start-up without a scan). Meant for a real X server (run it
// through tests/desktop/run-with-wm.sh); cold needs root to drop the page cache.
#include <QString>

namespace sonavue::bench {

struct ColdStartupOptions {
    QString program;  // this executable, started again as the start-up child
    QString appName;  // the settings the child reads its music folder from
    int coldRuns = 3; // each: caches dropped before the window and before the tool
    int warmRuns = 5; // after one untimed run of each
};

// Prints the table; returns the process exit status (0 also when a target is missed).
int runColdStartup(const ColdStartupOptions& options);

} // namespace sonavue::bench
