// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/keypreview.h"

#include "playback/transport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace sonavue {

KeyPreview::KeyPreview(QWidget& window, Handler handler)
    : QObject(&window), m_window(window), m_handler(std::move(handler)) {
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() {
    qApp->removeEventFilter(this);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (m_stopped || event->type() != QEvent::KeyPress)
        return false;
    // Every key press reaches the window's native window exactly once, before it goes on to
    // the focused control (and, unused, up to its parents, or from the web engine back to the
    // panel's parent). Only that first delivery is acted on.
    QWindow* native = m_window.windowHandle();
    if (!native || watched != native)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // The key still reaches the control that had the focus when it was pressed, even when the
    // action hid that control (W hides the settings frame and its folder box).
    const QPointer<QWidget> focused = m_window.focusWidget();
    m_handler(key->key(), key->modifiers());
    if (!focused || focused == m_window.focusWidget() || m_stopped)
        return false;
    QKeyEvent again(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                    key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                    key->isAutoRepeat(), key->count());
    QApplication::sendEvent(focused, &again);
    return true;
}

WindowCommand windowCommandFor(int key, Qt::KeyboardModifiers modifiers, bool typingInFind) {
    const Qt::KeyboardModifiers counted =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlOnly = counted == Qt::ControlModifier;
    if (typingInFind && !ctrlOnly)
        return WindowCommand::None;
    switch (key) {
    case Qt::Key_W:
        return WindowCommand::SwitchLayout;
    case Qt::Key_S:
        return ctrlOnly ? WindowCommand::SelectStart : WindowCommand::ContinuousStart;
    case Qt::Key_Q:
        return ctrlOnly ? WindowCommand::Close : WindowCommand::None;
    case Qt::Key_C:
        return ctrlOnly ? WindowCommand::ClearReserved : WindowCommand::None;
    case Qt::Key_F:
        return ctrlOnly ? WindowCommand::OpenFind : WindowCommand::None;
    default:
        return WindowCommand::None;
    }
}

bool runMediaKey(int key, Transport& transport) {
    switch (key) {
    case Qt::Key_MediaPlay:
        transport.play();
        return true;
    case Qt::Key_MediaPause:
        transport.pause();
        return true;
    case Qt::Key_MediaTogglePlayPause:
        transport.playPause();
        return true;
    case Qt::Key_MediaNext:
        transport.next();
        return true;
    case Qt::Key_MediaPrevious:
        // Play only goes forward: previous is the playing track from its start.
        transport.restartTrack();
        return true;
    case Qt::Key_MediaStop:
        transport.stop();
        return true;
    default:
        return false;
    }
}

} // namespace sonavue
