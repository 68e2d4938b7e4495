// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/reservedlist.h"

#include "base/nativepath.h"

namespace sonavue {

bool ReservedList::append(const QString& path) {
    if (isFull())
        return false;
    beginInsertRows({}, count(), count());
    m_paths.append(path);
    endInsertRows();
    return true;
}

void ReservedList::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    beginRemoveRows({}, index, index);
    m_paths.removeAt(index);
    endRemoveRows();
}

void ReservedList::clear() {
    if (m_paths.isEmpty())
        return;
    beginResetModel();
    m_paths.clear();
    endResetModel();
}

int ReservedList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant ReservedList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const QString& path = m_paths[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        // Shown readably; the exact text is kept for playing it.
        return readableText(path);
    case PathRole:
        return path;
    default:
        return {};
    }
}

} // namespace sonavue
