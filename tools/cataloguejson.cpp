// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "cataloguejson.h"

#include "catalogue/catalogue.h"
#include "catalogue/folderscan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sonavue {
namespace {

// Writers into room reserved beforehand: push_back per byte is most of the output's cost.
char* putUtf8(char* p, char32_t cp) {
    if (cp < 0x80) {
        *p++ = char(cp);
    } else if (cp < 0x800) {
        *p++ = char(0xC0 | (cp >> 6));
        *p++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = char(0xE0 | (cp >> 12));
        *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        *p++ = char(0x80 | (cp & 0x3F));
    } else {
        *p++ = char(0xF0 | (cp >> 18));
        *p++ = char(0x80 | ((cp >> 12) & 0x3F));
        *p++ = char(0x80 | ((cp >> 6) & 0x3F));
        *p++ = char(0x80 | (cp & 0x3F));
    }
    return p;
}

char* putEscape(char* p, char16_t unit) {
    static constexpr char hex[] = "0123456789abcdef";
    *p++ = '\\';
    *p++ = 'u';
    *p++ = hex[(unit >> 12) & 0xF];
    *p++ = hex[(unit >> 8) & 0xF];
    *p++ = hex[(unit >> 4) & 0xF];
    *p++ = hex[unit & 0xF];
    return p;
}

bool plainUnit(char16_t u) {
    return u >= 0x20 && u < 0x80 && u != '"' && u != '\\';
}

// An ASCII unit that needs an escape.
char* putAsciiEscape(char* p, char16_t u) {
    *p++ = '\\';
    switch (u) {
    case '"':
        *p++ = '"';
        break;
    case '\\':
        *p++ = '\\';
        break;
    case '\n':
        *p++ = 'n';
        break;
    case '\r':
        *p++ = 'r';
        break;
    case '\t':
        *p++ = 't';
        break;
    default:
        p = putEscape(p - 1, u);
    }
    return p;
}

#if defined(__SSE2__)
// Of the first take bytes of v, how many come before the first that is not plain: below
// 0x20 or from 0x80 up (a signed compare finds both), '"' or '\'.
qsizetype plainRun(__m128i v, qsizetype take) {
    const __m128i special = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                         _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                                                      _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
    const int mask = _mm_movemask_epi8(special);
    return mask ? std::min<qsizetype>(take, __builtin_ctz(unsigned(mask))) : take;
}
#endif

// Up to 16 bytes of Latin-1 text (take of them) copied to p as they are, as far as they
// are plain: returns how many were. All 16 may be stored: the output has room for them.
qsizetype plainLatin1Prefix(char* p, const unsigned char* s, qsizetype take) {
#if defined(__SSE2__)
    unsigned char padded[16];
    const unsigned char* from = s;
    if (take < 16) { // the last few, padded with spaces (never read past the text)
        std::memset(padded, ' ', sizeof padded);
        std::memcpy(padded, s, std::size_t(take));
        from = padded;
    }
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    return plainRun(v, take);
#else
    qsizetype k = 0;
    for (; k < take && plainUnit(s[k]); ++k)
        p[k] = char(s[k]);
    return k;
#endif
}

char* putLatin1(char* p, const unsigned char* s, qsizetype n) {
    qsizetype i = 0;
    while (i < n) {
        const qsizetype take = std::min<qsizetype>(16, n - i);
        const qsizetype plain = plainLatin1Prefix(p, s + i, take);
        p += plain;
        i += plain;
        if (plain < take) {
            const unsigned char c = s[i++];
            p = c < 0x80 ? putAsciiEscape(p, c) : putUtf8(p, c);
        }
    }
    return p;
}

// Unit i of text where the catalogue keeps it, which need not be aligned for char16_t.
char16_t unitAt(const char16_t* units, qsizetype i) {
    char16_t u;
    std::memcpy(&u, reinterpret_cast<const char*>(units) + i * qsizetype(sizeof u), sizeof u);
    return u;
}

// The same for up to eight UTF-16 units.
qsizetype plainUtf16Prefix(char* p, const char16_t* units, qsizetype take) {
#if defined(__SSE2__)
    char16_t padded[8];
    const void* from = units;
    if (take < 8) {
        std::fill(std::begin(padded), std::end(padded), u' ');
        std::memcpy(padded, units, std::size_t(take) * sizeof(char16_t));
        from = padded;
    }
    // Narrowed with saturation: a unit from 0x100 up becomes 0xFF or 0, neither plain.
    const __m128i wide = _mm_loadu_si128(static_cast<const __m128i*>(from));
    const __m128i v = _mm_packus_epi16(wide, wide);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    return plainRun(v, take); // its upper half repeats the lower
#else
    qsizetype k = 0;
    for (; k < take && plainUnit(unitAt(units, k)); ++k)
        p[k] = char(unitAt(units, k));
    return k;
#endif
}

// Unit i, and its pair when it starts one; returns the units taken.
qsizetype putUnit(char*& p, const char16_t* units, qsizetype i, qsizetype n) {
    const char16_t u = unitAt(units, i);
    if (plainUnit(u)) {
        *p++ = char(u);
    } else if (u < 0x80) {
        p = putAsciiEscape(p, u);
    } else if (QChar::isHighSurrogate(u) && i + 1 < n &&
               QChar::isLowSurrogate(unitAt(units, i + 1))) {
        p = putUtf8(p, QChar::surrogateToUcs4(u, unitAt(units, i + 1)));
        return 2;
    } else if (QChar::isSurrogate(u) || u == 0xFEFF) {
        // A lone surrogate includes the escaped path bytes U+DC80..U+DCFF. U+FEFF is
        // escaped because readers that decode strings as UTF-8 drop EF BB BF at their start.
        p = putEscape(p, u);
    } else {
        p = putUtf8(p, u);
    }
    return 1;
}

char* putUtf16(char* p, const char16_t* units, qsizetype n) {
    qsizetype i = 0;
    while (i < n) {
        const qsizetype take = std::min<qsizetype>(8, n - i);
        const qsizetype plain = plainUtf16Prefix(p, units + i, take);
        p += plain;
        i += plain;
        if (plain < take)
            i += putUnit(p, units, i, n);
    }
    return p;
}

// The most bytes a text of these pieces takes as a JSON string: six per unit (\uXXXX),
// plus the quotes, plus room for a last step of 16 bytes stored whole.
std::size_t jsonRoom(const CellPieces& text) {
    std::size_t room = 2 + 16;
    for (int k = 0; k < text.count; ++k)
        room += std::size_t(text.pieces[k].size) * 6;
    return room;
}

char* putJsonPieces(char* p, const CellPieces& text) {
    *p++ = '"';
    for (int k = 0; k < text.count; ++k) {
        const TextPiece& piece = text.pieces[k];
        p = piece.wide ? putUtf16(p, static_cast<const char16_t*>(piece.data), piece.size)
                       : putLatin1(p, static_cast<const unsigned char*>(piece.data), piece.size);
    }
    *p++ = '"';
    return p;
}

CellPieces piecesOf(const QString& text) {
    return {{{text.constData(), text.size(), true}}, text.isEmpty() ? 0 : 1};
}

// The output is made in pieces of about ChunkBytes: a buffer the size of the whole output
// (20 MB for 100,000 tracks) would cost a fresh page for every 4 KiB of it. The buffer is
// written through a pointer into room made once: growing a string per text would clear
// six bytes for every one written.
class JsonChunks {
public:
    static constexpr std::size_t ChunkBytes = 1 << 20;

