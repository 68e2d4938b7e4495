// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The track list's two columns: titles (ListName) and catalogue row numbers (ListNo),
// always the same rows in the same order. Models, so that 100,000 rows fill at once.
#include "catalogue/catalogue.h"
#include <QAbstractListModel>
#include <memory>
#include <vector>

namespace sonavue {

class TrackRows {
public:
    explicit TrackRows(const Catalogue& catalogue) : m_catalogue(&catalogue) {}
    int count() const { return int(m_rows.size()); }
    int rowAt(int index) const { return m_rows[std::size_t(index)]; }
    // The catalogue the rows are of: the library's, or a playlist's own.
    const Catalogue& catalogue() const { return *m_catalogue; }
    void setCatalogue(const Catalogue& catalogue) { m_catalogue = &catalogue; }
    std::vector<int>& rows() { return m_rows; }
    const std::vector<int>& rows() const { return m_rows; }

private:
    const Catalogue* m_catalogue;
    std::vector<int> m_rows;
};

class TrackColumnModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Column { Title, Number };
    TrackColumnModel(const TrackRows& rows, Column column, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void beginRefill() { beginResetModel(); }
    void endRefill() { endResetModel(); }
    // The text of the rows at these indices changed.
    void textChanged(int first, int last) { emit dataChanged(index(first), index(last)); }

private:
    const TrackRows& m_rows;
    Column m_column;
};

} // namespace sonavue
