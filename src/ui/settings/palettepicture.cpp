// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/palettepicture.h"

#include "ui/controls/keyboardaccess.h"
#include "ui/style/colours.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace sonavue {

PalettePicture::PalettePicture(QWidget* parent) : QLabel(parent), m_image(paletteImage()) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // First: a name given earlier would make Qt build the plain label's accessible face.
    KeyActivation::attach(*this, QAccessible::ColorChooser, [this] { emit picked(m_marker); });
    setAccessibleName(QStringLiteral("色 (Colour palette)"));
    describeMarker();
}

QSize PalettePicture::sizeHint() const {
    return m_image.size();
}

QPixmap PalettePicture::pictureAt(qreal dpr) {
    const QImage image = paletteImage();
    const QSize size(qRound(image.width() * dpr), qRound(image.height() * dpr));
    // Nearest pixel, never smoothed: the blocks keep hard edges and every shown colour is
    // one that a click picks.
    QPixmap picture =
        QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    picture.setDevicePixelRatio(dpr);
    return picture;
}

QPoint PalettePicture::pixelUnder(const QMouseEvent& event) const {
    // On a screen of more than one device pixel per logical pixel the pointer may lie between
    // logical pixels, and the toolkit rounds the control's mouse position to a whole one: the
    // right half of each pixel would pick its neighbour, the last column and row nothing at
    // all. The position in the window keeps the device pixel; what its rounding took away,
    // given back, is where the pointer lies, and the pixel it lies in is the one picked.
    const QPointF inWindow = event.scenePosition();
    const QPointF position = event.position() + (inWindow - QPointF(inWindow.toPoint()));
    const QPoint pixel(int(std::floor(position.x())), int(std::floor(position.y())));
    // The control is a little larger than its picture: a point in the strip beyond the picture
    // is still on the palette, and picks the picture's nearest edge pixel.
    if (!rect().contains(pixel))
        return pixel;
    return {std::min(pixel.x(), m_image.width() - 1), std::min(pixel.y(), m_image.height() - 1)};
}

void PalettePicture::setMarker(QPoint point) {
    const QPoint clamped(std::clamp(point.x(), 0, m_image.width() - 1),
                         std::clamp(point.y(), 0, m_image.height() - 1));
    if (clamped == m_marker)
        return;
    m_marker = clamped;
    describeMarker();
    update();
}

void PalettePicture::describeMarker() {
    const QColor colour = m_image.pixelColor(m_marker);
    setAccessibleDescription(
        QStringLiteral("矢印キーで選び Space か Enter で決定 (arrow keys choose, Space or Enter "
                       "applies): RGB %1, %2, %3")
            .arg(colour.red())
            .arg(colour.green())
            .arg(colour.blue()));
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PalettePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (m_picture.isNull() || !qFuzzyCompare(m_picture.devicePixelRatio(), dpr))
        m_picture = pictureAt(dpr);
    painter.drawPixmap(0, 0, m_picture);
    if (!hasFocus())
        return;
    // The marker: a small square in black or white, whichever stands out on its colour.
    const QColor under = m_image.pixelColor(m_marker);
    painter.setPen(legibleInk(under, Qt::black));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(m_marker - QPoint(2, 2), QSize(4, 4)));
}

void PalettePicture::keyPressEvent(QKeyEvent* event) {
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    QPoint move;
    switch (event->key()) {
    case Qt::Key_Left:
        move = {-step, 0};
        break;
    case Qt::Key_Right:
        move = {step, 0};
        break;
    case Qt::Key_Up:
        move = {0, -step};
        break;
    case Qt::Key_Down:
        move = {0, step};
        break;
    default:
        QLabel::keyPressEvent(event);
        return;
    }
    setMarker(m_marker + move);
    event->accept();
}

void PalettePicture::mousePressEvent(QMouseEvent* event) {
    // The marker follows the mouse, so the keyboard goes on from where the mouse picked.
    const QPoint point = pixelUnder(*event);
    if (m_image.valid(point))
        setMarker(point);
    QLabel::mousePressEvent(event);
}

} // namespace sonavue
