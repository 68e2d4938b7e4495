// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "startupchild.h"

#include "paintwatch.h"
#include "silentmedia.h"
#include "ui/startup.h"
#include "web/webenginesetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

namespace sonavue::bench {
namespace {

void say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int runStartupChild(int argc, char** argv) {
    say("main");
    int flagAt = 1;
    while (flagAt < argc && std::strcmp(argv[flagAt], StartupChildFlag) != 0)
        ++flagAt;
    if (flagAt + 1 >= argc)
        return 2;
    const QString appName = QString::fromLocal8Bit(argv[flagAt + 1]);
    bool withWeb = false;
    bool realMedia = false;
    for (int i = flagAt + 2; i < argc; ++i) {
        withWeb = withWeb || std::strcmp(argv[i], "web") == 0;
        realMedia = realMedia || std::strcmp(argv[i], "gst") == 0;
    }

    // As the program's own main does it, but under this executable's name, so that the web
    // engine keeps its data apart from the program's.
    prepareWebEngine();
    QApplication app(argc, argv);
    say("app");

    StartOptions options;
    options.window.appName = appName;
    if (!realMedia)
        options.core.media = std::make_unique<SilentMedia>();
    options.window.withWebPanel = withWeb;
    QObject stampOwner; // the connection ends with startProgram's caller, not with the window
    StartedProgram program = startProgram(std::move(options), [&stampOwner](MainWindow& form) {
        say("made");
        QObject::connect(
            &form, &MainWindow::scanFinished, &stampOwner, [] { say("scanned"); },
            Qt::SingleShotConnection);
    });
    const QByteArray shown =
        "shown " + QByteArray::number(program.mainWindow->core().catalogue().rowCount());
    say(shown.constData());

    PaintWatch watch;
    program.mainWindow->installEventFilter(&watch);
    QElapsedTimer waited;
    waited.start();
    // A cold start may still be loading fonts and the web engine's pieces.
    while (!watch.painted && waited.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (watch.painted)
        say("painted");
    program.mainWindow->removeEventFilter(&watch);
    return 0;
}

} // namespace sonavue::bench
