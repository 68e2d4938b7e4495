// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Find as you type: while a find is open, the track list shows the tracks of the whole
// catalogue whose title, artist, album or file name holds the text typed (folded alike,
// findtext.h), refilled at each change of the text. The list shown when the find began comes
// back, with its selection, when the text is emptied or the find closes.
//
// The index is made at the first search after the catalogue was filled. Anything else that
// refills the track list while found rows are shown (a group entry's pick, a tab, a scan's
// end) ends the find: that list is now the one shown.
#include "catalogue/browsingmodel.h"
#include "catalogue/findindex.h"

#include <QObject>
#include <optional>
#include <vector>

namespace sonavue {

class TrackFinder : public QObject {
    Q_OBJECT
public:
    explicit TrackFinder(BrowsingModel& browsing, QObject* parent = nullptr);

    bool isOpen() const { return m_open; }
    void open();
    // Shows the tracks that hold text; empty text shows the list from before the find.
    void setText(const QString& text);
    const QString& text() const { return m_text; }
    // Back to the list from before the find, with its selection.
    void close();
    // Moves the track list's selection by delta tracks, staying within the list.
    void step(int delta);

    // The catalogue was filled anew: the next search makes the index again.
    void catalogueReplaced() { m_index.reset(); }
    // The index, made now if it is not there yet.
    const FindIndex& index();

signals:
    // The find has closed (asked for, or ended by another refill of the track list).
    void closed();

private:
    void showFound();
    void showKept();
    void end();
    void libraryReplaced();
    // The index in rows of the row with path, or -1.
    int trackOfPath(const std::vector<int>& rows, const QString& path) const;

    BrowsingModel& m_browsing;
    std::optional<FindIndex> m_index;
    bool m_open = false;
    QString m_text;
    // The list from before the find while found rows are shown.
    bool m_showingFound = false;
    std::vector<int> m_keptRows;
    BrowsingModel::RowsKind m_keptKind = BrowsingModel::RowsKind::Listed;
    int m_keptSelection = -1;
    QString m_keptSelectionPath; // while a library is replaced
    bool m_filling = false;
};

} // namespace sonavue
