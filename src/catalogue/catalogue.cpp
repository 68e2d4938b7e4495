#include "catalogue/catalogue.h"

#include <QHash>
#include <QSet>
#include <array>
#include <vector>

namespace sonavue {

struct Catalogue::Impl {
    // Rows live in fixed chunks: growing never moves a row, and the peak memory of a
    // 100,000-row scan is not doubled by a reallocation.
    static constexpr int ChunkBits = 12;
    static constexpr int ChunkRows = 1 << ChunkBits;
    // Columns 0..6; column 7 is empty in every row the scan writes, so it is kept apart.
    using Row = std::array<QString, ColReserved>;

    std::vector<std::unique_ptr<Row[]>> chunks;
    int rows = 0;
    QHash<QString, int> pathIndex;
    // Album, artist, year and genre values repeat across many rows; each distinct text
    // is stored once and shared (genre names arrive already shared with the genre table).
    QSet<QString> sharedValues;
    QHash<int, QString> reserved;

    Row& row(int r) {
        return chunks[std::size_t(r >> ChunkBits)][std::size_t(r & (ChunkRows - 1))];
    }
    const Row& row(int r) const {
        return chunks[std::size_t(r >> ChunkBits)][std::size_t(r & (ChunkRows - 1))];
    }

    QString shared(int column, int r, const QString& text) {
        if (text.isEmpty())
            return {};
        // Neighbouring rows (one album's tracks) usually hold the very same value.
        if (r > 0) {
            const QString& previous = row(r - 1)[std::size_t(column)];
            if (previous == text)
                return previous;
        }
        const auto it = sharedValues.constFind(text);
        if (it != sharedValues.constEnd())
            return *it;
        sharedValues.insert(text);
        return text;
    }
};

void Catalogue::ImplDeleter::operator()(Impl* impl) const {
    delete impl;
}

Catalogue::Impl& Catalogue::impl() {
    if (!d)
        d.reset(new Impl);
    return *d;
}

void Catalogue::clear() {
    d.reset();
}

int Catalogue::appendRow() {
    Impl& m = impl();
    const int r = m.rows;
    if ((r & (Impl::ChunkRows - 1)) == 0)
        m.chunks.emplace_back(new Impl::Row[Impl::ChunkRows]);
    ++m.rows;
    return r;
}

QString Catalogue::cell(int column, int row) const {
    const Impl* m = implOrNull();
    if (!m || column < 0 || column >= ColumnCount || row < 0 || row >= m->rows)
        return {};
    if (column == ColReserved)
        return m->reserved.value(row);
    return m->row(row)[std::size_t(column)];
}

void Catalogue::setCell(int column, int row, const QString& text) {
    Impl* m = d.get();
    if (!m || column < 0 || column >= ColumnCount || row < 0 || row >= m->rows)
        return;
    if (column == ColReserved) {
        if (text.isEmpty())
            m->reserved.remove(row);
        else
            m->reserved.insert(row, text);
        return;
    }
    QString& target = m->row(row)[std::size_t(column)];
    switch (column) {
    case ColAlbum:
    case ColArtist:
    case ColYear:
    case ColGenre:
        target = m->shared(column, row, text);
        return;
    case ColPath: {
        target = text;
        // Keep the first row that holds a path; a stale entry is checked at lookup.
        auto it = m->pathIndex.find(text);
        if (it == m->pathIndex.end())
            m->pathIndex.insert(text, row);
        else if (m->row(*it)[ColPath] != text)
            *it = row;
        return;
    }
    default:
        target = text;
    }
}

int Catalogue::rowCount() const {
    const Impl* m = implOrNull();
    return m ? m->rows : 0;
}

int Catalogue::rowOfPath(const QString& path) const {
    const Impl* m = implOrNull();
    if (!m)
        return -1;
    const auto it = m->pathIndex.constFind(path);
    if (it != m->pathIndex.constEnd() && m->row(*it)[ColPath] == path)
        return *it;
    if (it == m->pathIndex.constEnd() && !path.isEmpty())
        return -1;
    // A row whose path was overwritten left a stale entry (or path is the empty text
    // every fresh row holds): fall back to looking through the rows.
    for (int r = 0; r < m->rows; ++r)
        if (m->row(r)[ColPath] == path)
            return r;
    return -1;
}

void Catalogue::squeeze() {
    if (Impl* m = d.get()) {
        m->pathIndex.squeeze();
        m->sharedValues.squeeze();
    }
}

QString folderPrefixFor(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace sonavue
