// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The catalogue: one row of eight text cells per music file found by the last scan.
#include "base/filestamp.h"
#include "catalogue/textarena.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>

namespace sonavue {

enum CatalogueColumn {
    ColPath = 0,
    ColTitle = 1,
    ColAlbum = 2,
    ColArtist = 3,
    ColYear = 4,
    ColGenre = 5,
    ColComment = 6,
    ColReserved = 7
};

// A cell's text as the catalogue holds it, read in order: a path is its folder and its
// name, every other cell one piece (none for empty text).
struct CellPieces {
    TextPiece pieces[2];
    int count = 0;
};

class Catalogue {
public:
    static constexpr int ColumnCount = 8;

    void clear();
    // Adds a row of eight empty cells; returns its number (the old trackCount).
    int appendRow();
    // Out-of-range columns or rows read as empty text.
    QString cell(int column, int row) const;
    // The same text without making a string (for writing every cell out); valid until the
    // catalogue next changes.
    CellPieces cellPieces(int column, int row) const;
    // Every cell of a row so (all empty for a row out of range).
    void rowPieces(int row, CellPieces (&cells)[ColumnCount]) const;
    // The number of an album, artist, year or genre cell's text: within one filling of the
    // catalogue (until clear()), equal numbers mean equal text; 0 is empty text.
    std::uint32_t valueId(int column, int row) const;
    // Sets such a cell to the text valueId gave that number in this filling (ignored for a
    // number it never gave).
    void setValueId(int column, int row, std::uint32_t id);
    // Ignored for out-of-range columns or rows.
    void setCell(int column, int row, const QString& text);
    // The scan's ways to fill a row without a string per cell. A path given as its folder
    // (up to and with its last '/') and its file name reads back as folder + name; a
    // Latin-1 text reads back as those characters.
    void setPath(int row, const QString& folder, QStringView name);
    void setPathLatin1(int row, const QString& folder, QLatin1StringView name);
    void setCellLatin1(int column, int row, QLatin1StringView text);
    // Columns 1 to 6 of row as other's fromRow holds them, and its file's stamp (a row a
    // scan keeps because its file has not changed).
    void copyTagCells(int row, const Catalogue& other, int fromRow);
    // The stamp of the file the row was read from (unknown when it was not recorded).
    void setStamp(int row, const FileStamp& stamp);
    FileStamp stamp(int row) const;
    int rowCount() const;
    int trackCount() const { return rowCount(); }
    bool hasRow(int row) const { return row >= 0 && row < rowCount(); }
    // The row whose column 0 is exactly path, or -1 (an index, so a folder's rows are
    // found in the folder's file count rather than the catalogue's row count). Empty
    // text names no row.
    int rowOfPath(const QString& path) const;
    // The same for the path folder + name (folder up to and with its last '/'), without
    // making the path: safe from any thread while nobody changes the catalogue.
    int rowOfPath(QStringView folder, QStringView name) const;
    // Lets storage release spare capacity after a scan.
    void squeeze();
    // Trades every row with other's (a library scanned elsewhere takes this one's place).
    void swap(Catalogue& other) noexcept { d.swap(other.d); }
    // A copy of every row that shares no storage that either changes: a worker thread can
    // read the copy while this catalogue is cleared or refilled.
    Catalogue clone() const;

private:
    struct Impl;
    struct ImplDeleter {
        void operator()(Impl*) const;
    };
    std::unique_ptr<Impl, ImplDeleter> d;
    Impl& impl();
    const Impl* implOrNull() const { return d.get(); }
};

// The music folder followed by exactly one '/' (none added when it already ends in '/').
QString folderPrefixFor(const QString& folder);

} // namespace sonavue
