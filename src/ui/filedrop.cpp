// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/filedrop.h"

#include "base/fileuri.h"
#include "catalogue/externalfiles.h"
#include "playback/transport.h"

#include <QMimeData>
#include <QUrl>

namespace sonavue {

bool offersFiles(const QMimeData& data) {
    return data.hasUrls();
}

bool reserveDroppedFiles(Transport& transport, const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (const std::optional<QString> path = pathOfFileUri(url))
            paths << *path;
        else
            reportRefusal(url.toDisplayString(), QStringLiteral("not a local file"));
    }
    const QStringList answers = transport.openFiles(paths);
    bool anyAdded = false;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        if (answers[i].isEmpty())
            anyAdded = true;
        else
            reportRefusal(paths[i], answers[i]);
    }
    return anyAdded;
}

} // namespace sonavue
