// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/catalogue.h"

#include <QHash>
#include <QSet>
#include <array>
#include <cstdint>
#include <vector>

namespace sonavue {
namespace {

// Row numbers by path: open addressing on the path's hash. A slot holds the hash and the
// row, not the text (the row has it), so the index costs 16 to 32 bytes a row and a probe
// compares numbers, not strings.
class PathIndex {
public:
    void insert(std::size_t hash, int row) {
        if ((m_used + 1) * 2 > m_slots.size())
            grow();
        place(Slot{std::uint32_t(hash), row});
        ++m_used;
    }

    // The first indexed row with this hash that match(row) accepts, or -1.
    template <class Match> int find(std::size_t hash, Match match) const {
        if (m_slots.empty())
            return -1;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.row < 0)
                return -1;
            if (slot.hash == std::uint32_t(hash) && match(slot.row))
                return slot.row;
        }
    }

    void squeeze() {
        std::size_t size = 16;
        while (size < m_used * 2)
            size *= 2;
        if (size < m_slots.size())
            rebuild(size);
    }

private:
    struct Slot {
        std::uint32_t hash;
        int row; // -1: empty
    };

    void place(Slot slot) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].row >= 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }

    void grow() { rebuild(m_slots.empty() ? 64 : m_slots.size() * 2); }

    void rebuild(std::size_t size) {
        std::vector<Slot> old(size, Slot{0, -1});
        old.swap(m_slots);
        for (const Slot& slot : old)
            if (slot.row >= 0)
                place(slot);
    }

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
};

} // namespace

struct Catalogue::Impl {
    // Rows live in fixed chunks: growing never moves a row, and the peak memory of a
    // 100,000-row scan is not doubled by a reallocation.
    static constexpr int ChunkBits = 12;
    static constexpr int ChunkRows = 1 << ChunkBits;
    // Columns 0..6; column 7 is empty in every row the scan writes, so it is kept apart.
    using Row = std::array<QString, ColReserved>;

    std::vector<std::unique_ptr<Row[]>> chunks;
    int rows = 0;
    PathIndex pathIndex;
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
    case ColPath:
        target = text;
        // A row whose path is overwritten leaves a stale slot; lookups check the row.
        if (!text.isEmpty())
            m->pathIndex.insert(qHash(text), row);
        return;
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
    if (!m || path.isEmpty())
        return -1;
    return m->pathIndex.find(qHash(path), [&](int r) { return m->row(r)[ColPath] == path; });
}

void Catalogue::squeeze() {
    if (Impl* m = d.get()) {
        m->pathIndex.squeeze();
        m->sharedValues.squeeze();
        m->reserved.squeeze();
    }
}

QString folderPrefixFor(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace sonavue
