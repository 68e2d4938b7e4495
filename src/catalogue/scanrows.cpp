// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/scanrows.h"

#include "base/nativepath.h"
#include "tags/genre.h"
#include "tags/tagtext.h"
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sonavue {
namespace {

constexpr int TitleWidth = TitleField.width;

bool isAscii(const char* bytes, int size) {
    // Eight bytes at a time: every name and tag field is looked at.
    std::uint64_t high = 0;
    int i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, sizeof word);
        high |= word;
    }
    for (; i < size; ++i)
        high |= static_cast<unsigned char>(bytes[i]);
    return (high & 0x8080808080808080ull) == 0;
}

// cleanTagText(decodeTagText(field)), with one allocation instead of two for the common
// field of plain ASCII (which every code page maps to itself): the padding is cut off as bytes.
QString cleanedField(const char* tag, TagField field, TagCodePage codePage) {
    const char* begin = tag + field.offset;
    const char* end = begin + field.width;
    if (!isAscii(begin, field.width))
        return cleanTagText(decodeTagText(begin, field.width, codePage));
    while (begin < end && (*begin == '\0' || *begin == ' '))
        ++begin;
    while (end > begin && (end[-1] == '\0' || end[-1] == ' '))
        --end;
    if (begin == end)
        return {};
    QString text = QString::fromLatin1(begin, end - begin);
    if (std::memchr(begin, 0, std::size_t(end - begin)))
        text.replace(QChar(u'\0'), QLatin1Char(' '));
    return text;
}

// Which of a field's bytes (at most 31) are above 0x7F, NULs, and NULs or spaces: bit k for
// byte k.
struct FieldBytes {
    std::uint32_t high = 0, nul = 0, blank = 0;
};

FieldBytes fieldBytes(const char* begin, int width) {
    FieldBytes f;
#if defined(__SSE2__)
    if (width >= 16) {
        // Two loads within the field, overlapping where it is narrower than 32 bytes: a blank
        // comment is looked at in a few steps, not byte by byte.
        const int shift = width - 16;
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + shift));
        const auto bits = [shift](__m128i a, __m128i b) {
            return std::uint32_t(_mm_movemask_epi8(a)) |
                   (std::uint32_t(_mm_movemask_epi8(b)) << shift);
        };
        const __m128i zero = _mm_setzero_si128(), space = _mm_set1_epi8(' ');
        f.high = bits(lo, hi);
        f.nul = bits(_mm_cmpeq_epi8(lo, zero), _mm_cmpeq_epi8(hi, zero));
        f.blank = f.nul | bits(_mm_cmpeq_epi8(lo, space), _mm_cmpeq_epi8(hi, space));
        return f;
    }
#endif
    for (int k = 0; k < width; ++k) {
        const auto byte = static_cast<unsigned char>(begin[k]);
        f.high |= std::uint32_t(byte >= 0x80) << k;
        f.nul |= std::uint32_t(byte == 0) << k;
        f.blank |= std::uint32_t(byte == 0 || byte == ' ') << k;
    }
    return f;
}

// The field's text straight from its bytes when it is plain ASCII with no NUL between its
// ends: what cleanedField would make of it, without making a string (an empty view for a
// blank field). Nothing when the field needs decoding.
std::optional<QLatin1StringView> plainAsciiField(const char* tag, TagField field) {
    static_assert(TitleField.width < 32 && CommentField.width < 32);
    const char* begin = tag + field.offset;
    const FieldBytes f = fieldBytes(begin, field.width);
    if (f.high)
        return std::nullopt;
    const std::uint32_t text = ~f.blank & ((1u << field.width) - 1);
    if (text == 0)
        return QLatin1StringView(begin, qsizetype(0));
    const int first = std::countr_zero(text);
    const int last = 31 - std::countl_zero(text);
    const std::uint32_t between = ((2u << last) - 1) & ~((1u << first) - 1);
    if (f.nul & between)
        return std::nullopt;
    return QLatin1StringView(begin + first, last - first + 1);
}

// The file's name as a title: cut to the title field's width (never inside a surrogate
// pair), then cleaned like the field it stands in for.
QString nameAsTitle(const QString& readableName) {
    return cleanTagText(fixedWidth(readableName, TitleWidth));
}

// The four value group lists and their columns, in the order the scan offers them.
struct GroupColumn {
    int group;
    int column;
};
constexpr GroupColumn GroupColumns[] = {
    {GroupAlbum, ColAlbum}, {GroupArtist, ColArtist}, {GroupYear, ColYear}, {GroupGenre, ColGenre}};

} // namespace

// A title or comment field of the ID3v1 tag; ifEmpty() stands in for an empty field.
template <class IfEmpty>
void ScanRowWriter::writeTextColumn(const char* tag, TagField field, int column, int r,
                                    IfEmpty ifEmpty) {
    Catalogue& catalogue = m_catalogue;
    const auto plain = plainAsciiField(tag, field);
    if (plain && !plain->isEmpty()) {
        catalogue.setCellLatin1(column, r, *plain);
        return;
    }
    QString text = plain ? QString() : cleanedField(tag, field, m_rowPage);
    if (text.isEmpty())
        text = ifEmpty();
    catalogue.setCell(column, r, text);
}

