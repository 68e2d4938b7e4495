// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the user browses and what plays next is decided on: the six group lists and their
// selections, the track list (titles and row numbers, always the same rows), the list whose
// pick last filled it, each group list's remembered entry, and the reserved list. QtCore
// only: the window's views show it and share its selection models, player control reads and
// moves it directly.
//
// Selecting from code runs the same handling as a click: selecting a group entry picks it
// (refills the track list), selecting a track keeps the number column in step.
#include "catalogue/catalogue.h"
#include "catalogue/filelisting.h"
#include "catalogue/grouplists.h"
#include "catalogue/playlistfile.h"
#include "catalogue/reservedlist.h"
#include "catalogue/tracklistmodel.h"

#include <QItemSelectionModel>
#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sonavue {

class BrowsingModel : public QObject {
    Q_OBJECT
public:
    BrowsingModel(const Catalogue& catalogue, GroupLists& groups, QObject* parent = nullptr);
    ~BrowsingModel() override;

    const Catalogue& catalogue() const { return m_catalogue; }

    // --- Group lists ------------------------------------------------------------------
    GroupList& groupList(int list) { return m_groups[list]; }
    QItemSelectionModel& groupSelection(int list) { return *m_groupSelections[std::size_t(list)]; }
    // 0 for a list index outside 0..5.
    int groupEntryCount(int list) const;
    // -1 when nothing is selected or the list index is outside 0..5.
    int selectedGroupEntry(int list) const;
    // Selects the entry (-1 or out of range clears the selection); a change of selection to
    // an entry picks it.
    void selectGroupEntry(int list, int index);
    // The pick of a group entry: the folder list shows its folder's tracks, the other lists
    // the tracks whose column equals the entry's text; then the first track is selected,
    // the list becomes the source and remembers its selected entry.
    void pickGroupEntry(int list);
    // The group list whose pick last filled the track list (0 at the start).
    int sourceList() const { return m_sourceList; }
    // The entry selected at the list's last pick (-1 for none).
    int rememberedGroupEntry(int list) const;

    // --- What the track list shows ----------------------------------------------------
    // The music folder with one trailing separator; the folder list's entries are below it.
    void setFolderPrefix(const QString& prefix) { m_folderPrefix = prefix; }
    const QString& folderPrefix() const { return m_folderPrefix; }
    // Which files a folder view lists (the file-type boxes).
    void setFilePattern(const FilePattern& pattern) { m_pattern = pattern; }
    const FilePattern& filePattern() const { return m_pattern; }
    // The catalogued tracks of the folder's files under the pattern, in file-name order. A
    // folder that has vanished shows nothing.
    void showFolder(const QString& folder);
    // Every row, in row order (the source list is left as it is).
    void showAllTracks();
    // The rows whose cell in column equals value exactly, case included, in row order.
    void showGroupValue(const QString& value, int column);
    // What the rows shown came from: a listing (the fills above, or a list shown again), a
    // find, or a playlist. Continuous play goes round found rows and a playlist's, past the
    // last to the first.
    enum class RowsKind { Listed, Found, Playlist };
    // Exactly these rows, in this order: of the playlist's catalogue for Playlist, else of
    // the library's.
    void showRows(std::vector<int> rows, RowsKind kind);
    RowsKind shownKind() const { return m_shownKind; }
    // Every row is shown, as the ALL page shows them.
    bool showingAllTracks() const {
        return m_shownKind == RowsKind::Listed && m_lastFill.kind == Fill::Kind::All;
    }
    const std::vector<int>& shownRows() const { return m_trackRows.rows(); }
    // A playlist's entries as the track list, in their order: rows of a catalogue of their
    // own, with the library's cells where the file is catalogued, else its path and title
    // (the playlist's, else the file name). Gives the rows whose tags are yet to be read.
    std::vector<int> showPlaylist(const std::vector<PlaylistEntry>& entries);
    // The last playlist shown, and its rows' file's own title once read.
    const Catalogue& playlist() const { return m_playlist; }
    void setPlaylistTitle(int row, const QString& title);
    // The catalogue the rows shown are of.
    const Catalogue& shownCatalogue() const { return m_trackRows.catalogue(); }

