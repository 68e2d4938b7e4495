// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "processrun.h"

#include <QProcess>

namespace sonavue::testing {

ProcessRun runProcess(const QString& program, const QStringList& arguments, int timeoutMs,
                      const QProcessEnvironment& environment, const QString& workingFolder) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString builtProgram(const QString& name) {
    return qEnvironmentVariable("SONAVUE_BUILD_DIR") + QLatin1Char('/') + name;
}

} // namespace sonavue::testing
