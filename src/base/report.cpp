// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/report.h"

#include <cstdio>

namespace sonavue {

void reportLine(const QString& text) {
    const QByteArray line = (QStringLiteral("sonavue: ") + text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace sonavue
