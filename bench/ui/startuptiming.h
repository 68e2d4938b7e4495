// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Times one start-up child (see startupchild.h) from the parent's side.
#include <QString>

namespace sonavue::bench {

struct StartupRun {
    QString error;      // empty when the child reported every step
    double toMain = -1; // seconds from QProcess::start to each line's arrival
    double toApp = -1;
    double toMade = -1;    // the main window built
    double toScanned = -1; // the start-up scan finished
    double toShown = -1;
    double toPainted = -1; // -1 when no paint was seen within 15 s
    int tracks = -1;       // catalogue rows after the start-up scan
};

// Starts program with the child flag, appName and, when withWeb, "web" (when realMedia,
// "gst"). The child's standard error is reported only with a failure.
StartupRun timeStartup(const QString& program, const QString& appName, bool withWeb,
                       bool realMedia = false);

} // namespace sonavue::bench
