// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/trackfinder.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <utility>

namespace sonavue {

TrackFinder::TrackFinder(BrowsingModel& browsing, QObject* parent)
    : QObject(parent), m_browsing(browsing) {
    connect(&m_browsing, &BrowsingModel::tracksRefilled, this, [this] {
        if (m_filling || !m_showingFound)
            return;
        m_showingFound = false; // the list shown now is someone else's: nothing to bring back
        end();
    });
    connect(&m_browsing, &BrowsingModel::aboutToReplaceLibrary, this, [this] {
        m_filling = true;
        m_keptSelectionPath = m_keptSelection >= 0 && m_keptSelection < int(m_keptRows.size())
                                  ? m_browsing.rowPath(m_keptRows[std::size_t(m_keptSelection)])
                                  : QString();
    });
    connect(&m_browsing, &BrowsingModel::libraryReplaced, this, &TrackFinder::libraryReplaced);
}

void TrackFinder::libraryReplaced() {
    // An open find searches the new rows with the same text, the selected track kept; the list
    // from before the find is that list as it is now.
    m_index.reset();
    if (m_showingFound) {
        const std::optional<int> selected = m_browsing.selectedRow();
        const QString selectedPath = selected ? m_browsing.rowPath(*selected) : QString();
        m_browsing.showRows(index().rowsContaining(m_text), BrowsingModel::RowsKind::Found);
        // The track selected stays; with none, the first found is, as at each key.
        const int track = trackOfPath(m_browsing.shownRows(), selectedPath);
        m_browsing.selectTrack(track >= 0 || !selectedPath.isEmpty() ? track : 0);
        if (m_keptKind != BrowsingModel::RowsKind::Playlist) { // a playlist's rows stay
            m_keptRows = m_browsing.rowsOfLastFill();
            m_keptSelection = trackOfPath(m_keptRows, m_keptSelectionPath);
        }
    }
    m_filling = false;
}

int TrackFinder::trackOfPath(const std::vector<int>& rows, const QString& path) const {
    const int row = path.isEmpty() ? -1 : m_browsing.catalogue().rowOfPath(path);
    const auto at = row >= 0 ? std::find(rows.begin(), rows.end(), row) : rows.end();
    return at != rows.end() ? int(at - rows.begin()) : -1;
}

const FindIndex& TrackFinder::index() {
    // A catalogue that grew or shrank since (a scan under way) is indexed again as well.
    if (!m_index || m_index->rowCount() != m_browsing.catalogue().rowCount())
        m_index.emplace(m_browsing.catalogue());
    return *m_index;
}

void TrackFinder::open() {
    m_open = true;
    index(); // made before the first key, so that each key only searches
}

void TrackFinder::setText(const QString& text) {
    if (!m_open)
        return;
    m_text = text;
    if (!text.isEmpty())
        showFound();
    else if (m_showingFound)
        showKept();
}

void TrackFinder::close() {
    if (!m_open)
        return;
    if (m_showingFound)
        showKept();
    end();
}

void TrackFinder::end() {
    m_open = false;
    m_text.clear();
    m_keptRows = {};
    emit closed();
}

void TrackFinder::showFound() {
    if (!m_showingFound) {
        m_keptRows = m_browsing.shownRows();
        m_keptKind = m_browsing.shownKind();
        m_keptSelection = m_browsing.selectedTrack();
    }
    std::vector<int> rows = index().rowsContaining(m_text);
    {
        const QScopedValueRollback filling(m_filling, true);
        m_browsing.showRows(std::move(rows), BrowsingModel::RowsKind::Found);
    }
    m_showingFound = true;
    m_browsing.selectTrack(m_browsing.trackCount() > 0 ? 0 : -1);
}

void TrackFinder::showKept() {
    m_showingFound = false;
    {
        const QScopedValueRollback filling(m_filling, true);
        m_browsing.showRows(std::exchange(m_keptRows, {}), m_keptKind);
    }
    m_browsing.selectTrack(m_keptSelection);
}

void TrackFinder::step(int delta) {
    const int count = m_browsing.trackCount();
    if (count == 0)
        return;
    const int from = m_browsing.selectedTrack();
    m_browsing.selectTrack(std::clamp(from < 0 ? 0 : from + delta, 0, count - 1));
}

} // namespace sonavue
