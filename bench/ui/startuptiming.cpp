// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "startuptiming.h"

#include "startupchild.h"
#include <QElapsedTimer>
#include <QProcess>

namespace sonavue::bench {

StartupRun timeStartup(const QString& program, const QString& appName, bool withWeb,
                       bool realMedia) {
    StartupRun run;
    QProcess child;
    // Its diagnostics (web engine set-up, root warnings) would bury the figures: kept,
    // and shown only when the run fails.
    child.setReadChannel(QProcess::StandardOutput);
    QStringList arguments{QString::fromLatin1(StartupChildFlag), appName};
    if (withWeb)
        arguments << QStringLiteral("web");
    if (realMedia)
        arguments << QStringLiteral("gst");

    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    // Blocking waits: each line is stamped as soon as it can be read.
    while (run.toPainted < 0) {
        if (!child.canReadLine() && !child.waitForReadyRead(60000))
            break;
        while (child.canReadLine()) {
            const double at = double(clock.nsecsElapsed()) * 1e-9;
            const QByteArray line = child.readLine().trimmed();
            if (line == "main")
                run.toMain = at;
            else if (line == "app")
                run.toApp = at;
            else if (line == "made")
                run.toMade = at;
            else if (line == "scanned")
                run.toScanned = at;
            else if (line.startsWith("shown ")) {
                run.toShown = at;
                run.tracks = line.mid(6).toInt();
            } else if (line == "painted")
                run.toPainted = at;
        }
    }
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
    }
    if (run.toShown < 0)
        run.error = QStringLiteral("the child did not report the window shown (exit %1, %2)")
                        .arg(child.exitCode())
                        .arg(child.errorString());
    else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        run.error = QStringLiteral("the child ended with code %1").arg(child.exitCode());
    if (!run.error.isEmpty())
        run.error += QStringLiteral("; its standard error:\n") +
                     QString::fromLocal8Bit(child.readAllStandardError());
    return run;
}

} // namespace sonavue::bench
