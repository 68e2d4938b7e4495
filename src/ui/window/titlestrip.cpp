// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/titlestrip.h"

#include "ui/style/colours.h"

#include "ui/controls/clickablelabel.h"
#include "ui/controls/imagebutton.h"
#include "ui/style/fonts.h"
#include "ui/style/twips.h"

#include <QApplication>
#include <QMouseEvent>

namespace sonavue {

TitleStrip::TitleStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    place(this, 0, 0, 13425, 375);
    setAutoFillBackground(true);
    setAccessibleName(QStringLiteral("Sonavue"));

    // The size label: the strip's mouse handling clicks it; from the keyboard it clicks
    // itself.
    auto* sizeLabel = new ClickableLabel(QStringLiteral(" -  "), QAccessible::Button, this);
    connect(sizeLabel, &ClickableLabel::clicked, this, &TitleStrip::sizeSwitchRequested);
    m_sizeLabel = place(sizeLabel, 0, 0, 480, 435);
    m_sizeLabel->setObjectName(QStringLiteral("Label9"));
    m_sizeLabel->setFont(designedFont(QStringLiteral("ＭＳ ゴシック"), 14.25, true));
    m_sizeLabel->setAccessibleName(QStringLiteral(" -  (Compact or full size)"));
    m_sizeLabel->setAccessibleDescription(
        QStringLiteral("Shrinks the window to its title strip, or gives it its full size"));
    m_sizeLabel->installEventFilter(this);

    m_closeButton = place(new ImageButton(closeButtonPictures, this), 13080, 0, 360, 360);
    m_closeButton->setObjectName(QStringLiteral("Image2"));
    m_closeButton->setAccessibleName(QStringLiteral("閉じる (Close)"));
    m_closeButton->setAccessibleDescription(QStringLiteral("Closes Sonavue"));
    connect(m_closeButton, &ImageButton::clicked, this, &TitleStrip::closeRequested);
}

int TitleStrip::closeButtonWidth() const {
    return m_closeButton->width();
}

void TitleStrip::placeCloseButton(int left) {
    m_closeButton->move(left, m_closeButton->y());
}

void TitleStrip::keepOwnColours() {
    QPalette strip = palette();
    strip.setColor(QPalette::Window, toQColor(TitleStripColour));
    strip.setColor(QPalette::WindowText, toQColor(textColourFor(TitleStripColour)));
    setPalette(strip);
}

void TitleStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_gesture = Gesture::Armed;
        m_pressGlobal = event->globalPosition().toPoint();
        emit dragArmed(m_pressGlobal);
    }
    event->accept();
}

void TitleStrip::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    // A few pixels with the button held make a drag, so that a double-click is still seen.
    if (m_gesture == Gesture::Armed && (event->buttons() & Qt::LeftButton) &&
        (global - m_pressGlobal).manhattanLength() >= QApplication::startDragDistance()) {
        m_gesture = Gesture::Dragging;
        emit dragStarted(m_pressGlobal, global);
    } else if (m_gesture == Gesture::Dragging) {
        emit dragMoved(global);
    }
    event->accept();
}

void TitleStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (m_gesture == Gesture::Armed || event->button() == Qt::LeftButton)
        m_gesture = Gesture::None;
    emit dragReleased(event->button());
    event->accept();
}

void TitleStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    m_gesture = Gesture::None;
    emit layoutSwitchRequested();
    event->accept();
}

bool TitleStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sizeLabel) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return handleSizeLabelMouse(event);
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A click on the size label switches between compact and full; the second press of a
// double-click is not another click, and the double-click does nothing more. A press on the
// label is no drag of the strip.
bool TitleStrip::handleSizeLabelMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_sizeLabelDoubleClick = true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (m_sizeLabelDoubleClick)
            m_sizeLabelDoubleClick = false;
        else if (mouse->button() == Qt::LeftButton &&
                 m_sizeLabel->rect().contains(mouse->position().toPoint()))
            emit sizeSwitchRequested();
    }
    return true;
}

} // namespace sonavue
