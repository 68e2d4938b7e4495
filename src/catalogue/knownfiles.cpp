// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/knownfiles.h"

#include "base/nativepath.h"
#include "catalogue/nativefolder.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace sonavue {

KnownFiles::KnownFiles(std::shared_ptr<const Catalogue> shown) : m_shown(std::move(shown)) {
    const int rows = m_shown ? m_shown->rowCount() : 0;
    m_rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const QString path = m_shown->cell(ColPath, r);
        ++m_folderRows[path.left(path.lastIndexOf(QLatin1Char('/')) + 1)];
        // Only a row with a stamp can be kept.
        if (m_shown->stamp(r).known() && !path.isEmpty())
            m_rows.insert(pathToNative(path), r);
    }
}

int KnownFiles::unchangedRow(int dirfd, const QByteArray& folder, const char* name,
                             int size) const {
    const auto it = m_rows.constFind(joinNative(folder, name, std::size_t(size)));
    if (it == m_rows.constEnd())
        return -1;
    // Links are followed, as the scan's reads follow them.
    struct stat st {};
    if (::fstatat(dirfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode) ||
        fileStampOf(st) != m_shown->stamp(*it))
        return -1;
    return *it;
}

} // namespace sonavue
