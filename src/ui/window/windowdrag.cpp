// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/windowdrag.h"

#include "ui/window/x11pointer.h"

#include <QWidget>
#include <QWindow>

namespace sonavue {
namespace {
// How often the button is asked for while the window manager moves the window, and how long
// the window's moves must have been quiet after the release before the move counts as done.
constexpr int WatchMs = 40;
constexpr int SettleMs = 150;
} // namespace

WindowDrag::WindowDrag(QWidget& window) : QObject(&window), m_window(window) {
    m_watch.setInterval(WatchMs);
    connect(&m_watch, &QTimer::timeout, this, &WindowDrag::watchSystemMove);
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &WindowDrag::finish);
}

void WindowDrag::arm() {
    m_drag = Drag::Armed;
}

void WindowDrag::start(QPoint pressGlobal, QPoint global) {
    if (m_drag != Drag::Armed)
        return;
    emit started();
    // The window manager moves the window from where the button went down, so the grabbed
    // point stays under the pointer; it keeps the button's release to itself.
    QWindow* handle = m_window.windowHandle();
    if (handle && (startWindowManagerMove(*handle, pressGlobal) || handle->startSystemMove())) {
        m_drag = Drag::System;
        m_watch.start();
        return;
    }
    // No system move (no window manager): the window follows the pointer itself.
    m_drag = Drag::Manual;
    m_dragOffset = pressGlobal - m_window.frameGeometry().topLeft();
    m_window.move(global - m_dragOffset);
}

void WindowDrag::moveTo(QPoint global) {
    if (m_drag == Drag::Manual)
        m_window.move(global - m_dragOffset);
}

void WindowDrag::release(Qt::MouseButton button) {
    if (m_drag == Drag::Armed)
        m_drag = Drag::None; // a click, not a drag
    else if (m_drag == Drag::Manual && button == Qt::LeftButton)
        finish();
    else if (m_drag == Drag::System && button == Qt::LeftButton)
        m_settle.start(); // some window managers hand the release back
}

void WindowDrag::cancel() {
    m_drag = Drag::None;
}

void WindowDrag::windowMoved() {
    if (m_settle.isActive())
        m_settle.start(); // not settled yet
}

void WindowDrag::watchSystemMove() {
    if (m_drag != Drag::System) {
        m_watch.stop();
        return;
    }
    // Where the display server cannot tell, the moves settling is all there is to go by.
    const std::optional<bool> held = primaryButtonHeld();
    if (held.value_or(false))
        return;
    m_watch.stop();
    if (!m_settle.isActive())
        m_settle.start();
}

void WindowDrag::finish() {
    if (m_drag == Drag::None || m_drag == Drag::Armed)
        return;
    m_drag = Drag::None;
    m_watch.stop();
    emit finished();
}

} // namespace sonavue
