// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "warmcache.h"

#include <QDirIterator>
#include <QFile>

namespace sonavue::bench {

void warmPageCache(const QString& folder) {
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (file.size() > 128)
            file.seek(file.size() - 128);
        file.read(128);
    }
}

} // namespace sonavue::bench
