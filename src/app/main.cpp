// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Sonavue: a music player for music kept as files in folders.
#include "app/mprisplayer.h"
#include "app/programicon.h"
#include "app/quitsignals.h"
#include "app/remoteclient.h"
#include "app/remoteverbs.h"
#include "app/selfcheck.h"
#include "app/singleinstance.h"
#include "app/tracknotifier.h"
#include "base/nativepath.h"
#include "base/report.h"
#include "base/settings.h"
#include "base/settingslocation.h"
#include "base/version.h"
#include "catalogue/externalfiles.h"
#include "catalogue/playlistfile.h"
#include "ui/startup.h"
#include "web/webenginesetup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>

namespace {

// Names each file that was not added on standard error; true when all were.
bool reportFileAnswers(const QStringList& paths, const QStringList& answers) {
    bool allAdded = true;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString why =
            i < answers.size()
                ? answers[i]
                : QStringLiteral("the running player did not answer in time; it may still add it");
        if (!why.isEmpty()) {
            sonavue::reportRefusal(paths[i], why);
            allAdded = false;
        }
    }
    return allAdded;
}

// Remote commands of later starts go to the player once the start-up has made it.
sonavue::SingleInstance::CommandHandler remoteCommandsTo(const sonavue::StartedProgram& program) {
    return [&program](const sonavue::RemoteCommand& command) {
        if (!program.core) {
            sonavue::RemoteAnswer starting;
            starting.refusal = QStringLiteral("the player is still starting; try again when its "
                                              "window shows");
            return starting;
        }
        return sonavue::carryOutRemoteCommand(*program.core, command);
    };
}

} // namespace

int main(int argc, char* argv[]) {
    // File names keep their bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << sonavue::pathFromNative(QByteArray(argv[i]));
    if (const std::optional<int> status =
            sonavue::answerWithoutWindows(arguments, QString::fromLatin1(sonavue::VersionText)))
        return *status;
    const sonavue::CommandLine line = sonavue::readCommandLine(arguments);
    const sonavue::SocketPlace socket = sonavue::defaultSocketPlace();
    // A remote command is handed to the running player; it never becomes a player itself.
    if (line.request == sonavue::CommandLine::Request::Remote) {
        QCoreApplication app(argc, argv);
        return sonavue::runRemoteCommand(line.remote, socket);
    }
    // Files named on the command line ("Open with") go to the reserved list.
    QStringList files;
    for (const QString& file : line.files)
        files << sonavue::absoluteArgumentPath(file);

    sonavue::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sonavue"));
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(sonavue::DesktopId));
    QApplication::setWindowIcon(sonavue::programIcon());

    // Ending the session or the terminal closes the window as Ctrl+Q does, at any moment:
    // a signal that comes before the window exists closes it as soon as it does.
    sonavue::MainWindow* window = nullptr;
    bool quitRequested = false;
    sonavue::QuitSignals quitSignals([&window, &quitRequested] {
        quitRequested = true;
        if (window)
            window->close();
    });

    // One player per user: a second start brings the running one's window to the front
    // and hands it its files.
    sonavue::StartedProgram program;
    sonavue::SingleInstance instance(socket.path);
    if (!socket.problem.isEmpty())
        sonavue::reportLine(socket.problem + QStringLiteral("; this player runs alone, and a "
                                                            "second start opens a second one"));
    instance.setFileHandler([&program](const QStringList& paths) {
        // The start that sent them names the refused ones on its own standard error.
        if (!program.mainWindow)
            return QStringList(paths.size(), QStringLiteral("the player is still starting; "
                                                            "try again when its window shows"));
        const QStringList answers = program.mainWindow->core().transport().openFiles(paths);
        for (qsizetype i = 0; i < answers.size(); ++i)
            if (answers[i].isEmpty())
                sonavue::reportLine(
                    (sonavue::playlistFormatOf(paths[i])
                         ? QStringLiteral("shown as the track list by a second start: ")
                         : QStringLiteral("added to the reserved list by a second start: ")) +
                    sonavue::oneLineText(paths[i]));
        return answers;
    });
    instance.setCommandHandler(remoteCommandsTo(program));
    if (instance.start(files) == sonavue::SingleInstance::Role::HandedOver)
        return reportFileAnswers(files, instance.fileAnswers()) ? 0 : 1;
    // Writes of an earlier run that were killed mid-way left temporary files; their
    // writers are gone now.
    sonavue::removeLeftoverSettingsWrites(sonavue::programName());
    QObject::connect(&instance, &sonavue::SingleInstance::raiseRequested, &app, [&program] {
        sonavue::reportLine(QStringLiteral("raised by a second start"));
        // During the start-up the window is not shown yet; it is shown when that ends.
        if (program.mainWindow)
            sonavue::raiseWindow(*program.mainWindow);
    });

    // The settings file is named after this executable: a renamed copy keeps its own.
    sonavue::StartOptions options;
    options.window.appName = sonavue::programName();
    program = sonavue::startProgram(std::move(options), [&](sonavue::MainWindow& form) {
        window = &form;
        // From its close on, the window is not raised for a later start: that start
        // becomes the player.
        sonavue::stopListeningWhenClosed(instance, form);
        if (quitRequested)
            form.close();
    });
    if (program.ended)
        return 0; // the window unloaded during the start-up
    QObject::connect(program.mainWindow.get(), &sonavue::MainWindow::unloaded, &app,
                     &QCoreApplication::quit);
    reportFileAnswers(files, program.mainWindow->core().transport().openFiles(files));
    // Desktop media controls; without a session bus the player runs on without them.
    sonavue::MainWindow& form = *program.mainWindow;
    sonavue::MprisPlayer mpris(
        *program.core, {[&form] { sonavue::raiseWindow(form); }, [&form] { form.close(); }});
    mpris.registerOn(QDBusConnection::sessionBus());
    const sonavue::ProgramSettings settings(sonavue::programName());
    const std::unique_ptr<sonavue::TrackNotifier> notifier =
        sonavue::notifyTrackStarts(mpris, settings, QDBusConnection::sessionBus());
    form.optInSettings().takeAtOnce(sonavue::Setting::Notify, [&settings, &notifier] {
        notifier->setEnabled(sonavue::Setting::Notify.read(settings) == 1);
    });
    return app.exec();
}
