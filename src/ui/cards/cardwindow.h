// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the splash and tag cards share: a frameless, see-through, always-on-top window cut
// to the rounded card it paints, and labels placed in twips.
#include <QColor>
#include <QFont>
#include <QRect>

class QLabel;
class QWidget;
class QPainter;
class QRegion;

namespace sonavue {

// Twips to pixels at the designed 15 twips a pixel.
constexpr int cardPixels(int twips) {
    return (twips * 2 + 15) / 30;
}
QRect cardRect(int left, int top, int width, int height);

// Frameless, translucent (nothing but the card is drawn), topmost, deleted on close. It
// does not keep the program running on its own.
void makeCardWindow(QWidget& window);

// A plain-text label with a transparent background.
QLabel* makeCardLabel(QWidget* parent, const QRect& geometry, const QFont& font,
                      const QColor& colour, Qt::Alignment alignment);

// The pixels of a card's rounded body, whole pixels only: the window is cut to them (its
// mask), so that a plain X server without a compositor, which shows a see-through pixel as
// black, shows the same card as one with a compositor.
QRegion cardRegion(const QRect& card);
// Fills the rounded body, exactly its region's pixels.
void paintCard(QPainter& painter, const QRegion& body, const QColor& fill);

} // namespace sonavue
