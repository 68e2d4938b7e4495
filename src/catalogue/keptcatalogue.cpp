// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/keptcatalogue.h"

#include "catalogue/scanrows.h"
#include <QHash>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace sonavue {
namespace {

// Raised whenever the tables change: a store of another version is not read.
constexpr qint64 FormatVersion = 2;

// A row's path is its folder (a number) and its name; album, artist, year and genre are
// numbers of distinct texts, shared by the rows (an album's tracks repeat them). Empty
// values are NULL, which costs a row one byte. A row's file stamp (size, modification and
// status change times in nanoseconds, inode) tells the next look whether to read it again;
// NULL sizes a row without one.
constexpr const char* Tables =
    "DROP TABLE IF EXISTS tracks; DROP TABLE IF EXISTS folders; DROP TABLE IF EXISTS vals;"
    "DROP TABLE IF EXISTS meta;"
    "CREATE TABLE meta(name TEXT PRIMARY KEY NOT NULL, value);"
    "CREATE TABLE folders(id INTEGER PRIMARY KEY, path);"
    "CREATE TABLE vals(id INTEGER PRIMARY KEY, text);"
    "CREATE TABLE tracks(id INTEGER PRIMARY KEY, folder INTEGER, name, title,"
    " album INTEGER, artist INTEGER, year INTEGER, genre INTEGER, comment,"
    " size INTEGER, modified INTEGER, changed INTEGER, inode INTEGER);";

enum MetaName { Format, MusicFolder, FolderPrefix, Pattern, CodePage, ID3v2, ExtraTypes, Rows };
// Every store of this version has these names in meta, and no others.
constexpr std::array<const char*, 8> MetaNames = {
    "format", "musicFolder", "folderPrefix", "pattern", "codePage", "id3v2", "extraTypes", "rows"};

constexpr int ValueColumns[] = {ColAlbum, ColArtist, ColYear, ColGenre};

[[noreturn]] void damaged(const char* why) {
    throw StoreFailure{StoreFailure::Damaged, QString::fromLatin1(why)};
}

// Text as UTF-8, which SQLite keeps exactly, into out; false when that would not give the
// text back: a lone surrogate (a file name's byte that is not UTF-8) or a NUL.
bool toUtf8(QStringView text, std::string& out) {
    out.clear();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c == 0)
            return false;
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        if (QChar::isSurrogate(c)) {
            if (!QChar::isHighSurrogate(c) || i + 1 >= n || !text[i + 1].isLowSurrogate())
                return false;
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
        }
        out += char(0x80 | (c & 0x3F));
    }
    return true;
}

bool isAscii(const char* bytes, int size) {
    unsigned char high = 0;
    for (int i = 0; i < size; ++i)
        high |= static_cast<unsigned char>(bytes[i]);
    return high < 0x80;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) {
        checkSqlite(db, sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }

    // True while there is a row to read.
    bool next() {
        const int code = sqlite3_step(m_stmt);
        checkSqlite(m_db, code);
        return code == SQLITE_ROW;
    }
    // Runs an insert with the values bound, and makes it ready for the next.
    void run() {
        next();
        sqlite3_reset(m_stmt);
    }
    void bindNumber(int index, qint64 number) {
        checkSqlite(m_db, sqlite3_bind_int64(m_stmt, index, number));
    }
    void bindNull(int index) { checkSqlite(m_db, sqlite3_bind_null(m_stmt, index)); }
    // A null text as NULL, a text UTF-8 keeps as UTF-8, any other as a blob of its UTF-16
    // units. The bytes stay in a buffer of the index's own until the index is bound again.
    void bindText(int index, QStringView text) {
        if (text.isNull())
            return bindNull(index);
        std::string& buffer = m_buffers.at(std::size_t(index));
        if (toUtf8(text, buffer)) {
            checkSqlite(m_db, sqlite3_bind_text(m_stmt, index, buffer.data(), int(buffer.size()),
                                                SQLITE_STATIC));
            return;
        }
        buffer.assign(reinterpret_cast<const char*>(text.utf16()),
                      std::size_t(text.size()) * sizeof(char16_t));
        checkSqlite(m_db, sqlite3_bind_blob(m_stmt, index, buffer.data(), int(buffer.size()),
                                            SQLITE_STATIC));
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::array<std::string, 10> m_buffers;
};

// A text cell of the current row. ASCII text stays in SQLite's buffer (until the next
// step) and goes into the catalogue as Latin-1, as the scan puts it: no string is made.
struct CellText {
    enum Form { Null, Ascii, Text } form = Null;
    QLatin1StringView ascii;
    QString text;

    QString toString() const { return form == Ascii ? QString(ascii) : text; }
};

CellText readText(sqlite3_stmt* s, int column) {
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_TEXT: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        const int size = sqlite3_column_bytes(s, column);
        if (!bytes)
            damaged("a text that cannot be read");
        if (isAscii(bytes, size))
            return {CellText::Ascii, QLatin1StringView(bytes, size), {}};
        return {CellText::Text, {}, QString::fromUtf8(bytes, size)};
    }
    case SQLITE_BLOB: {
        const void* units = sqlite3_column_blob(s, column);
        const int size = sqlite3_column_bytes(s, column);
        if (!units || size % 2 != 0)
            damaged("a text of an odd number of bytes");
        QString text(size / 2, Qt::Uninitialized);
        std::memcpy(text.data(), units, std::size_t(size));
        return {CellText::Text, {}, std::move(text)};
    }
    default:
        damaged("a number where a text belongs");
    }
}

