// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/layoutswitch.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace sonavue {

bool staysOnTop(const QWidget& window) {
    return window.windowFlags() & Qt::WindowStaysOnTopHint;
}

void setStaysOnTop(QWidget& window, bool on) {
    if (staysOnTop(window) == on)
        return;
    window.overrideWindowFlags(window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, on));
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(window.windowFlags());
}

LayoutSwitch::LayoutSwitch(QWidget& window, QList<QWidget*> hidden, std::function<void()> shown)
    : m_window(window), m_hidden(std::move(hidden)), m_shown(std::move(shown)) {}

void LayoutSwitch::toggle() {
    // A minimized window has no layout to switch.
    if (m_window.windowState() & Qt::WindowMinimized)
        return;
    m_large = !m_large;
    if (m_large) {
        m_normalGeometry = m_window.geometry();
        // To the screen's corner first: a window manager then maximizes the window there, and
        // without one (nothing maximizes) the large layout still starts at the corner. Moving
        // a window that is already maximized would make some window managers restore it.
        m_window.move(0, 0);
    }
    m_window.setWindowState(m_large ? Qt::WindowMaximized : Qt::WindowNoState);
    for (QWidget* control : m_hidden)
        control->setVisible(!m_large);
    QCoreApplication::processEvents();
    m_window.repaint();
    if (m_shown)
        m_shown();
    if (m_large) {
        setStaysOnTop(m_window, true);
        return;
    }
    // Back at the size and place it had: a window manager restores its own idea of the
    // normal geometry, which need not be the one the window had.
    if (m_normalGeometry.isValid())
        m_window.setGeometry(m_normalGeometry);
    m_window.activateWindow();
}

} // namespace sonavue
