// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/programicon.h"

#include <QDir>
#include <QFileInfo>

namespace sonavue {

QIcon programIcon() {
    // The build stores each rendered size as <pixels>.png; whatever sizes it made are used.
    const QDir folder(QStringLiteral(":/sonavue/icons"));
    QIcon icon;
    for (const QString& name : folder.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const int pixels = QFileInfo(name).baseName().toInt();
        if (pixels > 0)
            icon.addFile(folder.filePath(name), QSize(pixels, pixels));
    }
    return icon;
}

} // namespace sonavue