// A number column: 0 for NULL.
qint64 readNumber(sqlite3_stmt* s, int column) {
    const int type = sqlite3_column_type(s, column);
    if (type == SQLITE_NULL)
        return 0;
    if (type != SQLITE_INTEGER)
        damaged("a text where a number belongs");
    return sqlite3_column_int64(s, column);
}

void writeMeta(sqlite3* db, const LibraryKey& key, int rows) {
    Statement meta(db, "INSERT INTO meta(name, value) VALUES(?1, ?2)");
    const auto put = [&](MetaName name, auto value) {
        meta.bindText(1, QString::fromLatin1(MetaNames[name]));
        if constexpr (std::is_same_v<decltype(value), QString>)
            meta.bindText(2, value);
        else
            meta.bindNumber(2, qint64(value));
        meta.run();
    };
    put(Format, FormatVersion);
    put(MusicFolder, key.musicFolder);
    put(FolderPrefix, key.folderPrefix);
    put(Pattern, key.pattern);
    put(CodePage, int(key.codePage));
    put(ID3v2, key.id3v2 ? 1 : 0);
    put(ExtraTypes, key.extraTypes);
    put(Rows, rows);
}

// Numbers the distinct texts of a column as they are met; a new one goes into its table.
class Numbering {
public:
    Numbering(sqlite3* db, const char* insert) : m_insert(db, insert) {}
    // Neighbouring rows mostly repeat the text: that costs no string and no look-up.
    qint64 numberOf(QStringView text) {
        if (m_lastNumber && text == m_last)
            return m_lastNumber;
        m_last = text.toString();
        auto it = m_numbers.constFind(m_last);
        if (it == m_numbers.constEnd()) {
            it = m_numbers.insert(m_last, qint64(m_numbers.size()) + 1);
            m_insert.bindNumber(1, *it);
            m_insert.bindText(2, m_last);
            m_insert.run();
        }
        m_lastNumber = *it;
        return m_lastNumber;
    }

private:
    Statement m_insert;
    QHash<QString, qint64> m_numbers;
    QString m_last;
    qint64 m_lastNumber = 0;
};

void bindStamp(Statement& s, int first, const FileStamp& stamp) {
    if (!stamp.known()) {
        for (int k = 0; k < 4; ++k)
            s.bindNull(first + k);
        return;
    }
    s.bindNumber(first, stamp.size);
    s.bindNumber(first + 1, stamp.modifiedNs);
    s.bindNumber(first + 2, stamp.changedNs);
    s.bindNumber(first + 3, qint64(stamp.inode));
}

void writeTracks(sqlite3* db, const Catalogue& catalogue) {
    Numbering folders(db, "INSERT INTO folders(id, path) VALUES(?1, ?2)");
    Numbering values(db, "INSERT INTO vals(id, text) VALUES(?1, ?2)");
    Statement tracks(db, "INSERT INTO tracks VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                         "?11, ?12, ?13)");
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        tracks.bindNumber(1, r);
        const QString path = catalogue.cell(ColPath, r);
        if (path.isNull()) {
            tracks.bindNull(2);
            tracks.bindNull(3);
        } else {
            // Split as the catalogue splits it: the folder up to and with the last '/'.
            const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
            tracks.bindNumber(2, folders.numberOf(QStringView(path).left(cut)));
            tracks.bindText(3, QStringView(path).mid(cut));
        }
        tracks.bindText(4, catalogue.cell(ColTitle, r));
        for (int k = 0; k < 4; ++k) {
            const QString value = catalogue.cell(ValueColumns[k], r);
            if (value.isEmpty())
                tracks.bindNull(5 + k);
            else
                tracks.bindNumber(5 + k, values.numberOf(value));
        }
        tracks.bindText(9, catalogue.cell(ColComment, r));
        bindStamp(tracks, 10, catalogue.stamp(r));
        tracks.run();
    }
}

