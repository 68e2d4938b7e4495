// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Pictures a test leaves for people to look at: <build folder>/artifacts/<name> (the
// temporary folder's when no build folder is named).
#include <QDir>
#include <QString>

namespace sonavue::testing {

inline QString artifactPath(const QString& name) {
    const QString folder =
        qEnvironmentVariable("SONAVUE_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/artifacts");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

} // namespace sonavue::testing
