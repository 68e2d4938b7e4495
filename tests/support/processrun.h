// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Another program run to its end, as the tests run the player, the catalogue tool and the
// desktop's own tools.
#include <QProcessEnvironment>
#include <QStringList>

namespace sonavue::testing {

struct ProcessRun {
    int exitCode = -1; // -1: it did not end normally within the time
    QByteArray out, err;
};

// Runs program with arguments; one still running after timeoutMs is killed.
ProcessRun
runProcess(const QString& program, const QStringList& arguments, int timeoutMs = 60000,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
           const QString& workingFolder = {});

// A program of this build (SONAVUE_BUILD_DIR): "sonavue-catalogue", "Sonavue", ...
QString builtProgram(const QString& name);

} // namespace sonavue::testing
