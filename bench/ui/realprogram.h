// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The real program as a user starts it: this build's Sonavue copied into a program folder of
// its own (its settings file beside it), with a private HOME, XDG folders and runtime folder,
// on the X server of DISPLAY (QT_QPA_PLATFORM=xcb).
#include "xwindowwatch.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace sonavue::bench {

struct RealRun {
    QString error;      // empty when the window was mapped and painted
    double mapped = -1; // seconds from the exec to the main window's MapNotify
    double painted = -1;
};

class RealProgram {
public:
    // builtProgram: the Sonavue executable of this build (its index.htm lies beside it).
    explicit RealProgram(const QString& builtProgram);

    QString error() const { return m_error; } // empty when the copy is ready
    bool setSetting(const QString& key, const QString& value);
    QString cacheFolder() const; // the private XDG_CACHE_HOME

    // One start, timed from just before the exec; once the window is painted (or after
    // timeoutMs) the program is asked to quit as a desktop asks it (SIGTERM), and waited for.
    RealRun timeStart(XWindowWatch& watch, int timeoutMs = 60000);

private:
    QTemporaryDir m_dir;
    QString m_program;
    QProcessEnvironment m_environment;
    QString m_error;
};

} // namespace sonavue::bench
