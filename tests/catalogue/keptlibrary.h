// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Catalogues named by a number, for the kept library's tests: the test and the writer it
// kills in the middle of a save make the same catalogue from the same number.
#include "catalogue/catalogue.h"
#include "catalogue/librarystore.h"

namespace sonavue::testing {

// The number of rows of catalogue k: they differ, so that a half-written one shows.
inline int numberedRows(int k) {
    return 3000 + (k % 4) * 1000;
}

inline void fillNumbered(Catalogue& catalogue, int k) {
    for (int i = 0; i < numberedRows(k); ++i) {
        const int r = catalogue.appendRow();
        catalogue.setCell(ColPath, r,
                          QStringLiteral("/music/Artist %1/Album %2/%3 track %4.mp3")
                              .arg(i / 100)
                              .arg(i / 10)
                              .arg(k)
                              .arg(i));
        catalogue.setCell(ColTitle, r, QStringLiteral("Title %1 of save %2").arg(i).arg(k));
        catalogue.setCell(ColAlbum, r, QStringLiteral("Album %1").arg(i / 10));
        catalogue.setCell(ColArtist, r, QStringLiteral("Artist %1").arg(i / 100));
        catalogue.setCell(ColComment, r, QString::number(k));
    }
}

inline LibraryKey numberedKey() {
    return {QStringLiteral("/music"), QStringLiteral("/music/"), QStringLiteral("*.mp3")};
}

} // namespace sonavue::testing
