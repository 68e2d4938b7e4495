// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/filedrop.h"

#include "base/fileuri.h"
#include "catalogue/externalfiles.h"
#include "playback/transport.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

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

FileDropTarget::FileDropTarget(QWidget& window, Transport& transport)
    : QObject(&window), m_transport(transport) {
    window.installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != parent())
        return false;
    if (event->type() == QEvent::DragEnter) {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        if (offersFiles(*enter->mimeData()))
            enter->acceptProposedAction();
        else
            enter->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (reserveDroppedFiles(m_transport, *drop->mimeData()))
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    return false;
}

} // namespace sonavue
