// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/keypreview.h"

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

KeyCommand keyCommandFor(int key, Qt::KeyboardModifiers modifiers, bool typingInFind) {
    const Qt::KeyboardModifiers counted =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlOnly = counted == Qt::ControlModifier;
    const bool mediaKey = key >= Qt::Key_MediaPlay && key <= Qt::Key_MediaLast;
    if (typingInFind && !ctrlOnly && !mediaKey)
        return std::monostate();
    if (const std::optional<PlayerVerb> verb = playerVerbForKey(key, modifiers))
        return *verb;
    switch (key) {
    case Qt::Key_W:
        return WindowCommand::SwitchLayout;
    case Qt::Key_Q:
        return ctrlOnly ? KeyCommand(WindowCommand::Close) : std::monostate();
    case Qt::Key_F:
        return ctrlOnly ? KeyCommand(WindowCommand::OpenFind) : std::monostate();
    case Qt::Key_Comma:
        return ctrlOnly ? KeyCommand(WindowCommand::OpenSettings) : std::monostate();
    case Qt::Key_E:
        return ctrlOnly ? KeyCommand(WindowCommand::SaveTrackList) : std::monostate();
    default:
        return std::monostate();
    }
}

} // namespace sonavue
