// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The start-up as users see it: the real Sonavue on a real X server (run this through
// tests/desktop/run-with-wm.sh), from the exec to its main window mapped and painted, beside
// the start-up child under the offscreen platform and sonavue-catalogue's scan of the same
// library in the same round. Points: an empty music folder and a 100,000-track library,
// without the kept library and with it (keeplibrary=1, a later start: the store already
// written), with a warm page cache and, as root, a dropped one.
#include <QString>

namespace sonavue::bench {

struct XStartupOptions {
    QString program;     // this executable, started again as the start-up child
    QString appName;     // the settings the child reads
    QString realProgram; // the built Sonavue
    int runs = 5;        // warm rounds per point, after one untimed round
    int coldRuns = 3;    // rounds with the page cache dropped before each start (0: none)
};

// Prints the figures and the targets; returns the process exit status (0 also when a target
// is missed).
int runXStartup(const XStartupOptions& options);

} // namespace sonavue::bench
