// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "programcopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sonavue::bench {

bool copyProgramFolder(const QString& builtProgram, const QString& folder) {
    if (!QDir().mkpath(folder) || !QFile::copy(builtProgram, folder + QStringLiteral("/Sonavue")))
        return false;
    const QString builtFolder = QFileInfo(builtProgram).absolutePath();
    for (const QString& file : {QStringLiteral("index.htm"), QStringLiteral("sonavue-webpanel.so")})
        if (!QFile::copy(builtFolder + u'/' + file, folder + u'/' + file))
            return false;
    return true;
}

} // namespace sonavue::bench
