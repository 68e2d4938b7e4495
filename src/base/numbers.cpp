// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace sonavue {
namespace {

struct ScannedNumber {
    double value = 0;
    qsizetype end = 0; // index just past the last character that fits
    bool hasDigits = false;
};

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The leading-number rule, remembering where it stopped so that callers can tell a
// whole number ("12") from one followed by other text ("12abc").
ScannedNumber scanNumber(QStringView text) {
    ScannedNumber out;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;

    if (i + 1 < n && text[i] == QLatin1Char('&') && (text[i + 1].toLower() == QLatin1Char('h'))) {
        i += 2;
        double value = 0; // a double never overflows into garbage; huge texts become huge values
        while (i < n && hexDigit(text[i]) >= 0) {
            value = value * 16 + hexDigit(text[i]);
            out.hasDigits = true;
            ++i;
        }
        out.value = value;
        out.end = i;
        return out;
    }

    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype intStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    bool digits = i > intStart;
    qsizetype end = i;
    if (i < n && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        while (j < n && isDigit(text[j]))
            ++j;
        if (digits || j > i + 1) {
            digits = digits || j > i + 1;
            end = j;
        }
    }
    if (!digits)
        return out; // value 0, nothing consumed

    // The matched span is plain ASCII; from_chars rounds it correctly.
    std::string ascii;
    ascii.reserve(std::size_t(end - start));
    for (qsizetype k = start; k < end; ++k) {
        const char c = char(text[k].unicode());
        if (c != '+')
            ascii += c;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too many digits for a double: the value lies beyond any range a caller accepts.
        const bool negative = ascii.front() == '-';
        value = negative ? -std::numeric_limits<double>::infinity()
                         : std::numeric_limits<double>::infinity();
    }
    out.value = value;
    out.end = end;
    out.hasDigits = true;
    return out;
}

QStringView trimBlanks(QStringView text) {
    qsizetype a = 0, b = text.size();
    while (a < b && isBlank(text[a]))
        ++a;
    while (b > a && isBlank(text[b - 1]))
        --b;
    return text.mid(a, b - a);
}

} // namespace

double leadingNumber(QStringView text) {
    return scanNumber(text).value;
}

long long roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    const double lower = std::floor(value);
    const double diff = value - lower;
    double r = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0))
        r = lower + 1;
    // Clamp before converting: a double outside long long's range is undefined to convert.
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (r >= limit)
        return std::numeric_limits<long long>::max();
    if (r < -limit)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(r);
}

std::optional<bool> truthValue(QStringView text) {
    const QStringView t = trimBlanks(text);
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    // A number counts only when it is the whole text ("12abc" is neither).
    const ScannedNumber number = scanNumber(t);
    if (!number.hasDigits || number.end != t.size())
        return std::nullopt;
    return number.value != 0;
}

std::optional<int> rowNumber(QStringView text) {
    const QStringView t = trimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i]))
            return std::nullopt;
        value = value * 10 + (t[i].unicode() - '0');
        if (value > 2147483648LL)
            return std::nullopt; // stop before the accumulator itself could overflow
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

int wholeNumberOr(QStringView text, int fallback, int low, int high) {
    // Text without digits is 0 by the rule (an empty stored value is not the default).
    const ScannedNumber number = scanNumber(text);
    if (!std::isfinite(number.value))
        return fallback;
    const long long whole = roundHalfEven(number.value);
    if (whole < low || whole > high)
        return fallback;
    return int(whole);
}

} // namespace sonavue
