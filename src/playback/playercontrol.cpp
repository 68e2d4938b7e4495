#include "playback/playercontrol.h"

#include "playback/volume.h"
#include "tags/id3v1.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace sonavue {
namespace {

constexpr int FadeIntervalMs = 100;
constexpr int FadeStep = 8;

} // namespace

// Marks a track start for its whole length, whichever way it returns.
class PlayerControl::StartScope {
public:
    explicit StartScope(PlayerControl& control) : m_control(&control) { ++control.m_startDepth; }
    ~StartScope() {
        if (m_control && --m_control->m_startDepth == 0)
            emit m_control->trackStartFinished();
    }
    StartScope(const StartScope&) = delete;
    StartScope& operator=(const StartScope&) = delete;

private:
    QPointer<PlayerControl> m_control; // the control may be destroyed during a yield
};

PlayerControl::PlayerControl(BrowsingModel& browsing, MediaControl& media, VolumeLevel& volume,
                             QObject* parent)
    : QObject(parent), m_browsing(browsing), m_media(media), m_volume(volume),
      m_yield([] { QCoreApplication::processEvents(); }) {
    m_fadeTimer.setInterval(FadeIntervalMs);
    connect(&m_fadeTimer, &QTimer::timeout, this, &PlayerControl::fadeStep);
    connect(&m_media, &MediaControl::finished, this, &PlayerControl::trackFinished);
}

bool PlayerControl::yield() {
    const QPointer<PlayerControl> alive(this);
    m_yield();
    return !alive.isNull();
}

std::optional<int> PlayerControl::currentGroupList() const {
    const int list = m_browsing.sourceList();
    if (list < 0 || list >= GroupCount)
        return std::nullopt;
    return list;
}

int PlayerControl::groupEntryCount(std::optional<int> list) const {
    // A source that names no group list is taken as a group list without entries.
    return list ? m_browsing.groupEntryCount(*list) : 0;
}

std::optional<QString> PlayerControl::selectedTrackPath() const {
    if (m_browsing.selectedTrack() < 0)
        return std::nullopt;
    const std::optional<int> row = m_browsing.selectedRow();
    if (!row)
        return std::nullopt;
    QString path = m_browsing.rowPath(*row);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void PlayerControl::applyRelativeVolume(const ID3v1Record& record) {
    if (const std::optional<int> level = relativeVolumeLevel(record.Comment))
        m_volume.setLevel(*level);
}

void PlayerControl::stop() {
    m_media.close();
}

void PlayerControl::selectStart() {
    const StartScope starting(*this);
    m_media.close();
    m_position.track = m_browsing.selectedTrack();
    const std::optional<int> list = currentGroupList();
    m_position.groupEntry = list ? m_browsing.selectedGroupEntry(*list) : -1;

    if (m_browsing.selectedTrack() < 0 && m_browsing.trackCount() > 0)
        m_browsing.selectTrack(0);
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // nothing to play: the player stays idle

    // The file's name as a folder lookup of that path gives it: empty when no file is there.
    const QFileInfo info(*path);
    emit nowPlayingChanged(info.isFile() ? info.fileName() : QString());
    if (!yield())
        return;
    m_media.open(*path);
    m_media.play();
}

void PlayerControl::continuousStart() {
    if (m_browsing.selectedTrack() < 0 && m_browsing.trackCount() > 0)
        m_browsing.selectTrack(0);
    if (!m_position.track)
        m_position.track = -1;
    if (!yield())
        return;
    trackFinished(DoneSuccessful);
}

void PlayerControl::trackFinished(int code) {
    if (code != DoneSuccessful && code != DoneGivenUp)
        return;
    const StartScope starting(*this);
    m_reservedPlaying = false;
    if (m_browsing.reserved().count() > 0)
        startReservedTrack();
    else
        continueTrackList();
}

void PlayerControl::startReservedTrack() {
    ReservedList& reserved = m_browsing.reserved();
    const QString path = reserved.at(0);
    m_reservedPlaying = true;
    m_media.close();
    if (!yield())
        return;

    const ShownTags tags = readShownTags(path, m_reading);
    applyRelativeVolume(tags.id3v1); // only the ID3v1 comment carries it
    m_media.open(path);
    // The yield may have let the user take entries off the list (or another step play this
    // one): remove the head only when it is still the path being started.
    if (reserved.count() > 0 && reserved.at(0) == path)
        reserved.removeAt(0);
    m_media.play();
    emit nowPlayingChanged(tags.title());
}

void PlayerControl::continueTrackList() {
    const std::optional<int> list = currentGroupList();
    const int n = m_browsing.trackCount();
    int c = m_position.track.value_or(0);
    const int gn = groupEntryCount(list);
    int g = m_position.groupEntry.value_or(0);

    // Back to the playing track and group entry: clamp the index to the list now shown,
    // then reselect the group entry (which refills the list when the user picked another).
    if (m_browsing.trackCount() < c + 1)
        c = m_browsing.trackCount() - 1;
    m_browsing.selectTrack(c);
    if (g >= 0) { // -1: no group entry was selected at the start; leave the group list alone
        if (g >= groupEntryCount(list))
            return; // the entry is no longer in this group list: stay idle
        m_browsing.selectGroupEntry(*list, g);
    }

    // Advance, past the end of the track list into the next group entry; n and gn are the
    // counts seen before the group entry was reselected.
    if (c + 1 >= n) {
        g += 1;
        c = 0;
    } else {
        c += 1;
    }
    if (g >= gn)
        g = 0;
    if (g >= 0) {
        if (g >= groupEntryCount(list))
            return; // no group entry to select: stay idle
        m_browsing.selectGroupEntry(*list, g);
    }
    if (!yield())
        return;

    // The yield may have refilled or emptied the track list: clamp against what it holds now.
    if (m_browsing.trackCount() < c + 1)
        c = m_browsing.trackCount() - 1;
    m_browsing.selectTrack(c);
    m_position = {c, g};
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // empty track list or a row that is not in the catalogue: stay idle

    m_media.close();
    if (!yield())
        return;
    ID3v1Record volumeRecord;
    readID3TAG(*path, volumeRecord, m_reading.codePage);
    applyRelativeVolume(volumeRecord);
    m_media.open(*path);
    m_media.play();
    // The title comes from a fresh record of its own.
    emit nowPlayingChanged(readShownTags(*path, m_reading).title());
}

void PlayerControl::fadeStep() {
    const int v = m_volume.level() - FadeStep;
    if (v < 1) {
        if (!finishFade())
            return;
    } else {
        m_volume.setLevel(v);
    }
    yield();
}

bool PlayerControl::finishFade() {
    const QPointer<PlayerControl> alive(this);
    const StartScope starting(*this);
    m_volume.showLevel(MiddleLevel);
    m_fadeTimer.stop();
    m_media.close();
    if (!yield())
        return false;
    trackFinished(DoneSuccessful);
    if (alive.isNull())
        return false;
    // This replaces the reserved track's relative volume by the middle level.
    m_volume.setLevel(MiddleLevel);
    return true;
}

void PlayerControl::startFade() {
    m_fadeStartLevel = m_volume.level();
    m_fadeTimer.start();
    m_reservedPlaying = true;
}

void PlayerControl::trackReserved() {
    if (m_immediateChange && !m_reservedPlaying)
        startFade();
}

void PlayerControl::reservedListLeft() {
    if (m_browsing.reserved().count() == 0)
        m_reservedPlaying = false;
}

} // namespace sonavue
