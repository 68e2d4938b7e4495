#include "playback/fakes/fakeplayersurface.h"

#include "playback/volume.h"

namespace sonavue::testing {

bool FakePlayerSurface::validList(int list) const {
    if (list >= 0 && list < GroupLists)
        return true;
    violations << QStringLiteral("group list %1").arg(list);
    return false;
}

void FakePlayerSurface::pickGroupEntry(int list, int entry) {
    groupSelection[list] = entry;
    trackList = groups[list].value(entry);
    trackSelection = trackList.isEmpty() ? -1 : 0;
    marker = list;
}

void FakePlayerSurface::selectTrack(int index) {
    if (index < -1 || index >= trackListCount()) {
        violations << QStringLiteral("selectTrack(%1) of %2").arg(index).arg(trackListCount());
        return;
    }
    trackSelection = index;
    log << QStringLiteral("track %1").arg(index);
}

QString FakePlayerSurface::selectedRowNumberText() const {
    return trackSelection >= 0 && trackSelection < trackListCount() ? trackList[trackSelection]
                                                                    : QString();
}

QString FakePlayerSurface::catalogueFilePath(int row) const {
    return catalogue.value(row);
}

int FakePlayerSurface::groupListCount(int list) const {
    return validList(list) ? int(groups[list].size()) : 0;
}

int FakePlayerSurface::groupListSelectedIndex(int list) const {
    return validList(list) ? groupSelection[list] : -1;
}

void FakePlayerSurface::selectGroupEntry(int list, int index) {
    if (!validList(list))
        return;
    if (index < 0 || index >= int(groups[list].size())) {
        violations << QStringLiteral("selectGroupEntry(%1, %2)").arg(list).arg(index);
        return;
    }
    if (groupSelection[list] == index)
        return; // no change, so no click
    log << QStringLiteral("group %1:%2").arg(list).arg(index);
    pickGroupEntry(list, index);
}

QString FakePlayerSurface::reservedEntry(int index) const {
    if (index < 0 || index >= reservedCount()) {
        violations << QStringLiteral("reservedEntry(%1)").arg(index);
        return {};
    }
    return reserved[index];
}

void FakePlayerSurface::removeReservedEntry(int index) {
    if (index < 0 || index >= reservedCount()) {
        violations << QStringLiteral("removeReservedEntry(%1)").arg(index);
        return;
    }
    reserved.removeAt(index);
    log << QStringLiteral("unreserve %1").arg(index);
}

void FakePlayerSurface::setVolumeCaption(const QString& text) {
    caption = text;
    log << QStringLiteral("caption ") + text;
}

void FakePlayerSurface::NewVolume(double level) {
    volumes << level;
    caption = QString::number(clampLevel(level));
    log << QStringLiteral("NewVolume %1").arg(level);
}

void FakePlayerSurface::setNowPlaying(const QString& text) {
    nowPlaying = text;
    log << QStringLiteral("title ") + text;
}

void FakePlayerSurface::letEventsRun() {
    ++yields;
    log << QStringLiteral("yield");
    if (auto it = m_atYield.find(yields); it != m_atYield.end()) {
        auto event = std::move(it->second);
        m_atYield.erase(it);
        event();
    }
    while (!m_pending.empty()) {
        auto event = std::move(m_pending.front());
        m_pending.pop_front();
        event();
    }
}

} // namespace sonavue::testing
