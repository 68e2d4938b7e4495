// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "realprogram.h"

#include "../programcopy.h"

#include "base/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace sonavue::bench {

RealProgram::RealProgram(const QString& builtProgram) {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    const QString folder = m_dir.filePath(QStringLiteral("program"));
    m_program = folder + QStringLiteral("/Sonavue");
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    if (!copyProgramFolder(builtProgram, folder) || !QDir().mkpath(runtime) ||
        !QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner)) {
        m_error = QStringLiteral("cannot copy %1, its index.htm and web panel to %2")
                      .arg(builtProgram, folder);
        return;
    }
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                         m_dir.filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), cacheFolder());
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
}

QString RealProgram::cacheFolder() const {
    return m_dir.filePath(QStringLiteral("cache"));
}

bool RealProgram::setSetting(const QString& key, const QString& value) {
    return m_error.isEmpty() &&
           writeIniValue(QFileInfo(m_program).absolutePath() + QStringLiteral("/Sonavue.ini"),
                         QStringLiteral("init"), key, value);
}

RealRun RealProgram::timeStart(XWindowWatch& watch, int timeoutMs) {
    RealRun run;
    if (!m_error.isEmpty()) {
        run.error = m_error;
        return run;
    }
    QProcess player;
    player.setProcessEnvironment(m_environment);
    player.setStandardOutputFile(QProcess::nullDevice());
    // Its diagnostics would bury the figures: kept in a file, shown only when the run fails.
    const QString said = m_dir.filePath(QStringLiteral("stderr.txt"));
    player.setStandardErrorFile(said);
    QElapsedTimer clock;
    clock.start();
    player.start(m_program, {});
    if (!player.waitForStarted(10000)) {
        run.error = player.errorString();
        return run;
    }
    const XWindowWatch::Seen seen =
        watch.waitForWindow(player.processId(), QByteArrayLiteral("Sonavue"), clock, timeoutMs);
    run.mapped = seen.mapped;
    run.painted = seen.painted;
    player.terminate();
    if (!player.waitForFinished(30000)) {
        player.kill();
        player.waitForFinished();
        run.error = QStringLiteral("did not end on SIGTERM");
    } else if (player.exitStatus() != QProcess::NormalExit || player.exitCode() != 0) {
        run.error = QStringLiteral("ended with status %1").arg(player.exitCode());
    }
    if (run.painted < 0 && run.error.isEmpty())
        run.error = run.mapped < 0 ? QStringLiteral("its window was not seen mapped")
                                   : QStringLiteral("its window was not seen painted");
    QFile saidFile(said);
    if (!run.error.isEmpty() && saidFile.open(QIODevice::ReadOnly))
        run.error += QStringLiteral("; its standard error:\n") +
                     QString::fromLocal8Bit(saidFile.readAll().right(4000));
    return run;
}

} // namespace sonavue::bench
