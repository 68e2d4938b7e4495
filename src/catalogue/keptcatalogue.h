// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The kept library's tables in an open SQLite database, for the library store: the key and
// format version (meta), the folders, the distinct album, artist, year and genre texts
// (vals) and one row per track (tracks). Written in one transaction; read back through the
// scan's own row writer, so that the group lists come out as the scan fills them.
#include "catalogue/catalogue.h"
#include "catalogue/grouplists.h"
#include "catalogue/librarystore.h"

#include <QString>
#include <memory>

struct sqlite3;

namespace sonavue {

// Why a store cannot be used or written; thrown inside the store, never out of it.
struct StoreFailure {
    enum Kind {
        Damaged,      // not a store of ours, or broken: set aside
        OtherVersion, // another format version: set aside
        OtherKey,     // made for another folder or other settings: set aside
        Unreadable,   // the file cannot be reached now (locked, no permission, I/O)
    };
    Kind kind;
    QString why;
    int sqliteCode = 0; // the extended result code, when SQLite failed
};

struct SqliteClose {
    void operator()(sqlite3* db) const;
};
using Database = std::unique_ptr<sqlite3, SqliteClose>;

// Throws a StoreFailure for a result code other than SQLITE_OK, SQLITE_ROW and SQLITE_DONE.
void checkSqlite(sqlite3* db, int code);
void execSql(sqlite3* db, const char* sql);

// Replaces whatever db holds with catalogue as the kept library of key, in one transaction.
void writeKeptCatalogue(sqlite3* db, const LibraryKey& key, const Catalogue& catalogue);
// Fills catalogue and groups (both fresh) from db. False when db holds no tables at all (a
// first save that never finished); throws a StoreFailure for anything else unusable.
bool readKeptCatalogue(sqlite3* db, const LibraryKey& key, Catalogue& catalogue,
                       GroupLists& groups);

} // namespace sonavue
