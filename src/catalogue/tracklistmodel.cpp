// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/tracklistmodel.h"

#include "base/nativepath.h"

namespace sonavue {

TrackColumnModel::TrackColumnModel(const TrackRows& rows, Column column, QObject* parent)
    : QAbstractListModel(parent), m_rows(rows), m_column(column) {}

int TrackColumnModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.count();
}

QVariant TrackColumnModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= m_rows.count())
        return {};
    const int row = m_rows.rowAt(index.row());
    if (m_column == Column::Number)
        return QString::number(row);
    // A row of an earlier scan reads as empty text rather than out of range.
    return readableText(m_rows.catalogue().cell(ColTitle, row));
}

} // namespace sonavue
