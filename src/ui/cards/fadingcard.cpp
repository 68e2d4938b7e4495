// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/fadingcard.h"

#include "ui/cards/cardwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>

namespace sonavue {

FadingCard::FadingCard(QWidget* owner, FadeCard start, int holdMs, QRect card, QColor fill)
    : QWidget(owner), m_fade(start), m_fill(fill) {
    makeCardWindow(*this);
    setCardRect(card);
    setWindowOpacity(m_fade.opacity / 255.0);
    m_holdTimer.setInterval(holdMs);
    m_fadeTimer.setInterval(FadeTickMs);
    connect(&m_holdTimer, &QTimer::timeout, this, &FadingCard::endHold);
    connect(&m_fadeTimer, &QTimer::timeout, this, &FadingCard::fadeStep);
}

void FadingCard::startFading() {
    m_holdTimer.start();
    m_fadeTimer.start();
}

void FadingCard::setCardRect(const QRect& card) {
    m_body = cardRegion(card);
    // Without a compositor the see-through pixels around the body would show black.
    setMask(m_body);
    update();
}

void FadingCard::closeOnPressesElsewhere() {
    QCoreApplication::instance()->installEventFilter(this);
}

bool FadingCard::eventFilter(QObject* watched, QEvent* event) {
    // A press reaches each widget it is offered to (up the parents while none takes it); the
    // first one outside the card decides, once the press has been handled.
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() != this && !m_pressCheckPending && !m_closing) {
        m_pressCheckPending = true;
        m_keptThroughPress = false;
        QTimer::singleShot(0, this, &FadingCard::closeUnlessKept);
    }
    return QWidget::eventFilter(watched, event);
}

void FadingCard::closeUnlessKept() {
    m_pressCheckPending = false;
    if (!m_keptThroughPress && !m_closing)
        close();
}

void FadingCard::endHold() {
    endFadeHold(m_fade);
}

void FadingCard::fadeStep() {
    if (m_closing)
        return;
    if (!advanceFade(m_fade)) {
        raise();
        close();
        return;
    }
    setWindowOpacity(m_fade.opacity / 255.0);
    raise(); // stays above every other window
    // The opacity and the raise wait in the window system's output queue until something
    // sends it, which on a quiet screen may be ticks later: the fade would jump. Painting
    // the card now sends them with it, so each step shows at its own tick.
    repaint();
    QCoreApplication::processEvents(); // pending events run before the tick ends
}

void FadingCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCard(painter, m_body, m_fill);
}

void FadingCard::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_wasActive = true;
    else if (m_wasActive && !m_closing)
        close(); // losing the focus closes the card at once
}

void FadingCard::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (m_closing)
        return;
    m_closing = true;
    QCoreApplication::instance()->removeEventFilter(this);
    m_holdTimer.stop();
    m_fadeTimer.stop();
    emit closed();
}

} // namespace sonavue
