// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "programfolder.h"

#include "processrun.h"

#include <QDir>
#include <QFile>

namespace sonavue::testing {

bool copyProgramFolder(const QString& folder, const QString& playerName) {
    return QDir().mkpath(folder) &&
           QFile::copy(builtProgram(QStringLiteral("Sonavue")), folder + u'/' + playerName) &&
           QFile::copy(builtProgram(QStringLiteral("index.htm")),
                       folder + QStringLiteral("/index.htm"));
}

bool makeRuntimeFolder(const QString& folder) {
    return QDir().mkpath(folder) &&
           QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
}

} // namespace sonavue::testing
