// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The entry procedure: builds the core, the main window and the splash, restores
// the music folder and every setting through the controls' own handling, and shows the
// main window.
#include "ui/mainwindow/mainwindow.h"
#include <functional>
#include <memory>

namespace sonavue {

class SplashCard;

// What the start-up is given: the window's options and the core's (tests pass a media
// double there).
struct StartOptions {
    MainWindow::Options window;
    PlayerCore::Options core;
};

// The program as the start-up made it: the core, and the window over it (which goes first).
struct StartedProgram {
    std::unique_ptr<PlayerCore> core;
    std::unique_ptr<MainWindow> mainWindow;
    // The window unloaded during the start-up (closed from one of the scan's pauses, or by
    // a quit signal): the start-up stopped there, showed nothing more and wrote nothing
    // beyond what the unload wrote. The program ends.
    bool ended = false;
};

// Runs the start-up: makes the core and the main window over it. windowMade runs as soon as
// the window exists, before the splash and the scan: the caller may close it from then on.
StartedProgram startProgram(StartOptions options = {},
                            const std::function<void(MainWindow&)>& windowMade = {});

} // namespace sonavue
