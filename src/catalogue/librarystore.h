// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The kept library: the catalogue a scan left, stored between starts in an SQLite file, so
// that the next start shows it at once. One file per music folder and set of scan settings.
#include "catalogue/catalogue.h"
#include "catalogue/grouplists.h"
#include "tags/tagcodepage.h"

#include <QString>

namespace sonavue {

// What decides what a scan reads: a store kept under other values is never used.
struct LibraryKey {
    QString musicFolder; // as given to the scan
    QString folderPrefix;
    QString pattern; // the text of the file pattern the scan used
    TagCodePage codePage = DefaultTagCodePage;
    bool id3v2 = false;
    unsigned extraTypes = 0;
};

class LibraryStore {
public:
    // folder: where the stores live; the first save makes it, mode 0700.
    explicit LibraryStore(QString folder);

    const QString& folder() const { return m_folder; }
    // The store of key: one file per key, named by a hash of the key.
    QString pathFor(const LibraryKey& key) const;

    // Fills catalogue and groups as the scan that was kept left them: rows in order, the
    // folder list, the album list in the order met, the sorted lists. False when there is
    // no store, catalogue and groups then untouched. A store that cannot be used (damaged,
    // of another format version or of another key) is moved aside (its name +
    // ".damaged") with one line on stderr, and false is returned, the catalogue untouched.
    bool load(const LibraryKey& key, Catalogue& catalogue, GroupLists& groups) const;

    // Writes catalogue as the kept library of key, replacing the old one in one
    // transaction: a write cut short (the process killed) leaves the old one. Callable from
    // any thread, with a catalogue nobody changes meanwhile (a clone()). The file's mode is
    // 0600. False, with one line on stderr, when it cannot be written. Stores of other keys
    // neither loaded nor saved for thirty days are removed then.
    bool save(const LibraryKey& key, const Catalogue& catalogue) const;

private:
    QString m_folder;
};

} // namespace sonavue
