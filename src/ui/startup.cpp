// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/startup.h"

#include "base/settingskeys.h"
#include "core/corestart.h"
#include "ui/cards/splashcard.h"
#include "ui/library/musicfolder.h"
#include "ui/settings/appearancecontroller.h"

#include <QCoreApplication>
#include <QPointer>

namespace sonavue {

StartedProgram startProgram(StartOptions options,
                            const std::function<void(MainWindow&)>& windowMade) {
    const ProgramSettings settings(options.window.appName);
    StartedProgram program;
    // After a cold boot the window takes a while to build: the music folder is brought into
    // memory meanwhile, for the scan below.
    program.core = makeWarmingCore(std::move(options.core), settings);
    // The main window, hidden; its load handling runs now.
    program.mainWindow = std::make_unique<MainWindow>(*program.core, std::move(options.window));
    MainWindow& form = *program.mainWindow;
    // Files dropped on the window go to the reserved list.
    form.setAcceptDrops(true);
    // Once the window has unloaded the start-up goes no further: nothing more is shown or
    // written. The watcher ends the connection with this function.
    bool unloaded = false;
    QObject watcher;
    QObject::connect(&form, &MainWindow::unloaded, &watcher, [&unloaded] { unloaded = true; });
    if (windowMade)
        windowMade(form);
    // The splash, not waited for; it deletes itself when its fade ends.
    QPointer<SplashCard> splash;
    const auto end = [&] {
        delete splash.data();
        program.ended = true;
        return std::move(program);
    };
    if (unloaded)
        return end();
    splash = new SplashCard();
    splash->show();
    // The music folder, then its scan (which yields so the splash keeps fading); then the
    // stored colour, track-change option, opacity, file types and font size, each through the
    // control's own handling.
    form.musicFolder().set(acceptedMusicFolder(settings.read(Setting::Folder)));
    if (unloaded || !form.appearance().applyStoredOptions())
        return end();
    // Only then is the main window shown, and the background picture behind it when stored so
    // (an empty value reads as 0, the picture shown).
    form.show();
    form.appearance().applyStoredBackground();
    // Should showing the window or the background let events run, a quit signal there still
    // ends it.
    program.ended = unloaded;
    return program;
}

} // namespace sonavue
