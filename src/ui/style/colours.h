// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Colour values as the settings file stores them: red in the low byte,
// RGB(r, g, b) = r + 256*g + 65536*b, and -1 for "released outside the palette".
#include <QColor>
#include <QImage>
#include <QPalette>
#include <cstdint>

class QBrush;
class QPainter;
class QRect;

namespace sonavue {

constexpr std::int32_t TitleStripColour = 0x80FF80;
constexpr std::int32_t DarkTextColour = 0x004000;  // on a light background
constexpr std::int32_t LightTextColour = 0xE0FFE0; // on a dark background
constexpr std::int32_t KeyColour = 0x0F0F0F;       // RGB(15, 15, 15): see-through
constexpr std::int32_t DesignedBackground = 0xE0E0E0;

// The three components with the signs the arithmetic gives (-1 gives -1, -1, -1).
void colourComponents(std::int32_t colour, std::int16_t& r, std::int16_t& g, std::int16_t& b);
// r + g + b >= 352 counts as light.
bool isLightColour(std::int32_t colour);
// The text colour the window takes on a background colour.
std::int32_t textColourFor(std::int32_t colour);
// A colour value as a QColor. Values outside 0..0xFFFFFF (such as -1) have no colour of
// their own: nullopt-like invalid QColor, and the control keeps its background.
QColor toQColor(std::int32_t colour);
// A number given as a colour (the palette's choice, a stored value) as a colour value: the
// nearest whole number, half to even, held to 32 bits.
std::int32_t colourValueOf(double value);
// A QColor (alpha ignored) as a colour value.
std::int32_t fromQColor(const QColor& colour);

// How far apart two opaque colours are to the eye: the WCAG contrast ratio, from 1 (the
// same lightness) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);
// The colour for thin marks (the outline of an option circle or a check box) on
// `background`: `preferred` (the text colour) while it stands out, else black or white,
// whichever stands out more. A see-through background keeps `preferred`.
QColor legibleInk(const QColor& background, const QColor& preferred);
// The colour for text on `background`: `preferred` while it reads (4.5:1, the figure for
// text), else black or white, whichever reads better.
QColor readableText(const QColor& background, const QColor& preferred);

// The colour palette's picture (100 x 32).
QImage paletteImage();

// palette in the window colour colour: its backgrounds in that colour (unchanged for -1, which
// has none) and its text in the colour readable on it. The key colour leaves the window and
// its buttons see-through, but never a list or a text box: what lies under one (the number
// column under the titles) would show through its text. A list's selected row and a text
// box's hint read on every colour.
QPalette windowPalette(QPalette palette, std::int32_t colour);
// Fills area with the window colour: the key colour leaves it see-through, so a compositor
// shows what lies behind; a value that is no colour paints noColour.
void paintWindowBackground(QPainter& painter, const QRect& area, std::int32_t colour,
                           const QBrush& noColour);

} // namespace sonavue
