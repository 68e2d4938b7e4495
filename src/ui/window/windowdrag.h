// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Moving a frameless window by a strip of its own: a press arms the drag, moving a few pixels
// with the button held starts it and letting go ends it. The window manager moves the window
// where it can (it then keeps the release to itself, so the button is watched); without one
// the window follows the pointer.
#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;

namespace sonavue {

class WindowDrag : public QObject {
    Q_OBJECT
public:
    explicit WindowDrag(QWidget& window);

    // No drag armed or going on: the window's moves are its own.
    bool idle() const { return m_drag == Drag::None; }

    void arm();
    void start(QPoint pressGlobal, QPoint global);
    void moveTo(QPoint global);
    void release(Qt::MouseButton button);
    void cancel();
    // The window moved: a move that is settling is not done yet.
    void windowMoved();

signals:
    void started();
    // The drag is over and the window is where it was taken.
    void finished();

private:
    void watchSystemMove();
    void finish();

    enum class Drag { None, Armed, Manual, System };
    QWidget& m_window;
    Drag m_drag = Drag::None;
    QPoint m_dragOffset;
    QTimer m_watch;  // polls the button while the window manager moves the window
    QTimer m_settle; // the last move events after the button is let go
};

} // namespace sonavue