qint64 pragmaNumber(sqlite3* db, const char* sql) {
    Statement s(db, sql);
    return s.next() ? sqlite3_column_int64(s.get(), 0) : 0;
}

struct MetaValue {
    bool present = false;
    bool isNumber = false;
    qint64 number = 0;
    QString text;
};

struct Meta {
    std::array<MetaValue, MetaNames.size()> values;
    bool unexpected = false; // a name this version does not write

    const MetaValue& operator[](MetaName name) const { return values[std::size_t(name)]; }
    bool holds(MetaName name, const QString& text) const {
        return !(*this)[name].isNumber && (*this)[name].text == text;
    }
    bool holds(MetaName name, qint64 number) const {
        return (*this)[name].isNumber && (*this)[name].number == number;
    }
};

Meta readMeta(sqlite3* db) {
    Meta meta;
    Statement s(db, "SELECT name, value FROM meta");
    while (s.next()) {
        const QString name = readText(s.get(), 0).toString();
        const auto it = std::find_if(MetaNames.begin(), MetaNames.end(), [&](const char* known) {
            return name == QLatin1String(known);
        });
        if (it == MetaNames.end()) {
            meta.unexpected = true;
            continue;
        }
        MetaValue& value = meta.values[std::size_t(it - MetaNames.begin())];
        value.present = true;
        value.isNumber = sqlite3_column_type(s.get(), 1) == SQLITE_INTEGER;
        if (value.isNumber)
            value.number = sqlite3_column_int64(s.get(), 1);
        else
            value.text = readText(s.get(), 1).toString();
    }
    return meta;
}

// The store's format version and key; its row count.
qint64 checkMeta(sqlite3* db, const LibraryKey& key) {
    const Meta meta = readMeta(db);
    if (!meta[Format].present || !meta[Format].isNumber)
        damaged("no format version");
    if (meta[Format].number != FormatVersion)
        throw StoreFailure{StoreFailure::OtherVersion,
                           QStringLiteral("version %1").arg(meta[Format].number)};
    const bool complete = std::all_of(meta.values.begin(), meta.values.end(),
                                      [](const MetaValue& value) { return value.present; });
    const qint64 rows = meta[Rows].number;
    if (meta.unexpected || !complete || !meta[Rows].isNumber || rows < 0 || rows > INT_MAX)
        damaged("unexpected meta");
    if (!meta.holds(MusicFolder, key.musicFolder) || !meta.holds(FolderPrefix, key.folderPrefix) ||
        !meta.holds(Pattern, key.pattern) || !meta.holds(CodePage, qint64(key.codePage)) ||
        !meta.holds(ID3v2, key.id3v2 ? 1 : 0) || !meta.holds(ExtraTypes, qint64(key.extraTypes)))
        throw StoreFailure{StoreFailure::OtherKey,
                           QStringLiteral("another folder or other settings")};
    return rows;
}

// A table of numbered texts, numbered 1, 2, ... in order; index 0 holds the null text.
std::vector<QString> readNumbered(sqlite3* db, const char* select) {
    std::vector<QString> texts{QString()};
    Statement s(db, select);
    while (s.next()) {
        if (readNumber(s.get(), 0) != qint64(texts.size()))
            damaged("a gap in the numbering of texts");
        texts.push_back(readText(s.get(), 1).toString());
    }
    return texts;
}

const QString& numbered(const std::vector<QString>& texts, qint64 number) {
    if (number < 0 || std::uint64_t(number) >= texts.size())
        damaged("a number of no text");
    return texts[std::size_t(number)];
}

