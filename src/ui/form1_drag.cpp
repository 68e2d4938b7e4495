// The main window's title strip: dragging the window by it, its double-click, and the
// size label's compact/full switch; the background window following the main window.
#include "ui/form1.h"

#include "ui/backgroundwindow.h"
#include "ui/layoutrules.h"
#include "ui/twips.h"
#include "ui/x11pointer.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QWindow>

namespace sonavue {
namespace {
// How often the button is asked for while the window manager moves the window, and how long
// the window's moves must have been quiet after the release before the move counts as done.
constexpr int DragWatchMs = 40;
constexpr int DragSettleMs = 150;
} // namespace

void Form1::Label9_Click() {
    const WindowSize size = compactOrFull(twips(height()));
    resize(px(size.width), px(size.height));
    if (OptionBack[0]->isChecked() && m_form4)
        m_form4->resize(m_form4->width(), height());
    if (OptionBack[0]->isChecked() && m_form4)
        m_form4->resize(width(), m_form4->height());
}

void Form1::setUpTitleDrag() {
    m_dragWatch.setInterval(DragWatchMs);
    connect(&m_dragWatch, &QTimer::timeout, this, &Form1::watchSystemMove);
    m_dragSettle.setSingleShot(true);
    m_dragSettle.setInterval(DragSettleMs);
    connect(&m_dragSettle, &QTimer::timeout, this, &Form1::finishTitleDrag);
}

// Mouse events on the title strip and its size label; true when the event was used.
bool Form1::handleTitleStripMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            m_drag = Drag::Armed;
            m_pressPos = global;
        }
        return true;
    case QEvent::MouseMove:
        if (m_drag == Drag::Armed && (mouse->buttons() & Qt::LeftButton) &&
            (global - m_pressPos).manhattanLength() >= QApplication::startDragDistance())
            startTitleDrag(global);
        else if (m_drag == Drag::Manual)
            move(global - m_dragOffset);
        return true;
    case QEvent::MouseButtonRelease:
        if (m_drag == Drag::Armed)
            m_drag = Drag::None; // a click, not a drag
        else if (m_drag == Drag::Manual && mouse->button() == Qt::LeftButton)
            finishTitleDrag();
        else if (m_drag == Drag::System && mouse->button() == Qt::LeftButton)
            m_dragSettle.start(); // some window managers hand the release back
        return true;
    case QEvent::MouseButtonDblClick:
        m_drag = Drag::None;
        Form_KeyDown(Qt::Key_W, 0);
        return true;
    default:
        return false;
    }
}

void Form1::startTitleDrag(const QPoint& globalPos) {
    if (m_form4)
        m_form4->hide();
    // The window manager moves the window from where the button went down, so the grabbed
    // point stays under the pointer; it keeps the button's release to itself.
    QWindow* handle = windowHandle();
    if (handle && (startWindowManagerMove(*handle, m_pressPos) || handle->startSystemMove())) {
        m_drag = Drag::System;
        m_dragWatch.start();
        return;
    }
    // No system move (no window manager): the window follows the pointer itself.
    m_drag = Drag::Manual;
    m_dragOffset = m_pressPos - frameGeometry().topLeft();
    move(globalPos - m_dragOffset);
}

void Form1::watchSystemMove() {
    if (m_drag != Drag::System) {
        m_dragWatch.stop();
        return;
    }
    // Where the display server cannot tell, the moves settling is all there is to go by.
    const std::optional<bool> held = primaryButtonHeld();
    if (held.value_or(false))
        return;
    m_dragWatch.stop();
    if (!m_dragSettle.isActive())
        m_dragSettle.start();
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (m_dragSettle.isActive())
        m_dragSettle.start(); // not settled yet
    if (m_drag == Drag::None)
        alignBackground();
}

void Form1::finishTitleDrag() {
    if (m_drag == Drag::None || m_drag == Drag::Armed)
        return;
    m_drag = Drag::None;
    m_dragWatch.stop();
    if (m_form4) {
        m_form4->init();
        if (OptionBack[0]->isChecked()) {
            m_form4->show();
            m_form4->lower();
        }
    }
    activateWindow();
}

void Form1::alignBackground() {
    // The background lies exactly behind the main window whenever it is shown; during a drag
    // it is hidden and is placed once the drag has ended.
    if (m_form4 && m_form4->isVisible() && m_drag == Drag::None)
        m_form4->follow();
}

} // namespace sonavue
