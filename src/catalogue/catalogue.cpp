// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/catalogue.h"

#include "catalogue/textarena.h"
#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
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
    static constexpr int ValueColumns = 4; // album, artist, year, genre
    static constexpr std::size_t HashBasis = 14695981039346656037ull;

    // A row holds numbers, not texts. Its path is a shared folder (everything up to the
    // last '/') and a file name in the arena; its title and comment are in the arena; its
    // album, artist, year and genre are shared values, each distinct text stored once
    // (genre names arrive already shared with the genre table). Column 7 is empty in
    // every row the scan writes, so it is kept apart.
    struct Row {
        TextArena::Ref name = TextArena::Null;
        TextArena::Ref title = TextArena::Null;
        TextArena::Ref comment = TextArena::Null;
        std::uint32_t folder = 0; // 0 with a null name: no path
        std::array<std::uint32_t, ValueColumns> values{};
    };

    std::vector<std::unique_ptr<Row[]>> chunks;
    int rows = 0;
    TextArena texts;
    PathIndex pathIndex;
    // Folders by number; number 0 is the empty folder (a path without '/').
    std::vector<QString> folders{QString()};
    std::vector<std::size_t> folderHashes{HashBasis};
    QHash<QString, std::uint32_t> folderNumbers;
    std::uint32_t lastFolder = 0;
    // Shared values by number; number 0 is empty.
    std::vector<QString> values{QString()};
    QHash<QString, std::uint32_t> valueNumbers;
    QHash<int, QString> reserved;
    // The files' stamps by row; empty until one is set (a catalogue filled by hand).
    std::vector<FileStamp> stamps;

    Row& row(int r) {
        return chunks[std::size_t(r >> ChunkBits)][std::size_t(r & (ChunkRows - 1))];
    }
    const Row& row(int r) const {
        return chunks[std::size_t(r >> ChunkBits)][std::size_t(r & (ChunkRows - 1))];
    }

    static int valueSlot(int column) { return column - ColAlbum; }

    std::uint32_t valueNumber(int column, int r, const QString& text) {
        if (text.isEmpty())
            return 0;
        // Neighbouring rows (one album's tracks) usually hold the very same value.
        if (r > 0) {
            const std::uint32_t previous = row(r - 1).values[std::size_t(valueSlot(column))];
            if (values[previous] == text)
                return previous;
        }
        const auto it = valueNumbers.constFind(text);
        if (it != valueNumbers.constEnd())
            return *it;
        const auto number = std::uint32_t(values.size());
        values.push_back(text);
        valueNumbers.insert(text, number);
        return number;
    }

    // The scan gives every row of a folder the same string: kept as given (shared), the
    // folder of the row before is then recognised without comparing its text.
    std::uint32_t folderNumber(const QString& folder) {
        const QString& last = folders[lastFolder];
        if (!folder.isEmpty() && last.constData() == folder.constData() &&
            last.size() == folder.size())
            return lastFolder;
        return folderNumber(QStringView(folder), &folder);
    }

    std::uint32_t folderNumber(QStringView folder, const QString* shared = nullptr) {
        if (folder.isEmpty())
            return 0;
        if (folders[lastFolder] == folder)
            return lastFolder;
        const QString key = shared ? *shared : folder.toString();
        auto it = folderNumbers.constFind(key);
        if (it == folderNumbers.constEnd()) {
            it = folderNumbers.insert(key, std::uint32_t(folders.size()));
            folders.push_back(key);
            folderHashes.push_back(TextArena::hashOf(folder, HashBasis));
        }
        lastFolder = *it;
        return lastFolder;
    }

    void setPath(int r, std::uint32_t folder, TextArena::Ref name) {
        Row& target = row(r);
        target.folder = folder;
        target.name = name;
        // A row whose path is overwritten leaves a stale slot; lookups check the row.
        if (folders[folder].isEmpty() && texts.size(name) == 0)
            return;
        pathIndex.insert(texts.hash(name, folderHashes[folder]), r);
    }

    QString path(const Row& r) const {
        if (r.folder == 0 && r.name == TextArena::Null)
            return {};
        const QString& folder = folders[r.folder];
        const qsizetype nameSize = texts.size(r.name);
        if (nameSize == 0)
            return folder.isEmpty() ? QStringLiteral("") : folder;
        QString out(folder.size() + nameSize, Qt::Uninitialized);
        std::copy(folder.cbegin(), folder.cend(), out.data());
        texts.copyTo(r.name, out.data() + folder.size());
        return out;
    }

    // A cell of r, row number row, where its text lies.
    CellPieces cellPieces(const Row& r, int column, int row) const;

    // A text of other's arena put into this one (Null stays Null).
    TextArena::Ref copiedText(const Impl& other, TextArena::Ref ref, QString& buffer) {
        if (ref == TextArena::Null)
            return TextArena::Null;
        buffer.resize(other.texts.size(ref));
        other.texts.copyTo(ref, buffer.data());
        return texts.add(buffer.isEmpty() ? QStringView(u"") : QStringView(buffer));
    }

    bool pathIs(const Row& r, QStringView path) const {
        const QString& folder = folders[r.folder];
        return path.startsWith(folder) && texts.equals(r.name, path.mid(folder.size()));
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
    const Impl::Row& r = m->row(row);
    switch (column) {
    case ColPath:
        return m->path(r);
    case ColTitle:
        return m->texts.text(r.title);
    case ColComment:
        return m->texts.text(r.comment);
    case ColReserved:
        return m->reserved.value(row);
    default:
        return m->values[r.values[std::size_t(Impl::valueSlot(column))]];
    }
}

