// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folder scan's rows: one listed music file's tags (its trailing ID3v1 bytes, its ID3v2
// texts) become its catalogue row, and the row's album, artist, year and genre are offered
// to the value group lists. One writer serves one scan, row after row: the tracks of one
// album repeat their fields, and then cost no decoding and no look-up.
#include "catalogue/catalogue.h"
#include "catalogue/grouplists.h"
#include "catalogue/nativefolder.h"
#include "tags/id3v1.h"
#include "tags/id3v2tags.h"
#include "tags/tagcodepage.h"
#include <QSet>
#include <QString>
#include <array>

namespace sonavue {

// The values, in upper case, that the album, artist, year and genre lists already hold.
struct SeenGroupValues {
    QSet<QString> albums, artists, years, genres;
    void clear() {
        albums.clear();
        artists.clear();
        years.clear();
        genres.clear();
    }
};

class ScanRowWriter {
public:
    ScanRowWriter(Catalogue& catalogue, GroupLists& groups, SeenGroupValues& seen)
        : m_catalogue(catalogue), m_groups(groups), m_seen(seen) {
        forgetValueIds();
    }

    // Appends the row of listed file j of folderPath (its trailing bytes in tag when read,
    // else null; ID3v1 text in codePage) and offers its values to the group lists; the row
    // is complete before anything else can run.
    void write(const QString& folderPath, const NameList& files, int j, const char* tag,
               const ID3v2Fields& id3v2Tags, TagCodePage codePage);
    // Appends the row of listed file j of folderPath as known's row fromRow holds it (the
    // file has not changed since that row was read), and offers its values.
    void writeKnown(const QString& folderPath, const NameList& files, int j, const Catalogue& known,
                    int fromRow);
    // Appends a row kept from an earlier scan: fill(catalogue, row) writes the cells that scan
    // wrote, then the row's album, artist, year and genre are offered to the group lists as
    // the scan offers them (a row without tags has none, so offering them changes nothing).
    template <class Fill> int writeKept(Fill&& fill) {
        const int r = appendRow();
        fill(m_catalogue, r);
        offerGroupValues(r);
        return r;
    }

private:
    // Row r's path: folderPath and file j's name. True for an ASCII name; any other name's
    // text goes into nonAsciiName.
    bool writePath(int r, const QString& folderPath, const NameList& files, int j,
                   QString& nonAsciiName);
    void writeID3v2Columns(const ID3v2Fields& tags, int r);
    void writeTagColumns(const char* tag, int r);
    template <class IfEmpty>
    void writeTextColumn(const char* tag, TagField field, int column, int r, IfEmpty ifEmpty);
    void offerGroupValues(int r);
    // Appends a row to the catalogue. At its first row the catalogue is filled afresh and
    // numbers its values afresh: the numbers held here are forgotten.
    int appendRow();
    void forgetValueIds();
    QSet<QString>& seenSet(int group);

    Catalogue& m_catalogue;
    GroupLists& m_groups;
    SeenGroupValues& m_seen;
    // The code page of the row being written.
    TagCodePage m_rowPage = DefaultTagCodePage;
    // The value last offered to each value group list (as the catalogue numbers it): a
    // track of the same album as the one before it needs no look-up in the seen sets.
    static constexpr std::uint32_t NoValueId = ~std::uint32_t(0);
    std::uint32_t m_lastOffered[4];
    // The raw album, artist and year fields of the last tagged file and their cleaned text:
    // the tracks of one album repeat them, and then cost no decoding and no allocation.
    struct RepeatedField {
        RepeatedField(TagField tagField, int catalogueColumn)
            : field(tagField), column(catalogueColumn) {}
        TagField field;
        int column;
        char raw[30] = {};
        TagCodePage page = DefaultTagCodePage;
        std::uint32_t value = 0; // the catalogue's number for its text
        bool valid = false;
    };
    RepeatedField m_repeated[3] = {
        {AlbumField, ColAlbum}, {ArtistField, ColArtist}, {YearField, ColYear}};
    // The catalogue's number for each genre byte's name, once it has been written.
    std::array<std::uint32_t, 256> m_genreIds;
};

} // namespace sonavue
