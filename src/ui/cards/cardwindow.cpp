// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cards/cardwindow.h"

#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QWidget>

namespace sonavue {

QRect cardRect(int left, int top, int width, int height) {
    return {cardPixels(left), cardPixels(top), cardPixels(width), cardPixels(height)};
}

void makeCardWindow(QWidget& window) {
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setAttribute(Qt::WA_DeleteOnClose);
    // A card closing while the main window is still hidden (at start-up) must not end the
    // program.
    window.setAttribute(Qt::WA_QuitOnClose, false);
}

QLabel* makeCardLabel(QWidget* parent, const QRect& geometry, const QFont& font,
                      const QColor& colour, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QRegion cardRegion(const QRect& card) {
    if (card.isEmpty())
        return {};
    // Drawn without smoothing, each pixel is in the body or not.
    QBitmap body(card.size());
    body.fill(Qt::color0);
    QPainter painter(&body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    constexpr qreal Radius = 10.0;
    painter.drawRoundedRect(QRectF(QPointF(), QSizeF(card.size())), Radius, Radius);
    painter.end();
    return QRegion(body).translated(card.topLeft());
}

void paintCard(QPainter& painter, const QRegion& body, const QColor& fill) {
    for (const QRect& part : body)
        painter.fillRect(part, fill);
}

} // namespace sonavue