bool ScanRowWriter::writePath(int r, const QString& folderPath, const NameList& files, int j,
                              QString& nonAsciiName) {
    // The catalogue keeps the folder once and the name apart; an ASCII name goes in
    // straight from its bytes (no text of the name alone is needed unless it becomes
    // the title).
    const char* native = files.native(j);
    const int size = files.nativeSize(j);
    if (isAscii(native, size)) {
        m_catalogue.setPathLatin1(r, folderPath, QLatin1StringView(native, size));
        return true;
    }
    nonAsciiName = pathFromNative(native, size);
    m_catalogue.setPath(r, folderPath, nonAsciiName);
    return false;
}

void ScanRowWriter::writeKnown(const QString& folderPath, const NameList& files, int j,
                               const Catalogue& known, int fromRow) {
    const int r = appendRow();
    QString nonAsciiName;
    writePath(r, folderPath, files, j, nonAsciiName);
    m_catalogue.copyTagCells(r, known, fromRow);
    offerGroupValues(r);
}

void ScanRowWriter::write(const QString& folderPath, const NameList& files, int j, const char* tag,
                          const ID3v2Fields& id3v2Tags, TagCodePage codePage) {
    m_rowPage = codePage;
    Catalogue& catalogue = m_catalogue;
    const int r = appendRow();
    const char* native = files.native(j);
    const int size = files.nativeSize(j);
    QString nonAsciiName;
    const bool asciiName = writePath(r, folderPath, files, j, nonAsciiName);
    const auto name = [&] {
        return asciiName ? QString::fromLatin1(native, size) : readableText(nonAsciiName);
    };
    const auto nameIsTitle = [&] {
        if (asciiName)
            catalogue.setCellLatin1(ColTitle, r, QLatin1StringView(native, size));
        else
            catalogue.setCell(ColTitle, r, name());
    };
    const bool hasID3v1 = tag && std::memcmp(tag, "TAG", 3) == 0;
    if (!hasID3v1 && !id3v2Tags.any()) {
        nameIsTitle();
        return;
    }
    if (hasID3v1) {
        writeTextColumn(tag, TitleField, ColTitle, r, [&] { return nameAsTitle(name()); });
        writeTagColumns(tag, r);
    } else {
        nameIsTitle();
    }
    if (id3v2Tags.any())
        writeID3v2Columns(id3v2Tags, r);
    offerGroupValues(r);
}

// The ID3v2 tag's texts stand before ID3v1's, whole (not cut to a field's width).
void ScanRowWriter::writeID3v2Columns(const ID3v2Fields& tags, int r) {
    Catalogue& catalogue = m_catalogue;
    const std::pair<const std::optional<QString>*, CatalogueColumn> cells[] = {
        {&tags.title, ColTitle}, {&tags.album, ColAlbum}, {&tags.artist, ColArtist},
        {&tags.year, ColYear},   {&tags.genre, ColGenre}, {&tags.comment, ColComment}};
    for (const auto& [text, column] : cells) {
        if (!*text)
            continue;
        const QString cleaned = cleanTagText(**text);
        if (!cleaned.isEmpty())
            catalogue.setCell(column, r, cleaned);
    }
}

void ScanRowWriter::writeTagColumns(const char* tag, int r) {
    Catalogue& catalogue = m_catalogue;
    for (RepeatedField& f : m_repeated) {
        const char* raw = tag + f.field.offset;
        const auto width = std::size_t(f.field.width);
        if (!f.valid || f.page != m_rowPage || std::memcmp(f.raw, raw, width) != 0) {
            std::memcpy(f.raw, raw, width);
            f.page = m_rowPage;
            catalogue.setCell(f.column, r, cleanedField(tag, f.field, m_rowPage));
            f.value = catalogue.valueId(f.column, r);
            f.valid = true;
        } else {
            catalogue.setValueId(f.column, r, f.value);
        }
    }
    std::uint32_t& genre = m_genreIds[static_cast<unsigned char>(tag[GenreOffset])];
    if (genre == NoValueId) {
        catalogue.setCell(ColGenre, r, genreName(static_cast<unsigned char>(tag[GenreOffset])));
        genre = catalogue.valueId(ColGenre, r);
    } else {
        catalogue.setValueId(ColGenre, r, genre);
    }
    writeTextColumn(tag, CommentField, ColComment, r, [] { return QString(); });
}

int ScanRowWriter::appendRow() {
    const int r = m_catalogue.appendRow();
    if (r == 0)
        forgetValueIds();
    return r;
}

void ScanRowWriter::forgetValueIds() {
    std::fill(std::begin(m_lastOffered), std::end(m_lastOffered), NoValueId);
    for (RepeatedField& f : m_repeated)
        f.valid = false;
    m_genreIds.fill(NoValueId);
}

void ScanRowWriter::offerGroupValues(int r) {
    for (int k = 0; k < 4; ++k) {
        const GroupColumn gc = GroupColumns[k];
        const std::uint32_t id = m_catalogue.valueId(gc.column, r);
        if (id == m_lastOffered[k])
            continue;
        m_lastOffered[k] = id;
        if (id == 0)
            continue;
        const QString added = newGroupValue(m_catalogue.cell(gc.column, r), seenSet(gc.group));
        if (!added.isEmpty())
            m_groups[gc.group].add(added);
    }
}

QSet<QString>& ScanRowWriter::seenSet(int group) {
    switch (group) {
    case GroupAlbum:
        return m_seen.albums;
    case GroupArtist:
        return m_seen.artists;
    case GroupYear:
        return m_seen.years;
    default:
        return m_seen.genres;
    }
}

} // namespace sonavue
