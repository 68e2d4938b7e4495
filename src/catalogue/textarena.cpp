// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/textarena.h"

#include <algorithm>
#include <cstring>

namespace sonavue {
namespace {

// Blocks of this size take the common short texts; a text over a quarter of it gets a
// block of its own, so a block is never mostly left empty.
constexpr std::size_t BlockBytes = std::size_t(256) * 1024;
// A text's header: one byte (bit 0: UTF-16; bits 1..7: the length, or LongSize when four
// bytes of length follow).
constexpr unsigned LongSize = 127;

std::size_t headerBytes(qsizetype size) {
    return size < qsizetype(LongSize) ? 1 : 1 + sizeof(std::uint32_t);
}

char* writeHeader(char* at, qsizetype size, bool wide) {
    const bool isLong = size >= qsizetype(LongSize);
    *at++ = char(((isLong ? LongSize : unsigned(size)) << 1) | (wide ? 1u : 0u));
    if (isLong) {
        const auto length = std::uint32_t(size);
        std::memcpy(at, &length, sizeof length);
        at += sizeof length;
    }
    return at;
}

// FNV-1a over the UTF-16 units.
constexpr std::size_t HashPrime = 1099511628211ull;

bool fitsLatin1(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

} // namespace

char* TextArena::reserve(std::size_t bytes, Ref& ref) {
    if (m_capacity - m_used < bytes) {
        const std::size_t size = bytes > BlockBytes / 4 ? bytes : BlockBytes;
        m_blocks.emplace_back(new char[size]);
        m_used = 0;
        m_capacity = size;
    }
    char* at = m_blocks.back().get() + m_used;
    ref = (Ref(m_blocks.size() - 1) << 32) | Ref(m_used + 1);
    m_used += bytes;
    return at;
}

TextArena::Ref TextArena::addLatin1(const char* bytes, qsizetype size) {
    if (size < 0 || size > qsizetype(UINT32_MAX >> 2))
        return Null;
    Ref ref = Null;
    char* at = writeHeader(reserve(headerBytes(size) + std::size_t(size), ref), size, false);
    if (size > 0)
        std::memcpy(at, bytes, std::size_t(size));
    return ref;
}

TextArena::Ref TextArena::add(QStringView text) {
    if (text.isNull())
        return Null;
    const qsizetype size = text.size();
    if (size > qsizetype(UINT32_MAX >> 2))
        return Null;
    const bool wide = !fitsLatin1(text);
    const std::size_t bytes = std::size_t(size) * (wide ? sizeof(char16_t) : 1);
    Ref ref = Null;
    char* at = writeHeader(reserve(headerBytes(size) + bytes, ref), size, wide);
    if (wide) {
        std::memcpy(at, text.utf16(), bytes);
    } else {
        for (qsizetype i = 0; i < size; ++i)
            at[i] = char(text[i].unicode());
    }
    return ref;
}

TextArena::Entry TextArena::entry(Ref ref) const {
    const char* at = m_blocks[std::size_t(ref >> 32)].get() + ((ref & 0xFFFFFFFFu) - 1);
    const auto header = static_cast<unsigned char>(*at++);
    qsizetype size = header >> 1;
    if (unsigned(size) == LongSize) {
        std::uint32_t length = 0;
        std::memcpy(&length, at, sizeof length);
        at += sizeof length;
        size = qsizetype(length);
    }
    return {at, size, (header & 1u) != 0};
}

TextPiece TextArena::piece(Ref ref) const {
    if (ref == Null)
        return {};
    const Entry e = entry(ref);
    return {e.data, e.size, e.wide};
}

qsizetype TextArena::size(Ref ref) const {
    return ref == Null ? 0 : entry(ref).size;
}

void TextArena::copyTo(Ref ref, QChar* out) const {
    if (ref == Null)
        return;
    const Entry e = entry(ref);
    if (e.wide) {
        std::memcpy(static_cast<void*>(out), e.data, std::size_t(e.size) * sizeof(char16_t));
        return;
    }
    for (qsizetype i = 0; i < e.size; ++i)
        out[i] = QChar(char16_t(static_cast<unsigned char>(e.data[i])));
}

QString TextArena::text(Ref ref) const {
    if (ref == Null)
        return {};
    const Entry e = entry(ref);
    if (!e.wide)
        return QString::fromLatin1(e.data, e.size);
    QString out(e.size, Qt::Uninitialized);
    std::memcpy(static_cast<void*>(out.data()), e.data, std::size_t(e.size) * sizeof(char16_t));
    return out;
}

bool TextArena::equals(Ref ref, QStringView text) const {
    if (ref == Null)
        return text.isNull();
    const Entry e = entry(ref);
    if (e.size != text.size())
        return false;
    if (e.wide)
        return std::memcmp(e.data, text.utf16(), std::size_t(e.size) * sizeof(char16_t)) == 0;
    return QLatin1StringView(e.data, e.size) == text;
}

std::size_t TextArena::hash(Ref ref, std::size_t seed) const {
    if (ref == Null)
        return seed;
    const Entry e = entry(ref);
    std::size_t h = seed;
    if (!e.wide) {
        for (qsizetype i = 0; i < e.size; ++i)
            h = (h ^ static_cast<unsigned char>(e.data[i])) * HashPrime;
        return h;
    }
    for (qsizetype i = 0; i < e.size; ++i) {
        char16_t unit = 0;
        std::memcpy(&unit, e.data + i * 2, sizeof unit);
        h = (h ^ unit) * HashPrime;
    }
    return h;
}

std::size_t TextArena::hashOf(QStringView text, std::size_t seed) {
    std::size_t h = seed;
    for (const QChar c : text)
        h = (h ^ c.unicode()) * HashPrime;
    return h;
}

} // namespace sonavue
