#pragma once
// A main window made of plain containers, for player control's tests. Group list entries
// hold track lists; selecting an entry (when the selection changes) refills the track list,
// selects its first entry and sets the source marker, as the window's group-list click does.
// Every read or write outside a list's bounds is recorded as a violation.
#include "playback/playersurface.h"
#include <QStringList>
#include <array>
#include <deque>
#include <functional>
#include <map>

namespace sonavue::testing {

class FakePlayerSurface : public PlayerSurface {
public:
    static constexpr int GroupLists = 6;

    QStringList log;                // shared with the fake media element
    mutable QStringList violations; // recorded by const reads too

    QStringList catalogue;                             // row -> full path
    std::array<QList<QStringList>, GroupLists> groups; // entry -> its track list (row texts)
    std::array<int, GroupLists> groupSelection{-1, -1, -1, -1, -1, -1};
    QStringList trackList; // the number column
    int trackSelection = -1;
    int marker = 0;
    QStringList reserved;
    QString caption = QStringLiteral("128");
    QList<double> volumes; // every NewVolume call
    QString nowPlaying;
    bool immediate = false;
    int yields = 0;

    // An event that runs at the next yield, in the order posted.
    void post(std::function<void()> event) { m_pending.push_back(std::move(event)); }
    // An event that runs at yield number `yield` (1-based, counted over the surface's life).
    void atYield(int yield, std::function<void()> event) { m_atYield[yield] = std::move(event); }
    // The user picks an entry of a group list (as a click would).
    void pickGroupEntry(int list, int entry);

    int trackListCount() const override { return int(trackList.size()); }
    int trackListSelectedIndex() const override { return trackSelection; }
    void selectTrack(int index) override;
    QString selectedRowNumberText() const override;
    QString catalogueFilePath(int row) const override;

    int sourceMarker() const override { return marker; }
    int groupListCount(int list) const override;
    int groupListSelectedIndex(int list) const override;
    void selectGroupEntry(int list, int index) override;

    int reservedCount() const override { return int(reserved.size()); }
    QString reservedEntry(int index) const override;
    void removeReservedEntry(int index) override;

    QString volumeCaption() const override { return caption; }
    void setVolumeCaption(const QString& text) override;
    void NewVolume(double level) override;

    void setNowPlaying(const QString& text) override;
    bool immediateChangeSelected() const override { return immediate; }
    void letEventsRun() override;

private:
    bool validList(int list) const;

    std::deque<std::function<void()>> m_pending;
    std::map<int, std::function<void()>> m_atYield;
};

} // namespace sonavue::testing
