// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/nativepath.h"

#include <optional>

namespace sonavue {
namespace {

// Decodes the valid UTF-8 sequence starting at p (within n bytes) into cp and returns
// its length, or 0 if the bytes there are not valid UTF-8.
int decodeSequence(const unsigned char* p, qsizetype n, char32_t& cp) {
    const unsigned char c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int len = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
    static constexpr char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// What a character that must not reach a terminal or a label as it is shows as: a C0
// control or DEL as its picture, a C1 control (U+009B is a terminal's CSI), a line or
// paragraph separator and a direction override or isolate as U+FFFD; nothing for the rest.
std::optional<char16_t> shownInstead(char16_t u) {
    if (u < 0x20)
        return char16_t(0x2400 + u);
    if (u == 0x7F)
        return char16_t(0x2421);
    const bool c1 = u >= 0x80 && u <= 0x9F;
    const bool separator = u == 0x2028 || u == 0x2029;
    const bool direction = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    if (c1 || separator || direction)
        return char16_t(QChar::ReplacementCharacter);
    return std::nullopt;
}

} // namespace

// Decoded here rather than by QString::fromUtf8, which drops a leading EF BB BF as a
// byte-order mark: a name beginning with U+FEFF would then name another file.
QString pathFromNative(const char* bytes, qsizetype size) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    // Every byte gives at most one UTF-16 unit (four bytes give two).
    QString out(size, Qt::Uninitialized);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            *to++ = p[i++];
            continue;
        }
        char32_t cp = 0;
        const int len = decodeSequence(p + i, size - i, cp);
        if (len == 0) {
            *to++ = char16_t(0xDC00 + p[i++]); // the byte kept as U+DC80..U+DCFF
            continue;
        }
        i += len;
        if (cp >= 0x10000) {
            *to++ = QChar::highSurrogate(cp);
            *to++ = QChar::lowSurrogate(cp);
        } else {
            *to++ = char16_t(cp);
        }
    }
    out.truncate(to - reinterpret_cast<const char16_t*>(out.constData()));
    return out;
}

QByteArray pathToNative(const QString& path) {
    bool escaped = false;
    for (QChar c : path) {
        const char16_t u = c.unicode();
        if (u >= 0xDC80 && u <= 0xDCFF) {
            escaped = true;
            break;
        }
    }
    if (!escaped)
        return path.toUtf8();

    QByteArray out;
    out.reserve(path.size() * 3);
    const qsizetype n = path.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path.at(i).unicode();
        // A lone low surrogate in the escape range stands for one raw byte; a real
        // surrogate pair never has its low half here without a high half before it.
        const bool pairedLow = i > 0 && path.at(i - 1).isHighSurrogate();
        if (u >= 0xDC80 && u <= 0xDCFF && !pairedLow) {
            out += QStringView(path).mid(start, i - start).toUtf8();
            out += char(u - 0xDC00);
            start = i + 1;
        }
    }
    out += QStringView(path).mid(start).toUtf8();
    return out;
}

QString readableText(const QString& path) {
    QString out = path;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t u = out.at(i).unicode();
        const bool pairedLow = i > 0 && out.at(i - 1).isHighSurrogate();
        if (u >= 0xDC80 && u <= 0xDCFF && !pairedLow)
            out[i] = QChar(QChar::ReplacementCharacter);
        else if (const std::optional<char16_t> shown = shownInstead(u))
            out[i] = QChar(*shown);
    }
    return out;
}

QString fileNamePart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace sonavue
