// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/cardwindow.h"

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

void paintCard(QPainter& painter, const QRect& card, const QColor& fill) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    constexpr qreal Radius = 10.0;
    painter.drawRoundedRect(QRectF(card), Radius, Radius);
}

} // namespace sonavue
