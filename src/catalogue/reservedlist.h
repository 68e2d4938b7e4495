// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The reserved list: up to five full paths played before anything else, in the order they
// were added; the same path may stand in it more than once. It does not depend on the
// catalogue: a new scan leaves it alone.
#include <QAbstractListModel>
#include <QStringList>

namespace sonavue {

class ReservedList : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int MaxEntries = 5;
    // The exact path of an entry (the display text is made readable).
    static constexpr int PathRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    int count() const { return int(m_paths.size()); }
    bool isFull() const { return count() >= MaxEntries; }
    // Empty text for an index outside the list.
    QString at(int index) const { return m_paths.value(index); }
    const QStringList& paths() const { return m_paths; }

    // Appends the path unless the list is full; false when it was not added.
    bool append(const QString& path);
    void removeAt(int index);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_paths;
};

} // namespace sonavue
