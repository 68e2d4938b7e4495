// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/browsingmodel.h"

#include "base/nativepath.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <numeric>

namespace sonavue {

BrowsingModel::BrowsingModel(const Catalogue& catalogue, GroupLists& groups, QObject* parent)
    : QObject(parent), m_catalogue(catalogue), m_groups(groups) {
    for (int i = 0; i < GroupCount; ++i) {
        auto selection = std::make_unique<QItemSelectionModel>(&m_groups[i]);
        // The selection, not the current index: a mouse press moves the current index before
        // it selects the entry, and the pick must see the entry that was selected.
        connect(selection.get(), &QItemSelectionModel::selectionChanged, this, [this, i] {
            if (!m_replacing && selectedGroupEntry(i) >= 0)
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

std::vector<int> BrowsingModel::rowsOfFolder(const QString& folder) const {
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
    return rows;
}

std::vector<int> BrowsingModel::rowsOfValue(const QString& value, int column) const {
    std::vector<int> rows;
    const int count = m_catalogue.rowCount();
    for (int row = 0; row < count; ++row) {
        if (m_catalogue.cell(column, row) == value)
            rows.push_back(row);
    }
    return rows;
}

std::vector<int> BrowsingModel::rowsOfLastFill() const {
    switch (m_lastFill.kind) {
    case Fill::Kind::Folder:
        return rowsOfFolder(m_lastFill.text);
    case Fill::Kind::Value:
        return rowsOfValue(m_lastFill.text, m_lastFill.column);
    case Fill::Kind::All: {
        std::vector<int> rows(std::size_t(m_catalogue.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
    case Fill::Kind::None:
        break;
    }
    return {};
}

void BrowsingModel::showFolder(const QString& folder) {
    m_lastFill = {Fill::Kind::Folder, folder, 0};
    fillTracks(rowsOfLastFill());
}

void BrowsingModel::showAllTracks() {
    m_lastFill = {Fill::Kind::All, {}, 0};
    fillTracks(rowsOfLastFill());
}

void BrowsingModel::showGroupValue(const QString& value, int column) {
    m_lastFill = {Fill::Kind::Value, value, column};
    fillTracks(rowsOfLastFill());
}

void BrowsingModel::showRows(std::vector<int> rows, RowsKind kind) {
    fillTracks(std::move(rows), kind);
}

std::vector<int> BrowsingModel::showPlaylist(const std::vector<PlaylistEntry>& entries) {
    Catalogue rows;
    std::vector<int> unread;
    for (const PlaylistEntry& entry : entries) {
        const int r = rows.appendRow();
        const int known = m_catalogue.rowOfPath(entry.path);
        for (int column = 0; known >= 0 && column < Catalogue::ColumnCount; ++column)
            rows.setCell(column, r, m_catalogue.cell(column, known));
        if (known >= 0)
            continue;
        rows.setCell(ColPath, r, entry.path);
        rows.setCell(ColTitle, r, entry.title.isEmpty() ? fileNamePart(entry.path) : entry.title);
        unread.push_back(r);
    }
    std::vector<int> shown(entries.size());
    std::iota(shown.begin(), shown.end(), 0);
    m_titles.beginRefill();
    m_numbers.beginRefill();
    m_playlist.swap(rows);
    m_trackRows.setCatalogue(m_playlist);
    m_trackRows.rows().clear();
    m_numbers.endRefill();
    m_titles.endRefill();
    fillTracks(std::move(shown), RowsKind::Playlist);
    return unread;
}

void BrowsingModel::setPlaylistTitle(int row, const QString& title) {
    if (!m_playlist.hasRow(row))
        return;
    m_playlist.setCell(ColTitle, row, title);
    if (m_shownKind != RowsKind::Playlist)
        return;
    const std::vector<int>& rows = m_trackRows.rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == row)
            m_titles.textChanged(int(i), int(i));
}

void BrowsingModel::fillTracks(std::vector<int> rows, RowsKind kind) {
    m_titles.beginRefill();
    m_numbers.beginRefill();
    m_trackRows.rows() = std::move(rows);
    m_trackRows.setCatalogue(kind == RowsKind::Playlist ? m_playlist : m_catalogue);
    m_shownKind = kind;
    m_numbers.endRefill();
    m_titles.endRefill();
    emit tracksRefilled();
}

// --- A library scanned anew elsewhere -----------------------------------------------------

std::vector<int> BrowsingModel::rowsOfPaths(const QStringList& paths) const {
    std::vector<int> rows;
    rows.reserve(std::size_t(paths.size()));
    for (const QString& path : paths) {
        const int row = m_catalogue.rowOfPath(path);
        if (row >= 0)
            rows.push_back(row);
    }
    return rows;
}

int BrowsingModel::entryAfterReplacing(int list, const QString& value, int before) const {
    if (before < 0)
        return -1;
    const GroupList& entries = m_groups[list];
    const int now = entries.indexOf(value);
    if (now >= 0 || entries.order() != GroupList::Order::Ascending)
        return now >= 0 ? now : std::min(before, entries.count() - 1);
    // A sorted list's entry that has gone: the one before where it stood, so that the next
    // entry is the one that followed it.
    int below = 0;
    while (below < entries.count() && lessAscending(entries.at(below), value))
        ++below;
    return below - 1;
}

void BrowsingModel::replaceLibrary(const std::function<void()>& swapIn) {
    std::array<QString, GroupCount> selected, remembered;
    std::array<int, GroupCount> selectedBefore{};
    for (int g = 0; g < GroupCount; ++g) {
        selectedBefore[std::size_t(g)] = selectedGroupEntry(g);
        selected[std::size_t(g)] = m_groups[g].at(selectedGroupEntry(g));
        remembered[std::size_t(g)] = m_groups[g].at(m_remembered[std::size_t(g)]);
    }
    const std::optional<int> selectedRowBefore = selectedRow();
    const QString selectedPath = selectedRowBefore ? rowPath(*selectedRowBefore) : QString();
    QStringList shownPaths;
    if (m_shownKind == RowsKind::Found)
        for (const int row : m_trackRows.rows())
            shownPaths << rowPath(row);
    emit aboutToReplaceLibrary();
    {
        const QScopedValueRollback replacing(m_replacing, true);
        swapIn();
        for (int g = 0; g < GroupCount; ++g) {
            const auto i = std::size_t(g);
            selectIn(*m_groupSelections[i],
                     m_groups[g].indexOf(selected[i]) >= 0 && selectedBefore[i] >= 0
                         ? m_groups[g].indexOf(selected[i])
                         : -1);
            m_remembered[i] = entryAfterReplacing(g, remembered[i], m_remembered[i]);
        }
        // A playlist's rows are its own: the library's change leaves them as they are.
        if (m_shownKind != RowsKind::Playlist) {
            fillTracks(m_shownKind == RowsKind::Found ? rowsOfPaths(shownPaths) : rowsOfLastFill(),
                       m_shownKind);
            const int row = m_catalogue.rowOfPath(selectedPath);
            const std::vector<int>& rows = m_trackRows.rows();
            const auto at = row >= 0 ? std::find(rows.begin(), rows.end(), row) : rows.end();
            selectTrack(at != rows.end() ? int(at - rows.begin()) : -1);
        }
    }
    emit libraryReplaced();
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
    if (!shownCatalogue().hasRow(row))
        return std::nullopt;
    return row;
}

QString BrowsingModel::rowPath(int row) const {
    return shownCatalogue().hasRow(row) ? shownCatalogue().cell(ColPath, row) : QString();
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
