// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/controls/imagebutton.h"

#include "ui/controls/keyboardaccess.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <utility>

namespace sonavue {
namespace {

// A button face: raised (light top, darker bottom) when released, sunk (dark top, lighter
// bottom, shadow along the top edge) when pressed.
void paintFace(QPainter& painter, const QSizeF& size, const QColor& base, bool pressed,
               qreal radius) {
    const QRectF face(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    if (pressed) {
        gradient.setColorAt(0.0, base.darker(165));
        gradient.setColorAt(1.0, base.darker(115));
    } else {
        gradient.setColorAt(0.0, base.lighter(135));
        gradient.setColorAt(1.0, base);
    }
    painter.setPen(QPen(base.darker(pressed ? 220 : 170), 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(face, radius, radius);
    if (pressed) {
        painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
        painter.drawLine(QPointF(radius, 1.5), QPointF(size.width() - radius, 1.5));
    }
}

// Both looks of `size` logical pixels, drawn at dpr device pixels per logical pixel: the
// painter works in logical pixels and the pixmap's density does the rest.
template <typename Draw> ButtonPictures makePictures(QSize size, qreal dpr, Draw draw) {
    ButtonPictures pictures;
    for (const bool pressed : {false, true}) {
        QPixmap pixmap(QSize(qRound(size.width() * dpr), qRound(size.height() * dpr)));
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        draw(painter, pressed);
        painter.end();
        (pressed ? pictures.pressed : pictures.released) = pixmap;
    }
    return pictures;
}

} // namespace

ImageButton::ImageButton(QPixmap released, QPixmap pressed, QWidget* parent)
    : QWidget(parent), m_releasedPicture(std::move(released)),
      m_pressedPicture(std::move(pressed)) {
    resize(sizeHint());
    makeKeyboardReachable();
}

ImageButton::ImageButton(ButtonPainter painter, QWidget* parent)
    : QWidget(parent), m_painter(std::move(painter)) {
    const ButtonPictures pictures = m_painter(1.0);
    m_releasedPicture = pictures.released;
    m_pressedPicture = pictures.pressed;
    resize(sizeHint());
    makeKeyboardReachable();
}

void ImageButton::makeKeyboardReachable() {
    KeyActivation::attach(*this, QAccessible::Button, [this] { emit clicked(); });
}

QSize ImageButton::sizeHint() const {
    return m_releasedPicture.deviceIndependentSize().toSize();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (m_painter && !qFuzzyCompare(m_releasedPicture.devicePixelRatio(), dpr)) {
        const ButtonPictures pictures = m_painter(dpr);
        m_releasedPicture = pictures.released;
        m_pressedPicture = pictures.pressed;
    }
    painter.drawPixmap(0, 0, currentPicture());
    if (hasFocus())
        drawFocusMark(painter, rect(), palette().color(QPalette::WindowText));
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    // Any button shows the pressed look.
    m_pressed = true;
    update();
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    m_pressed = false;
    update();
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

ButtonPictures homeButtonPictures(qreal dpr) {
    return makePictures(QSize(59, 20), dpr, [](QPainter& painter, bool pressed) {
        paintFace(painter, QSizeF(59, 20), QColor(150, 178, 222), pressed, 5);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(pressed ? QColor(230, 238, 255) : QColor(28, 40, 86));
        const int shift = pressed ? 1 : 0;
        painter.drawText(QRect(shift, shift, 59, 20), Qt::AlignCenter, QStringLiteral("Home"));
    });
}

ButtonPictures closeButtonPictures(qreal dpr) {
    return makePictures(QSize(24, 24), dpr, [](QPainter& painter, bool pressed) {
        paintFace(painter, QSizeF(24, 24), QColor(214, 88, 80), pressed, 5);
        const qreal shift = pressed ? 1 : 0;
        painter.setPen(
            QPen(pressed ? QColor(255, 220, 216) : Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(7.5 + shift, 7.5 + shift), QPointF(16.5 + shift, 16.5 + shift));
        painter.drawLine(QPointF(16.5 + shift, 7.5 + shift), QPointF(7.5 + shift, 16.5 + shift));
    });
}

ButtonPictures backButtonPictures(qreal dpr) {
    return makePictures(QSize(24, 24), dpr, [](QPainter& painter, bool pressed) {
        paintFace(painter, QSizeF(24, 24), QColor(120, 160, 200), pressed, 5);
        const qreal shift = pressed ? 1 : 0;
        QPainterPath arrow;
        arrow.moveTo(5 + shift, 12 + shift);
        arrow.lineTo(12 + shift, 5.5 + shift);
        arrow.lineTo(12 + shift, 9.5 + shift);
        arrow.lineTo(18.5 + shift, 9.5 + shift);
        arrow.lineTo(18.5 + shift, 14.5 + shift);
        arrow.lineTo(12 + shift, 14.5 + shift);
        arrow.lineTo(12 + shift, 18.5 + shift);
        arrow.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(pressed ? QColor(220, 232, 246) : QColor(Qt::white));
        painter.drawPath(arrow);
    });
}

} // namespace sonavue
