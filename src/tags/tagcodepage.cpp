// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/tagcodepage.h"

#include "tags/codepage.h"
#include "tags/codepagechoice.h"
#include "tags/iconvconverter.h"

#include <cerrno>

namespace sonavue {
namespace {

constexpr char16_t Replacement = 0xFFFD;

bool isAscii(const char* bytes, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    return true;
}

const IconvConverter& utf8Decoder() {
    thread_local const IconvConverter converter(HostUtf16, "UTF-8");
    return converter;
}

const IconvConverter& westernDecoder() {
    thread_local const IconvConverter converter(HostUtf16, "CP1252");
    return converter;
}

// Decodes with an iconv descriptor whose source gives at most one UTF-16 unit per byte
// (UTF-8, CP1252). clean: no byte had to be replaced, and what the end cut off is part of a
// character (a lone lead byte there is more likely a Latin-1 letter such as 'é').
QString decodeWith(const IconvConverter& converter, const char* bytes, qsizetype size,
                   bool* clean) {
    QString out(size, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    DecodePlace at;
    bool replaced = false;
    decodeToUtf16(converter, bytes, size, dst, at, [&](int error) {
        if (error != EILSEQ) {
            // EINVAL: a character cut off by the field's end is left out.
            replaced = replaced || size - at.in < 2;
            return false;
        }
        dst[at.written++] = Replacement;
        replaced = true;
        ++at.in;
        return true;
    });
    out.truncate(at.written);
    if (clean)
        *clean = !replaced;
    return out;
}

QString decodeUtf8(const char* bytes, qsizetype size, bool* clean = nullptr) {
    const IconvConverter& converter = utf8Decoder();
    if (converter.valid())
        return decodeWith(converter, bytes, size, clean);
    const QString text = QString::fromUtf8(bytes, size); // glibc without UTF-8 (never seen)
    if (clean)
        *clean = !text.contains(QChar(Replacement));
    return text;
}

QString decodeWestern(const char* bytes, qsizetype size) {
    const IconvConverter& converter = westernDecoder();
    if (converter.valid())
        return decodeWith(converter, bytes, size, nullptr);
    // Without glibc's code-page modules: the Latin-1 part, which CP1252 shares.
    return QString::fromLatin1(bytes, size);
}

} // namespace

std::optional<TagCodePage> parseTagCodePage(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("932"))
        return TagCodePage::ShiftJis;
    if (value == QLatin1String("1252"))
        return TagCodePage::Western;
    if (value == QLatin1String("65001"))
        return TagCodePage::Utf8;
    if (value == QLatin1String("auto"))
        return TagCodePage::Auto;
    return std::nullopt;
}

TagCodePage tagCodePageSetting(const QString& text) {
    return parseTagCodePage(text).value_or(DefaultTagCodePage);
}

QString decodeTagText(const char* bytes, qsizetype size, TagCodePage page) {
    switch (page) {
    case TagCodePage::ShiftJis:
        break;
    case TagCodePage::Western:
        return isAscii(bytes, size) ? QString::fromLatin1(bytes, size) : decodeWestern(bytes, size);
    case TagCodePage::Utf8:
        return isAscii(bytes, size) ? QString::fromLatin1(bytes, size) : decodeUtf8(bytes, size);
    case TagCodePage::Auto:
        return decodeTagText(bytes, size, autoFieldCodePage(bytes, size));
    }
    return decodeCodePage(bytes, size);
}

} // namespace sonavue