    explicit JsonChunks(const std::function<bool(std::string_view)>& write) : m_write(write) {
        m_buffer.resize(ChunkBytes + 64 * 1024);
    }
    // Room for at least bytes more at at(); false once writing has failed.
    bool makeRoom(std::size_t bytes) {
        if (m_used + bytes <= m_buffer.size())
            return m_ok;
        if (m_used > 0 && !flush())
            return false;
        if (bytes > m_buffer.size())
            m_buffer.resize(bytes);
        return m_ok;
    }
    char* at() { return m_buffer.data() + m_used; }
    void wrote(char* end) { m_used = std::size_t(end - m_buffer.data()); }
    void put(std::string_view text) {
        if (makeRoom(text.size())) {
            std::memcpy(at(), text.data(), text.size());
            m_used += text.size();
        }
    }
    // A text as a JSON string, after sep.
    void putString(std::string_view sep, const CellPieces& text) {
        if (!makeRoom(sep.size() + jsonRoom(text)))
            return;
        char* p = at();
        std::memcpy(p, sep.data(), sep.size());
        wrote(putJsonPieces(p + sep.size(), text));
    }
    // Hands a full piece on; false once writing has failed.
    bool pieceDone() {
        if (m_used < ChunkBytes)
            return m_ok;
        return flush();
    }
    bool flush() {
        if (m_ok && m_used > 0)
            m_ok = m_write(std::string_view(m_buffer.data(), m_used));
        m_used = 0;
        return m_ok;
    }

private:
    const std::function<bool(std::string_view)>& m_write;
    std::string m_buffer;
    std::size_t m_used = 0;
    bool m_ok = true;
};

bool writeGroup(JsonChunks& chunks, const char* key, const GroupList& list) {
    chunks.put("\"");
    chunks.put(key);
    chunks.put("\": [");
    for (int i = 0; i < list.count(); ++i) {
        chunks.putString(i > 0 ? ", " : "", piecesOf(list.at(i)));
        if (!chunks.pieceDone())
            return false;
    }
    chunks.put("]");
    return true;
}

} // namespace

void appendJsonPieces(std::string& out, const CellPieces& text) {
    const std::size_t start = out.size();
    out.resize(start + jsonRoom(text));
    out.resize(std::size_t(putJsonPieces(out.data() + start, text) - out.data()));
}

void appendJsonString(std::string& out, const QString& text) {
    appendJsonPieces(out, piecesOf(text));
}

bool writeCatalogueJson(const QString& folderPrefix, const Catalogue& catalogue,
                        const GroupLists& groups,
                        const std::function<bool(std::string_view)>& write) {
    JsonChunks chunks(write);
    chunks.putString("{\"folderPrefix\": ", piecesOf(folderPrefix));
    chunks.put(",\n\"tracks\": [");
    CellPieces row[Catalogue::ColumnCount];
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        catalogue.rowPieces(r, row);
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            chunks.putString(c > 0 ? ", " : r == 0 ? "\n[" : ",\n[", row[c]);
        chunks.put("]");
        if (!chunks.pieceDone())
            return false;
    }
    chunks.put("],\n\"groups\": {");
    static constexpr const char* keys[] = {"folder", "album", "artist", "year", "genre"};
    for (int g = GroupFolder; g <= GroupGenre; ++g) {
        if (g > 0)
            chunks.put(",\n");
        if (!writeGroup(chunks, keys[g], groups[g]))
            return false;
    }
    chunks.put("}}\n");
    return chunks.flush();
}

std::string catalogueJson(const QString& folderPrefix, const Catalogue& catalogue,
                          const GroupLists& groups) {
    std::string whole;
    writeCatalogueJson(folderPrefix, catalogue, groups, [&](std::string_view piece) {
        whole += piece;
        return true;
    });
    return whole;
}

} // namespace sonavue
