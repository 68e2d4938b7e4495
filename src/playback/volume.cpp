// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/volume.h"

#include <cmath>

namespace sonavue {
namespace {

constexpr int MaxLevel = 255;
constexpr int MaxRelative = 127;
constexpr qsizetype CommentWidth = 30;
constexpr qsizetype SearchFrom = 21; // the 22nd character, 0-based
constexpr qsizetype ValueAt = 26;    // characters 27..30, 0-based
constexpr qsizetype ValueWidth = 4;

// std::nearbyint follows the current rounding mode, which is round-half-to-even unless
// someone changed it; do it by hand so the result never depends on that.
double roundHalfToEven(double value) {
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

// A signed decimal number filling the whole text: leading and trailing spaces, one
// optional sign, digits with an optional decimal point. Anything else is no number.
std::optional<double> signedDecimal(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    qsizetype end = n;
    while (end > i && text[end - 1] == u' ')
        --end;
    if (i == end)
        return std::nullopt;
    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    double value = 0.0;
    double scale = 1.0;
    bool digits = false;
    bool point = false;
    for (; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digits = true;
            if (point) {
                scale /= 10.0;
                value += (c - u'0') * scale;
            } else {
                value = value * 10.0 + (c - u'0');
            }
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

int clampLevel(double level) {
    if (std::isnan(level))
        return 0;
    // Clamp before rounding so huge values never overflow the conversion.
    if (level > MaxLevel)
        level = MaxLevel;
    if (level < 0.0)
        level = 0.0;
    return static_cast<int>(roundHalfToEven(level));
}

std::uint32_t waveOutVolumeValue(double level) {
    // Hex digits h, l, h, l twice equal level * 257 in each 16-bit channel.
    const std::uint32_t channel = static_cast<std::uint32_t>(clampLevel(level)) * 257u;
    return (channel << 16) | channel;
}

double levelGain(double level) {
    return (waveOutVolumeValue(level) & 0xFFFFu) / 65535.0;
}

std::optional<int> relativeVolumeLevel(const QString& comment) {
    // The record's field is always 30 characters, padded with spaces; a shorter text is
    // treated as that padded field, a longer one as its first 30 characters.
    QString field = comment.left(CommentWidth);
    field.resize(CommentWidth, u' ');
    if (field.indexOf(QLatin1String("RVA="), SearchFrom, Qt::CaseSensitive) < 0)
        return std::nullopt;
    const std::optional<double> value = signedDecimal(QStringView(field).mid(ValueAt, ValueWidth));
    if (!value)
        return std::nullopt;
    double r = *value;
    if (r > MaxRelative)
        r = MaxRelative;
    if (r < -MaxRelative)
        r = -MaxRelative;
    return clampLevel(MiddleLevel + r);
}

} // namespace sonavue