    // --- The track list -----------------------------------------------------------------
    QAbstractItemModel& titleColumn() { return m_titles; }
    QAbstractItemModel& numberColumn() { return m_numbers; }
    QItemSelectionModel& titleSelection() { return m_titleSelection; }
    QItemSelectionModel& numberSelection() { return m_numberSelection; }
    int trackCount() const { return m_trackRows.count(); }
    // -1 when nothing is selected.
    int selectedTrack() const;
    // Selects track index (-1 or out of range clears the selection).
    void selectTrack(int index);
    // The number column's selected entry (-1 when none); it follows the titles'.
    int selectedNumberEntry() const;
    // The catalogue row named by the number column's selected entry, while that row exists.
    std::optional<int> selectedRow() const;
    // Column 0 of the row of the shown catalogue; empty text when the row does not exist.
    QString rowPath(int row) const;
    QStringList trackTitles() const;
    QStringList trackNumbers() const;

    // --- The reserved list ------------------------------------------------------------
    ReservedList& reserved() { return m_reserved; }
    const ReservedList& reserved() const { return m_reserved; }

    // --- A library scanned anew elsewhere -----------------------------------------------
    // swapIn trades the catalogue's and the group lists' content for the new library's. What
    // the user sees stays as it was, by text rather than by row: each list's selected and
    // remembered entry, the source list, the track list (filled again the way it was, or its
    // found rows looked up by path) and the selected track. Nothing is picked meanwhile.
    void replaceLibrary(const std::function<void()>& swapIn);
    // The rows the track list's last fill (a folder, a group value, every row) gives now.
    std::vector<int> rowsOfLastFill() const;

signals:
    // The track list was refilled (both columns).
    void tracksRefilled();
    // Around replaceLibrary(): row numbers taken before mean nothing after.
    void aboutToReplaceLibrary();
    void libraryReplaced();

private:
    // How the track list was last filled from the catalogue.
    struct Fill {
        enum class Kind { None, Folder, Value, All } kind = Kind::None;
        QString text; // the folder, or the value
        int column = 0;
    };
    std::vector<int> rowsOfFolder(const QString& folder) const;
    std::vector<int> rowsOfValue(const QString& value, int column) const;
    std::vector<int> rowsOfPaths(const QStringList& paths) const;
    int entryAfterReplacing(int list, const QString& value, int before) const;
    void fillTracks(std::vector<int> rows, RowsKind kind = RowsKind::Listed);
    static int selectedIn(const QItemSelectionModel& selection);
    static void selectIn(QItemSelectionModel& selection, int index);
    bool validList(int list) const { return list >= 0 && list < GroupCount; }

    const Catalogue& m_catalogue;
    GroupLists& m_groups;
    std::array<std::unique_ptr<QItemSelectionModel>, GroupCount> m_groupSelections;
    std::array<int, GroupCount> m_remembered{-1, -1, -1, -1, -1, -1};
    int m_sourceList = 0;
    QString m_folderPrefix;
    FilePattern m_pattern;
    RowsKind m_shownKind = RowsKind::Listed;
    Fill m_lastFill;
    bool m_replacing = false;
    Catalogue m_playlist;

    TrackRows m_trackRows{m_catalogue};
    TrackColumnModel m_titles{m_trackRows, TrackColumnModel::Column::Title, nullptr};
    TrackColumnModel m_numbers{m_trackRows, TrackColumnModel::Column::Number, nullptr};
    QItemSelectionModel m_titleSelection{&m_titles};
    QItemSelectionModel m_numberSelection{&m_numbers};
    ReservedList m_reserved;
};

} // namespace sonavue
