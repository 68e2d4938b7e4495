// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's side of files that come from outside: the reserved list takes them
// as it takes a double-clicked track, and continuous play starts when nothing plays.
#include "ui/form1.h"

#include "base/fileuri.h"
#include "base/nativepath.h"
#include "catalogue/externalfiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace sonavue {

QStringList Form1::reserveExternalFiles(const QStringList& paths) {
    return m_core.transport().openFiles(paths);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    QStringList paths;
    for (const QUrl& url : urls) {
        if (const std::optional<QString> path = pathOfFileUri(url))
            paths << *path;
        else
            reportRefusal(url.toDisplayString(), QStringLiteral("not a local file"));
    }
    const QStringList answers = reserveExternalFiles(paths);
    bool anyAdded = false;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        if (answers[i].isEmpty())
            anyAdded = true;
        else
            reportRefusal(paths[i], answers[i]);
    }
    if (anyAdded)
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace sonavue
