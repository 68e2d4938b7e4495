// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/knownfiles.h"

#include "base/nativepath.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace sonavue {
namespace {

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

KnownFiles::KnownFiles(std::shared_ptr<const Catalogue> shown) : m_shown(std::move(shown)) {
    const int rows = m_shown ? m_shown->rowCount() : 0;
    // A folder's rows come one after another: counted by runs, looked up once a run.
    QString runFolder;
    int run = 0;
    for (int r = 0; r < rows; ++r) {
        const CellPieces path = m_shown->cellPieces(ColPath, r);
        const TextPiece& first = path.pieces[0];
        const QStringView folder =
            path.count == 2 && first.wide
                ? QStringView(static_cast<const QChar*>(first.data), first.size)
                : QStringView();
        if (run > 0 && folder == runFolder && path.count == 2) {
            ++run;
            continue;
        }
        if (run > 0)
            m_folderRows[runFolder] += run;
        runFolder = path.count == 2 ? folder.toString() : folderOf(m_shown->cell(ColPath, r));
        run = 1;
    }
    if (run > 0)
        m_folderRows[runFolder] += run;
}

int KnownFiles::unchangedRow(int dirfd, QStringView folder, const char* name, int size) const {
    if (!m_shown)
        return -1;
    const int row = m_shown->rowOfPath(folder, pathFromNative(name, size));
    if (row < 0 || !m_shown->stamp(row).known())
        return -1;
    // Links are followed, as the scan's reads follow them.
    struct stat st {};
    if (::fstatat(dirfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode) ||
        fileStampOf(st) != m_shown->stamp(row))
        return -1;
    return row;
}

} // namespace sonavue
