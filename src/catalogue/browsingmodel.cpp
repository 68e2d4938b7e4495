// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/browsingmodel.h"

#include <numeric>

namespace sonavue {

BrowsingModel::BrowsingModel(const Catalogue& catalogue, GroupLists& groups, QObject* parent)
    : QObject(parent), m_catalogue(catalogue), m_groups(groups) {
    for (int i = 0; i < GroupCount; ++i) {
        auto selection = std::make_unique<QItemSelectionModel>(&m_groups[i]);
        // The selection, not the current index: a mouse press moves the current index before
        // it selects the entry, and the pick must see the entry that was selected.
        connect(selection.get(), &QItemSelectionModel::selectionChanged, this, [this, i] {
            if (selectedGroupEntry(i) >= 0)
                pickGroupEntry(i);
        });
        m_groupSelections[std::size_t(i)] = std::move(selection);
    }
    // The number column follows the titles' selection, and the titles follow the numbers'.
    connect(&m_titleSelection, &QItemSelectionModel::selectionChanged, this,
            [this] { selectIn(m_numberSelection, selectedTrack()); });
    connect(&m_numberSelection, &QItemSelectionModel::selectionChanged, this, [this] {
        const int row = selectedIn(m_numberSelection);
        if (row >= 0 && row != selectedTrack())
            selectTrack(row);
    });
}

BrowsingModel::~BrowsingModel() {
    // The selection models go before the lists they select from.
    for (auto& selection : m_groupSelections)
        selection.reset();
}

int BrowsingModel::selectedIn(const QItemSelectionModel& selection) {
    // The selected entry, whatever the current index is: while a selection changes, the
    // current index may still be the old one (code) or already the new one (a mouse press).
    const QModelIndexList selected = selection.selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void BrowsingModel::selectIn(QItemSelectionModel& selection, int index) {
    const QAbstractItemModel* model = selection.model();
    if (index < 0 || index >= model->rowCount()) {
        selection.clearCurrentIndex();
        selection.clearSelection();
        return;
    }
    selection.setCurrentIndex(model->index(index, 0), QItemSelectionModel::ClearAndSelect);
}

// --- Group lists ----------------------------------------------------------------------------

int BrowsingModel::groupEntryCount(int list) const {
    return validList(list) ? m_groups[list].count() : 0;
}

int BrowsingModel::selectedGroupEntry(int list) const {
    return validList(list) ? selectedIn(*m_groupSelections[std::size_t(list)]) : -1;
}

void BrowsingModel::selectGroupEntry(int list, int index) {
    if (validList(list))
        selectIn(*m_groupSelections[std::size_t(list)], index);
}

int BrowsingModel::rememberedGroupEntry(int list) const {
    return validList(list) ? m_remembered[std::size_t(list)] : -1;
}

void BrowsingModel::pickGroupEntry(int list) {
    if (!validList(list))
        return;
    const int selected = selectedGroupEntry(list);
    const QString entry = selected >= 0 ? m_groups[list].at(selected) : QString();
    if (list == GroupFolder)
        showFolder(m_folderPrefix + entry); // nothing selected: the music folder itself
    else
        showGroupValue(entry, list + 1);
    if (trackCount() > 0)
        selectTrack(0);
    m_sourceList = list;
    m_remembered[std::size_t(list)] = selectedGroupEntry(list);
}

// --- What the track list shows ------------------------------------------------------------

void BrowsingModel::showFolder(const QString& folder) {
    // The folder's files under the current pattern, each found in the catalogue by its path
    // (an index, so this costs the folder's files, not all rows).
    const QStringList names = listFiles(folder, m_pattern);
    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    std::vector<int> rows;
    rows.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        const int row = m_catalogue.rowOfPath(prefix + name);
        if (row >= 0)
            rows.push_back(row);
    }
    fillTracks(std::move(rows));
}

void BrowsingModel::showAllTracks() {
    std::vector<int> rows(std::size_t(m_catalogue.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    fillTracks(std::move(rows));
}

void BrowsingModel::showGroupValue(const QString& value, int column) {
    std::vector<int> rows;
    const int count = m_catalogue.rowCount();
    for (int row = 0; row < count; ++row) {
        if (m_catalogue.cell(column, row) == value)
            rows.push_back(row);
    }
    fillTracks(std::move(rows));
}

void BrowsingModel::showRows(std::vector<int> rows, RowsKind kind) {
    fillTracks(std::move(rows), kind);
}

void BrowsingModel::fillTracks(std::vector<int> rows, RowsKind kind) {
    m_titles.beginRefill();
    m_numbers.beginRefill();
    m_trackRows.rows() = std::move(rows);
    m_shownKind = kind;
    m_numbers.endRefill();
    m_titles.endRefill();
    emit tracksRefilled();
}

// --- The track list -----------------------------------------------------------------------

int BrowsingModel::selectedTrack() const {
    return selectedIn(m_titleSelection);
}

void BrowsingModel::selectTrack(int index) {
    selectIn(m_titleSelection, index);
}

int BrowsingModel::selectedNumberEntry() const {
    return selectedIn(m_numberSelection);
}

std::optional<int> BrowsingModel::selectedRow() const {
    const int index = selectedIn(m_numberSelection);
    if (index < 0 || index >= m_trackRows.count())
        return std::nullopt;
    const int row = m_trackRows.rowAt(index);
    if (!m_catalogue.hasRow(row))
        return std::nullopt;
    return row;
}

QString BrowsingModel::rowPath(int row) const {
    return m_catalogue.hasRow(row) ? m_catalogue.cell(ColPath, row) : QString();
}

QStringList BrowsingModel::trackTitles() const {
    QStringList out;
    for (int i = 0; i < m_titles.rowCount(); ++i)
        out << m_titles.index(i).data().toString();
    return out;
}

QStringList BrowsingModel::trackNumbers() const {
    QStringList out;
    for (int i = 0; i < m_numbers.rowCount(); ++i)
        out << m_numbers.index(i).data().toString();
    return out;
}

} // namespace sonavue
