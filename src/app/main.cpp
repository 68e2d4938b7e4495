// Sonavue: a music player for music kept as files in folders.
#include "app/mprisplayer.h"
#include "app/quitsignals.h"
#include "app/selfcheck.h"
#include "app/settings.h"
#include "app/settingslocation.h"
#include "app/singleinstance.h"
#include "ui/startup.h"
#include "web/webpanel.h"

#include <QApplication>
#include <QDBusConnection>
#include <cstdio>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status =
            sonavue::answerWithoutWindows(arguments, QStringLiteral(SONAVUE_VERSION)))
        return *status;

    sonavue::prepareWebEngineForUser();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sonavue"));
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("sonavue"));

    // Ending the session or the terminal closes the window as Ctrl+Q does, at any moment:
    // a signal that comes before the window exists closes it as soon as it does.
    sonavue::Form1* window = nullptr;
    bool quitRequested = false;
    sonavue::QuitSignals quitSignals([&window, &quitRequested] {
        quitRequested = true;
        if (window)
            window->close();
    });

    // One player per user: a second start brings the running one's window to the front.
    sonavue::SingleInstance instance;
    if (instance.start() == sonavue::SingleInstance::Role::HandedOver)
        return 0;
    // Writes of an earlier run that were killed mid-way left temporary files; their
    // writers are gone now.
    sonavue::removeLeftoverSettingsWrites(sonavue::programName());
    sonavue::StartedProgram program;
    QObject::connect(&instance, &sonavue::SingleInstance::raiseRequested, &app, [&program] {
        std::fputs("Sonavue: raised by a second start\n", stderr);
        // During the start-up the window is not shown yet; it is shown when that ends.
        if (program.mainWindow)
            sonavue::raiseWindow(*program.mainWindow);
    });

    // The settings file is named after this executable: a renamed copy keeps its own.
    sonavue::Form1::Options options;
    options.appName = sonavue::programName();
    program = sonavue::Main(std::move(options), [&](sonavue::Form1& form) {
        window = &form;
        // From its close on, the window is not raised for a later start: that start
        // becomes the player.
        sonavue::stopListeningWhenClosed(instance, form);
        if (quitRequested)
            form.close();
    });
    if (program.ended)
        return 0; // the window unloaded during the start-up
    QObject::connect(program.mainWindow.get(), &sonavue::Form1::unloaded, &app,
                     &QCoreApplication::quit);
    // Desktop media controls; without a session bus the player runs on without them.
    sonavue::MprisPlayer mpris(*program.mainWindow);
    mpris.registerOn(QDBusConnection::sessionBus());
    return app.exec();
}
