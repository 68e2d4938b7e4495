// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "cataloguejson.h"

#include "catalogue/catalogue.h"
#include "catalogue/folderscan.h"

#include <cstdint>
#include <cstring>

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

char* putLatin1(char* p, const unsigned char* s, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (plainUnit(c))
            *p++ = char(c);
        else
            p = c < 0x80 ? putAsciiEscape(p, c) : putUtf8(p, c);
    }
    return p;
}

// Unit i of text where the catalogue keeps it, which need not be aligned for char16_t.
char16_t unitAt(const char16_t* units, qsizetype i) {
    char16_t u;
    std::memcpy(&u, reinterpret_cast<const char*>(units) + i * qsizetype(sizeof u), sizeof u);
    return u;
}

char* putUtf16(char* p, const char16_t* units, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = unitAt(units, i);
        if (plainUnit(u)) {
            *p++ = char(u);
        } else if (u < 0x80) {
            p = putAsciiEscape(p, u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n &&
                   QChar::isLowSurrogate(unitAt(units, i + 1))) {
            p = putUtf8(p, QChar::surrogateToUcs4(u, unitAt(units, i + 1)));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            p = putEscape(p, u); // includes the escaped path bytes U+DC80..U+DCFF
        } else if (u == 0xFEFF) {
            // Escaped: readers that decode strings as UTF-8 drop EF BB BF at their start.
            p = putEscape(p, u);
        } else {
            p = putUtf8(p, u);
        }
    }
    return p;
}

// The output is made in pieces of about ChunkBytes: a buffer the size of the whole output
// (20 MB for 100,000 tracks) would cost a fresh page for every 4 KiB of it.
class JsonChunks {
public:
    static constexpr std::size_t ChunkBytes = 1 << 20;

    explicit JsonChunks(const std::function<bool(std::string_view)>& write) : m_write(write) {
        m_out.reserve(ChunkBytes + 64 * 1024);
    }
    std::string& out() { return m_out; }
    // Hands a full piece on; false once writing has failed.
    bool pieceDone() {
        if (m_out.size() < ChunkBytes)
            return m_ok;
        return flush();
    }
    bool flush() {
        if (m_ok && !m_out.empty())
            m_ok = m_write(m_out);
        m_out.clear();
        return m_ok;
    }

private:
    const std::function<bool(std::string_view)>& m_write;
    std::string m_out;
    bool m_ok = true;
};

bool writeGroup(JsonChunks& chunks, const char* key, const GroupList& list) {
    std::string& out = chunks.out();
    out += '"';
    out += key;
    out += "\": [";
    for (int i = 0; i < list.count(); ++i) {
        if (i > 0)
            out += ", ";
        appendJsonString(out, list.at(i));
        if (!chunks.pieceDone())
            return false;
    }
    out += ']';
    return true;
}

} // namespace

void appendJsonPieces(std::string& out, const CellPieces& text) {
    // At most six bytes per unit (\uXXXX), plus the quotes.
    std::size_t room = 2;
    for (int k = 0; k < text.count; ++k)
        room += std::size_t(text.pieces[k].size) * 6;
    const std::size_t start = out.size();
    out.resize(start + room);
    char* p = out.data() + start;
    *p++ = '"';
    for (int k = 0; k < text.count; ++k) {
        const TextPiece& piece = text.pieces[k];
        p = piece.wide ? putUtf16(p, static_cast<const char16_t*>(piece.data), piece.size)
                       : putLatin1(p, static_cast<const unsigned char*>(piece.data), piece.size);
    }
    *p++ = '"';
    out.resize(std::size_t(p - out.data()));
}

void appendJsonString(std::string& out, const QString& text) {
    const CellPieces one{{{text.constData(), text.size(), true}}, text.isEmpty() ? 0 : 1};
    appendJsonPieces(out, one);
}

bool writeCatalogueJson(const QString& folderPrefix, const Catalogue& catalogue,
                        const GroupLists& groups,
                        const std::function<bool(std::string_view)>& write) {
    JsonChunks chunks(write);
    std::string& out = chunks.out();
    out += "{\"folderPrefix\": ";
    appendJsonString(out, folderPrefix);
    out += ",\n\"tracks\": [";
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        out += r == 0 ? "\n[" : ",\n[";
        for (int c = 0; c < Catalogue::ColumnCount; ++c) {
            if (c > 0)
                out += ", ";
            appendJsonPieces(out, catalogue.cellPieces(c, r));
        }
        out += ']';
        if (!chunks.pieceDone())
            return false;
    }
    out += "],\n\"groups\": {";
    static constexpr const char* keys[] = {"folder", "album", "artist", "year", "genre"};
    for (int g = GroupFolder; g <= GroupGenre; ++g) {
        if (g > 0)
            out += ",\n";
        if (!writeGroup(chunks, keys[g], groups[g]))
            return false;
    }
    out += "}}\n";
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
