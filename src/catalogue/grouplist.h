// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A group list (folders, albums, artists, years, genres, and the always-empty sixth) as a
// list model, so that a view shows 100,000 entries without copying them.
#include <QAbstractListModel>
#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace sonavue {

// "Ascending order ignoring case": case-insensitive by code point, ties by exact text.
int compareAscending(const QString& a, const QString& b);
inline bool lessAscending(const QString& a, const QString& b) {
    return compareAscending(a, b) < 0;
}

// The value to add to a group list, or empty text when there is nothing to add: NULs
// become spaces, surrounding spaces go; a value already seen (ignoring case) is empty.
QString newGroupValue(const QString& value, QSet<QString>& seenUpper);

class GroupList : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Order { Ascending, AsMet };
    explicit GroupList(Order order, QObject* parent = nullptr);

    Order order() const { return m_order; }
    int count() const { return m_count; }
    // Empty text for an index outside the list.
    QString at(int index) const;
    QStringList entries() const;
    // Ascending lists insert in order; as-met lists append. Returns the new entry's index,
    // or -1 while the list defers its additions.
    int add(const QString& value);
    // Empties the list, additions still waiting included.
    void clear();
    // Takes other's entries in place of its own (other keeps these), in one reset of the model:
    // a list filled elsewhere is shown at once. Both lists must have the same order.
    void takeEntriesFrom(GroupList& other);
    // The index of the entry equal to value, or -1.
    int indexOf(const QString& value) const;

    // While deferred, added values wait until publishPending(): a shown view then lays the
    // list out once per batch instead of once for every yield of a scan. Turning it off
    // publishes what waits. count(), at() and the model see published entries only.
    void setDeferred(bool on);
    bool deferred() const { return m_deferred; }
    void publishPending();
    int pendingCount() const { return int(m_pending.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // Entries live in blocks of bounded size so that an ordered insert into a list of
    // 100,000 entries moves a few hundred strings, not tens of thousands. A block is a deque:
    // the walk meets folders in descending order, so the folder list grows at its front,
    // which then moves nothing.
    struct Block {
        std::deque<QString> items;
    };
    int blockOf(int index) const;
    int insertSorted(const QString& value);
    int append(const QString& value);
    void renumberFrom(std::size_t block);

    Order m_order;
    bool m_deferred = false;
    std::vector<QString> m_pending;
    int m_count = 0;
    std::vector<Block> m_blocks;
    std::vector<int> m_starts; // index of each block's first entry
};

enum GroupIndex { GroupFolder = 0, GroupAlbum, GroupArtist, GroupYear, GroupGenre, GroupAll };
constexpr int GroupCount = 6;

} // namespace sonavue
