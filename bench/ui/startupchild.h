// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The start-up as the program runs it, in a process of its own: the benchmark starts
// this executable again with StartupChildFlag and times the lines it prints.
#include <QString>

namespace sonavue::bench {

inline constexpr char StartupChildFlag[] = "--startup-child";

// Lines the child prints (each flushed at once):
//   "main"            main() entered (the executable and its libraries are loaded)
//   "app"             the QApplication exists
//   "made"            the main window is built (before the splash and the scan)
//   "scanned"         the start-up scan finished
//   "shown <tracks>"  startProgram returned: the window is shown, the start-up scan is done
//   "painted"         the window's first paint event has been handled
// Arguments after the flag: <appName>, then in any order "web" (with the web panel) and
// "gst" (the GStreamer media element instead of a silent one), as the program runs.
int runStartupChild(int argc, char** argv);

} // namespace sonavue::bench