namespace {

TextPiece pieceOf(const QString& text) {
    return {text.constData(), text.size(), true};
}

} // namespace

inline CellPieces Catalogue::Impl::cellPieces(const Row& r, int column, int row) const {
    CellPieces out;
    const auto add = [&out](TextPiece piece) {
        if (piece.size > 0)
            out.pieces[out.count++] = piece;
    };
    switch (column) {
    case ColPath:
        add(pieceOf(folders[r.folder]));
        add(texts.piece(r.name));
        break;
    case ColTitle:
        add(texts.piece(r.title));
        break;
    case ColComment:
        add(texts.piece(r.comment));
        break;
    case ColReserved: {
        const auto it = reserved.constFind(row);
        if (it != reserved.constEnd())
            add(pieceOf(*it));
        break;
    }
    default:
        add(pieceOf(values[r.values[std::size_t(valueSlot(column))]]));
    }
    return out;
}

CellPieces Catalogue::cellPieces(int column, int row) const {
    const Impl* m = implOrNull();
    if (!m || column < 0 || column >= ColumnCount || row < 0 || row >= m->rows)
        return {};
    return m->cellPieces(m->row(row), column, row);
}

void Catalogue::rowPieces(int row, CellPieces (&cells)[ColumnCount]) const {
    const Impl* m = implOrNull();
    if (!m || row < 0 || row >= m->rows) {
        std::fill(std::begin(cells), std::end(cells), CellPieces{});
        return;
    }
    const Impl::Row& r = m->row(row);
    for (int column = 0; column < ColumnCount; ++column)
        cells[column] = m->cellPieces(r, column, row);
}

std::uint32_t Catalogue::valueId(int column, int row) const {
    const Impl* m = implOrNull();
    if (!m || column < ColAlbum || column > ColGenre || row < 0 || row >= m->rows)
        return 0;
    return m->row(row).values[std::size_t(Impl::valueSlot(column))];
}

void Catalogue::setValueId(int column, int row, std::uint32_t id) {
    Impl* m = d.get();
    if (!m || column < ColAlbum || column > ColGenre || row < 0 || row >= m->rows ||
        id >= m->values.size())
        return;
    m->row(row).values[std::size_t(Impl::valueSlot(column))] = id;
}

void Catalogue::setCell(int column, int row, const QString& text) {
    Impl* m = d.get();
    if (!m || column < 0 || column >= ColumnCount || row < 0 || row >= m->rows)
        return;
    Impl::Row& r = m->row(row);
    switch (column) {
    case ColPath: {
        if (text.isNull()) {
            r.folder = 0;
            r.name = TextArena::Null;
            return;
        }
        const qsizetype cut = text.lastIndexOf(QLatin1Char('/')) + 1;
        const std::uint32_t folder = m->folderNumber(QStringView(text).left(cut));
        m->setPath(row, folder, m->texts.add(QStringView(text).mid(cut)));
        return;
    }
    case ColTitle:
        r.title = m->texts.add(text);
        return;
    case ColComment:
        r.comment = m->texts.add(text);
        return;
    case ColReserved:
        if (text.isEmpty())
            m->reserved.remove(row);
        else
            m->reserved.insert(row, text);
        return;
    default:
        r.values[std::size_t(Impl::valueSlot(column))] = m->valueNumber(column, row, text);
    }
}

void Catalogue::setPath(int row, const QString& folder, QStringView name) {
    Impl* m = d.get();
    if (!m || row < 0 || row >= m->rows)
        return;
    m->setPath(row, m->folderNumber(folder), m->texts.add(name.isNull() ? QStringView(u"") : name));
}

