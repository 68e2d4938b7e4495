// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/codepage.h"

#include "tags/iconvconverter.h"

#include <cerrno>

namespace sonavue {
namespace {

constexpr const char* codePageName = "CP932";
constexpr char16_t replacement = 0xFFFD;

using Converter = IconvConverter;

Converter& decoder() {
    thread_local Converter converter(HostUtf16, codePageName);
    return converter;
}

Converter& encoder() {
    thread_local Converter converter(codePageName, HostUtf16);
    return converter;
}

// Single bytes that Windows maps in code page 932 and glibc's table leaves out.
char16_t windowsOnlySingleByte(unsigned char c) {
    switch (c) {
    case 0x80:
        return 0x0080;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
        return 0xF8F1;
    case 0xFE:
        return 0xF8F2;
    case 0xFF:
        return 0xF8F3;
    default:
        return 0;
    }
}

int windowsOnlyCharacter(char16_t u) {
    if (u == 0x0080)
        return 0x80;
    if (u == 0xF8F0)
        return 0xA0;
    if (u >= 0xF8F1 && u <= 0xF8F3)
        return 0xFD + (u - 0xF8F1);
    return -1;
}

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Without the converter (glibc built without its code-page modules) only the single-byte
// part of the code page is known: ASCII and half-width katakana.
char16_t singleByteOnly(unsigned char c) {
    if (c < 0x80)
        return c;
    if (c >= 0xA1 && c <= 0xDF)
        return char16_t(0xFF61 + (c - 0xA1));
    if (const char16_t u = windowsOnlySingleByte(c))
        return u;
    return replacement;
}

} // namespace

QString decodeCodePage(const char* bytes, qsizetype size) {
    qsizetype ascii = 0;
    while (ascii < size && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    if (ascii == size)
        return QString::fromLatin1(bytes, size);

    // Every byte or byte pair gives one UTF-16 unit (the code page lies in the BMP).
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype k = 0; k < ascii; ++k)
        dst[k] = static_cast<unsigned char>(bytes[k]);
    DecodePlace at{ascii, ascii};

    Converter& converter = decoder();
    if (!converter.valid()) {
        for (; at.in < size; ++at.in)
            dst[at.written++] = singleByteOnly(static_cast<unsigned char>(bytes[at.in]));
        return out;
    }

    decodeToUtf16(converter, bytes, size, dst, at, [&](int error) {
        if (error != EILSEQ && error != EINVAL)
            return false; // cannot happen with the room reserved above; keep what is decoded
        // A byte that does not decode: one U+FFFD, then go on. An unmapped pair whose second
        // byte is not ASCII is one bad character; an ASCII byte after a lead byte is kept.
        const auto c = static_cast<unsigned char>(bytes[at.in]);
        if (const char16_t u = windowsOnlySingleByte(c)) {
            dst[at.written++] = u;
            at.in += 1;
        } else {
            dst[at.written++] = replacement;
            const bool pair = isLeadByte(c) && at.in + 1 < size &&
                              static_cast<unsigned char>(bytes[at.in + 1]) >= 0x80;
            at.in += pair ? 2 : 1;
        }
        return true;
    });
    out.truncate(at.written);
    return out;
}

QByteArray encodeCodePage(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    bool ascii = true;
    for (qsizetype k = 0; k < n && ascii; ++k)
        ascii = src[k] < 0x80;
    if (ascii)
        return text.toLatin1();

    // At most two bytes per UTF-16 unit.
    QByteArray out(n * 2, Qt::Uninitialized);
    qsizetype in = 0, written = 0;
    Converter& converter = encoder();
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    while (in < n) {
        if (converter.valid()) {
            char* inPtr = reinterpret_cast<char*>(const_cast<char16_t*>(src + in));
            size_t inLeft = size_t(n - in) * sizeof(char16_t);
            char* outPtr = out.data() + written;
            size_t outLeft = size_t(out.size() - written);
            const size_t result = iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft);
            in = reinterpret_cast<const char16_t*>(inPtr) - src;
            written = outPtr - out.data();
            if (result != size_t(-1) || in >= n)
                break;
        }
        const char16_t u = src[in];
        const int byte = windowsOnlyCharacter(u);
        out[written++] = byte >= 0 ? char(byte) : u < 0x80 ? char(u) : '?';
        const bool surrogatePair =
            QChar::isHighSurrogate(u) && in + 1 < n && QChar::isLowSurrogate(src[in + 1]);
        in += surrogatePair ? 2 : 1;
        if (converter.valid())
            iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(written);
    return out;
}

} // namespace sonavue
