// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The files of the library shown, by path, with the stamps they were read with: a scan that
// brings that library up to date takes the row of a file whose stamp is the same from there,
// and reads only the files that are new or changed. Read-only once made: the scan's threads
// share it.
#include "catalogue/catalogue.h"

#include <QHash>
#include <QString>
#include <memory>

namespace sonavue {

class KnownFiles {
public:
    explicit KnownFiles(std::shared_ptr<const Catalogue> shown);

    const Catalogue& catalogue() const { return *m_shown; }
    // The shown row of the file name (size bytes) in folder (its path as the rows hold it,
    // with the final '/'; open as dirfd) when the file found there now has the stamp that row
    // was read with; else -1. A file the library does not know costs no look at it.
    int unchangedRow(int dirfd, QStringView folder, const char* name, int size) const;
    // How many shown rows are in folderPath (a row's path up to and with its last '/').
    int rowsIn(const QString& folderPath) const { return m_folderRows.value(folderPath); }

private:
    std::shared_ptr<const Catalogue> m_shown;
    QHash<QString, int> m_folderRows;
};

} // namespace sonavue
