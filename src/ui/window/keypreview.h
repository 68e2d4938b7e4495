// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Key preview: the window sees every key press before the focused control does, as a window
// with key preview on. It watches the whole application, acts once per press, and lets the
// key go on to the control that had the focus when it was pressed.
#include <QObject>
#include <QPointer>
#include <functional>

#include "core/playerverbs.h"

#include <variant>

class QWidget;

namespace sonavue {

// What a key pressed in the window asks of the window itself (the player's verbs have their
// keys in the player's verb table).
enum class WindowCommand {
    SwitchLayout,  // W: the large or the normal layout
    Close,         // Ctrl+Q
    OpenFind,      // Ctrl+F
    OpenSettings,  // Ctrl+, : the settings dialog
    SaveTrackList, // Ctrl+E: the track list shown, written out as a playlist
};
// What a key asks for: nothing, a verb of the player's (S, Ctrl+S, Ctrl+C, the media keys), or
// a command of the window's. "Ctrl" means Ctrl alone: W acts with any modifiers, Q, F, E and
// the comma only with Ctrl alone. Of the modifiers only Shift, Ctrl and Alt count (a keypad key or
// one with Meta is the same key). While the find field has the focus, only the Ctrl keys and the
// media keys act: letters are the find's text.
using KeyCommand = std::variant<std::monostate, PlayerVerb, WindowCommand>;
KeyCommand keyCommandFor(int key, Qt::KeyboardModifiers modifiers, bool typingInFind);

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
