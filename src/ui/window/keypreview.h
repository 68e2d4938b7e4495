// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Key preview: the window sees every key press before the focused control does, as a window
// with key preview on. It watches the whole application, acts once per press, and lets the
// key go on to the control that had the focus when it was pressed.
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace sonavue {

class Transport;

// What a key pressed in the window asks for.
enum class WindowCommand {
    None,
    SwitchLayout,    // W: the large or the normal layout
    Close,           // Ctrl+Q
    ContinuousStart, // S
    SelectStart,     // Ctrl+S
    ClearReserved,   // Ctrl+C
    OpenFind,        // Ctrl+F
};
// "Ctrl" means Ctrl alone: W acts with any modifiers, S without Ctrl alone (Ctrl+Shift+S too)
// starts continuous play, and Q, C and F act only with Ctrl alone. Of the modifiers only
// Shift, Ctrl and Alt count (a keypad key or one with Meta is the same key). While the find
// field has the focus, only the Ctrl keys act: letters are the find's text.
WindowCommand windowCommandFor(int key, Qt::KeyboardModifiers modifiers, bool typingInFind);

// The keyboard's media keys (play, pause, play/pause, next, previous, stop), whatever the
// modifiers and wherever the focus is: each runs on transport the verb the desktop's media
// controls run for it. False, doing nothing, for any other key.
bool runMediaKey(int key, Transport& transport);

class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;
    // Watches the keys of window (its parent) until it goes or stop() is called.
    KeyPreview(QWidget& window, Handler handler);
    ~KeyPreview() override;
    void stop() { m_stopped = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    Handler m_handler;
    bool m_stopped = false;
};

} // namespace sonavue