// Row r's cells from the current row of s (id, folder, name, title, album, artist, year,
// genre, comment, then the stamp), written as the scan writes them.
void fillRow(sqlite3_stmt* s, const std::vector<QString>& folders,
             const std::vector<QString>& values, Catalogue& catalogue, int r) {
    const CellText name = readText(s, 2);
    const qint64 folder = readNumber(s, 1);
    if (name.form == CellText::Ascii)
        catalogue.setPathLatin1(r, numbered(folders, folder), name.ascii);
    else if (name.form == CellText::Text)
        catalogue.setPath(r, numbered(folders, folder), name.text);
    for (const auto& [column, index] : {std::pair{ColTitle, 3}, std::pair{ColComment, 8}}) {
        const CellText text = readText(s, index);
        if (text.form == CellText::Ascii)
            catalogue.setCellLatin1(column, r, text.ascii);
        else if (text.form == CellText::Text)
            catalogue.setCell(column, r, text.text);
    }
    for (int k = 0; k < 4; ++k)
        if (const qint64 value = readNumber(s, 4 + k))
            catalogue.setCell(ValueColumns[k], r, numbered(values, value));
    if (sqlite3_column_type(s, 9) != SQLITE_NULL) {
        const FileStamp stamp{readNumber(s, 9), readNumber(s, 10), readNumber(s, 11),
                              std::uint64_t(readNumber(s, 12))};
        if (!stamp.known())
            damaged("a negative file size");
        catalogue.setStamp(r, stamp);
    }
}

} // namespace

void SqliteClose::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

void checkSqlite(sqlite3* db, int code) {
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return;
    const int extended = db ? sqlite3_extended_errcode(db) : code;
    const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    // A file that is no database of ours, or a broken one, is set aside; a file that
    // cannot be reached now (locked, no permission, a full disk) is only reported.
    switch (extended & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_ERROR: // no such table or column: another schema
    case SQLITE_MISMATCH:
    case SQLITE_FORMAT:
    case SQLITE_RANGE:
        throw StoreFailure{StoreFailure::Damaged, why, extended};
    default:
        throw StoreFailure{extended == SQLITE_IOERR_SHORT_READ ? StoreFailure::Damaged
                                                               : StoreFailure::Unreadable,
                           why, extended};
    }
}

void execSql(sqlite3* db, const char* sql) {
    checkSqlite(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void writeKeptCatalogue(sqlite3* db, const LibraryKey& key, const Catalogue& catalogue) {
    // A process killed during the write leaves a journal that the next open rolls back:
    // the old store comes back whole.
    execSql(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=NORMAL; BEGIN IMMEDIATE");
    execSql(db, Tables);
    writeMeta(db, key, catalogue.rowCount());
    writeTracks(db, catalogue);
    execSql(db, "COMMIT");
    // A library that shrank leaves free pages; a file mostly free is written anew. The
    // store is whole whether that works or not.
    try {
        if (pragmaNumber(db, "PRAGMA freelist_count") * 4 > pragmaNumber(db, "PRAGMA page_count"))
            execSql(db, "VACUUM");
    } catch (const StoreFailure&) {
    }
}

bool readKeptCatalogue(sqlite3* db, const LibraryKey& key, Catalogue& catalogue,
                       GroupLists& groups) {
    if (pragmaNumber(db, "SELECT count(*) FROM sqlite_master") == 0)
        return false;
    const qint64 rows = checkMeta(db, key);
    const std::vector<QString> folders =
        readNumbered(db, "SELECT id, path FROM folders ORDER BY id");
    const std::vector<QString> values = readNumbered(db, "SELECT id, text FROM vals ORDER BY id");
    SeenGroupValues seen;
    ScanRowWriter writer(catalogue, groups, seen);
    Statement s(db, "SELECT id, folder, name, title, album, artist, year, genre, comment,"
                    " size, modified, changed, inode FROM tracks ORDER BY id");
    qint64 row = 0;
    while (s.next()) {
        if (readNumber(s.get(), 0) != row++ || row > rows)
            damaged("rows out of order");
        writer.writeKept(
            [&](Catalogue& target, int r) { fillRow(s.get(), folders, values, target, r); });
    }
    if (row != rows)
        damaged("rows missing");
    // The folder list: the folders that hold rows, below the music folder (the rows come
    // folder by folder, so in the list's order), the music folder itself as the empty entry.
    for (std::size_t f = 1; f < folders.size(); ++f)
        if (folders[f].startsWith(key.folderPrefix))
            groups[GroupFolder].add(folders[f].size() == key.folderPrefix.size()
                                        ? QString()
                                        : folders[f].mid(key.folderPrefix.size()));
    catalogue.squeeze();
    return true;
}

} // namespace sonavue
