// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Keyboard and screen-reader access for the window's own controls:
// - KeyActivation makes a control that is no toolkit button (a tab, a picture button, the
//   palette, the size label) take the focus with Tab and act on Space, Enter and Return, and
//   shows it to screen readers in a given role with a press action;
// - the focus chain follows the window's reading order;
// - of stacked pages only the one on top is reached with Tab.
#include <QAccessible>
#include <QList>
#include <QObject>

#include <functional>

class QPainter;
class QWidget;

namespace sonavue {

class KeyActivation : public QObject {
    Q_OBJECT
public:
    // Attaches to `control` (as its child, so it lives as long as the control).
    static KeyActivation* attach(QWidget& control, QAccessible::Role role,
                                 std::function<void()> action);
    // The activation attached to `control`, or null.
    static KeyActivation* of(const QObject* control);

    QAccessible::Role role() const { return m_role; }
    // Runs the control's action, as a click does.
    void activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyActivation(QWidget& control, QAccessible::Role role, std::function<void()> action);

    QAccessible::Role m_role;
    std::function<void()> m_action;
};

// A dotted frame just inside `rect`: where the keyboard focus is.
void drawFocusMark(QPainter& painter, const QRect& rect, const QColor& colour);

// Chains the tab-focusable controls below `window` top to bottom, and left to right where
// they are level, by their places in their containers; a container's controls are read
// where the container lies.
void orderFocusByPlace(QWidget& window);
// The tab-focusable controls below `window`, in the order orderFocusByPlace gives them.
QList<QWidget*> focusOrderByPlace(QWidget& window);
// Tab and Shift+Tab in `window`: the focus goes from the control that holds it (or holds it
// inside, as the web panel's page does) to the next or previous control in reading order that
// takes it now, round from the last to the first. A group of option buttons is one stop, met
// at its checked button. False when no control takes the focus.
bool moveFocusByPlace(QWidget& window, bool forward);

} // namespace sonavue
