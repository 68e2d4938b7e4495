// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's side of files that come from outside: the reserved list takes them
// as it takes a double-clicked track, and continuous play starts when nothing plays.
#include "ui/form1.h"

#include "ui/filedrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>

namespace sonavue {

QStringList Form1::reserveExternalFiles(const QStringList& paths) {
    return m_core.transport().openFiles(paths);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (offersFiles(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void Form1::dropEvent(QDropEvent* event) {
    if (reserveDroppedFiles(m_core.transport(), *event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace sonavue
