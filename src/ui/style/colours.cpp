// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/style/colours.h"

#include "base/numbers.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace sonavue {
namespace {

// Division rounding towards minus infinity (divisor positive), as the colour split needs
// for negative values.
constexpr std::int32_t floorDiv(std::int32_t value, std::int32_t divisor) {
    const std::int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

constexpr int PaletteWidth = 100;
constexpr int PaletteHeight = 32;
constexpr int BlockWidth = 50;
constexpr int BlockHeight = 16;
constexpr std::array<int, 4> BlockReds{0, 192, 128,
                                       255}; // top-left, top-right, bottom-left, bottom-right
constexpr std::array<int, BlockHeight> BlueSteps{11,  28,  43,  60,  75,  92,  107, 124,
                                                 139, 156, 171, 188, 203, 220, 235, 252};

// Below this ratio a one-pixel line is hard to see (the WCAG figure for graphics).
constexpr double MinimumMarkContrast = 3.0;
// Below this ratio text is hard to read (the WCAG figure for text).
constexpr double MinimumTextContrast = 4.5;
// A hint is drawn this far from the text colour towards its background, where it still reads.
constexpr double HintFade = 0.3;

double relativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

// preferred while it stands out from background by ratio, else black or white.
QColor inkStandingOut(const QColor& background, const QColor& preferred, double ratio) {
    if (background.alpha() == 0 || contrastRatio(background, preferred) >= ratio)
        return preferred;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

// In whole steps of 8 bits, as it is drawn.
QColor mixed(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) { return qRound(a + (b - a) * share); };
    const QColor f = from.toRgb();
    const QColor t = to.toRgb();
    return {channel(f.red(), t.red()), channel(f.green(), t.green()), channel(f.blue(), t.blue())};
}

// The selected row: a bar in the marks' colour, standing out from the rows around it, with
// its text in the list's own background colour where that reads on the bar (the colours
// turned round), else in black or white. The hint of an empty text box: the text colour a
// little faded where that still reads.
void showSelectionAndHint(QPalette& palette, const QColor& text) {
    const QColor base = palette.color(QPalette::Base);
    const QColor bar = legibleInk(base, text);
    palette.setColor(QPalette::Highlight, bar);
    palette.setColor(QPalette::HighlightedText, readableText(bar, base));
    const QColor ink = readableText(base, text);
    const QColor hint = mixed(ink, base, HintFade);
    palette.setColor(QPalette::PlaceholderText,
                     contrastRatio(hint, base) >= MinimumTextContrast ? hint : ink);
}

} // namespace

void colourComponents(std::int32_t colour, std::int16_t& r, std::int16_t& g, std::int16_t& b) {
    // C++ remainders keep the sign of the dividend, which is what the split wants.
    const std::int32_t x = colour % 16777216;
    r = static_cast<std::int16_t>(x % 256);
    g = static_cast<std::int16_t>(floorDiv(x % 65536, 256));
    b = static_cast<std::int16_t>(floorDiv(x, 65536));
}

bool isLightColour(std::int32_t colour) {
    std::int16_t r = 0, g = 0, b = 0;
    colourComponents(colour, r, g, b);
    return r + g + b >= 352;
}

std::int32_t textColourFor(std::int32_t colour) {
    return isLightColour(colour) ? DarkTextColour : LightTextColour;
}

QColor toQColor(std::int32_t colour) {
    if (colour < 0 || colour > 0xFFFFFF)
        return {};
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int32_t colourValueOf(double value) {
    return std::int32_t(std::clamp<long long>(roundHalfEven(value), INT32_MIN, INT32_MAX));
}

std::int32_t fromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return rgb.red() + 256 * rgb.green() + 65536 * rgb.blue();
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legibleInk(const QColor& background, const QColor& preferred) {
    return inkStandingOut(background, preferred, MinimumMarkContrast);
}

QColor readableText(const QColor& background, const QColor& preferred) {
    return inkStandingOut(background, preferred, MinimumTextContrast);
}

QImage paletteImage() {
    QImage image(PaletteWidth, PaletteHeight, QImage::Format_RGB32);
    for (int y = 0; y < PaletteHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PaletteWidth; ++x) {
            const int red = BlockReds[(y / BlockHeight) * 2 + x / BlockWidth];
            // Green climbs from 0 in a block's first column to 250 in its last.
            const int column = x % BlockWidth;
            const int green = (column * 250 + (BlockWidth - 1) / 2) / (BlockWidth - 1);
            const int blue = BlueSteps[y % BlockHeight];
            line[x] = qRgb(red, green, blue);
        }
    }
    // The picked-black corner and the picked-white corner.
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 0));
    for (int y = PaletteHeight - 2; y < PaletteHeight; ++y) {
        for (int x = PaletteWidth - 3; x < PaletteWidth; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    }
    return image;
}

QPalette windowPalette(QPalette palette, std::int32_t colour) {
    const QColor background = toQColor(colour);
    if (background.isValid()) {
        const QColor seeThrough = colour == KeyColour ? QColor(Qt::transparent) : background;
        for (auto role : {QPalette::Window, QPalette::Button})
            palette.setColor(role, seeThrough);
        for (auto role : {QPalette::Base, QPalette::AlternateBase})
            palette.setColor(role, background);
    }
    const QColor text = toQColor(textColourFor(colour));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    showSelectionAndHint(palette, text);
    return palette;
}

void paintWindowBackground(QPainter& painter, const QRect& area, std::int32_t colour,
                           const QBrush& noColour) {
    const QColor background = toQColor(colour);
    if (colour == KeyColour || !background.isValid()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, colour == KeyColour ? QBrush(Qt::transparent) : noColour);
        return;
    }
    painter.fillRect(area, background);
}

} // namespace sonavue