void Catalogue::setPathLatin1(int row, const QString& folder, QLatin1StringView name) {
    Impl* m = d.get();
    if (!m || row < 0 || row >= m->rows)
        return;
    m->setPath(row, m->folderNumber(folder), m->texts.addLatin1(name.data(), name.size()));
}

void Catalogue::setCellLatin1(int column, int row, QLatin1StringView text) {
    Impl* m = d.get();
    if (!m || row < 0 || row >= m->rows)
        return;
    const auto stored = [&] {
        return text.isNull() ? TextArena::Null : m->texts.addLatin1(text.data(), text.size());
    };
    if (column == ColTitle)
        m->row(row).title = stored();
    else if (column == ColComment)
        m->row(row).comment = stored();
    else
        setCell(column, row, QString(text));
}

void Catalogue::copyTagCells(int row, const Catalogue& other, int fromRow) {
    Impl* m = d.get();
    const Impl* o = other.implOrNull();
    if (!m || !o || row < 0 || row >= m->rows || fromRow < 0 || fromRow >= o->rows)
        return;
    const Impl::Row& from = o->row(fromRow);
    QString buffer;
    Impl::Row& to = m->row(row);
    to.title = m->copiedText(*o, from.title, buffer);
    to.comment = m->copiedText(*o, from.comment, buffer);
    for (int column = ColAlbum; column <= ColGenre; ++column)
        setCell(column, row, o->values[from.values[std::size_t(Impl::valueSlot(column))]]);
    setStamp(row, other.stamp(fromRow));
}

void Catalogue::setStamp(int row, const FileStamp& stamp) {
    Impl* m = d.get();
    if (!m || row < 0 || row >= m->rows)
        return;
    if (m->stamps.size() <= std::size_t(row)) {
        if (!stamp.known())
            return;
        m->stamps.resize(std::size_t(row) + 1);
    }
    m->stamps[std::size_t(row)] = stamp;
}

FileStamp Catalogue::stamp(int row) const {
    const Impl* m = implOrNull();
    if (!m || row < 0 || std::size_t(row) >= m->stamps.size())
        return {};
    return m->stamps[std::size_t(row)];
}

int Catalogue::rowCount() const {
    const Impl* m = implOrNull();
    return m ? m->rows : 0;
}

int Catalogue::rowOfPath(const QString& path) const {
    const Impl* m = implOrNull();
    if (!m || path.isEmpty())
        return -1;
    return m->pathIndex.find(TextArena::hashOf(path, Impl::HashBasis),
                             [&](int r) { return m->pathIs(m->row(r), path); });
}

int Catalogue::rowOfPath(QStringView folder, QStringView name) const {
    const Impl* m = implOrNull();
    if (!m || name.isEmpty())
        return -1;
    const std::size_t hash = TextArena::hashOf(name, TextArena::hashOf(folder, Impl::HashBasis));
    return m->pathIndex.find(hash, [&](int r) {
        const Impl::Row& row = m->row(r);
        return m->folders[row.folder] == folder && m->texts.equals(row.name, name);
    });
}

void Catalogue::squeeze() {
    if (Impl* m = d.get()) {
        m->pathIndex.squeeze();
        m->folderNumbers.squeeze();
        m->valueNumbers.squeeze();
        m->folders.shrink_to_fit();
        m->folderHashes.shrink_to_fit();
        m->values.shrink_to_fit();
        m->reserved.squeeze();
        m->stamps.shrink_to_fit();
    }
}

Catalogue Catalogue::clone() const {
    Catalogue copy;
    const Impl* m = implOrNull();
    if (!m)
        return copy;
    Impl& c = copy.impl();
    // Shared values and folders are implicitly shared texts (safe to read from another
    // thread); the arena's texts are copied into the copy's own arena.
    c.rows = m->rows;
    c.pathIndex = m->pathIndex;
    c.folders = m->folders;
    c.folderHashes = m->folderHashes;
    c.folderNumbers = m->folderNumbers;
    c.values = m->values;
    c.valueNumbers = m->valueNumbers;
    c.reserved = m->reserved;
    c.stamps = m->stamps;
    QString buffer;
    const auto copied = [&](TextArena::Ref ref) { return c.copiedText(*m, ref, buffer); };
    for (int r = 0; r < m->rows; ++r) {
        if ((r & (Impl::ChunkRows - 1)) == 0)
            c.chunks.emplace_back(new Impl::Row[Impl::ChunkRows]);
        Impl::Row& row = c.row(r);
        row = m->row(r);
        row.name = copied(row.name);
        row.title = copied(row.title);
        row.comment = copied(row.comment);
    }
    return copy;
}

QString folderPrefixFor(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace sonavue
