// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/controls/clickablelabel.h"

#include "ui/controls/keyboardaccess.h"

#include <QMouseEvent>
#include <QPainter>

namespace sonavue {

ClickableLabel::ClickableLabel(const QString& caption, QAccessible::Role role, QWidget* parent)
    : QLabel(caption, parent) {
    KeyActivation::attach(*this, role, [this] { emit clicked(); });
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusMark(painter, rect(), palette().color(QPalette::WindowText));
}

TabLabel::TabLabel(const QString& caption, QWidget* parent)
    : ClickableLabel(caption, QAccessible::PageTab, parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignCenter);
    setBordered(false);
}

void TabLabel::setBordered(bool on) {
    m_bordered = on;
    setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}

void TabLabel::setBoldLook(bool on) {
    QFont f = font();
    if (f.bold() == on)
        return;
    f.setBold(on);
    setFont(f);
}

void TabLabel::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved();
    QLabel::mouseMoveEvent(event);
}

} // namespace sonavue
