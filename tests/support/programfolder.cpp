// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "programfolder.h"

#include "processrun.h"

#include <QDir>
#include <QFile>

namespace sonavue::testing {

bool copyProgramFolder(const QString& folder, const QString& playerName) {
    if (!QDir().mkpath(folder) ||
        !QFile::copy(builtProgram(QStringLiteral("Sonavue")), folder + u'/' + playerName))
        return false;
    for (const QString& file : {QStringLiteral("index.htm"), QStringLiteral("sonavue-webpanel.so")})
        if (!QFile::copy(builtProgram(file), folder + u'/' + file))
            return false;
    return true;
}

bool makeRuntimeFolder(const QString& folder) {
    return QDir().mkpath(folder) &&
           QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
}

} // namespace sonavue::testing
