// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/playercontrol.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "playback/volume.h"
#include "tags/id3v1.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <utility>

namespace sonavue {
namespace {

constexpr int FadeIntervalMs = 100;
constexpr int FadeStep = 8;

// Found rows are gone round: the row after c of n, past the last to the first.
int nextFoundRow(int c, int n) {
    c = std::min(c, n - 1) + 1;
    return c < n ? c : 0;
}

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

void PlayerControl::setGapless(bool on) {
    if (m_gapless == on)
        return;
    m_gapless = on;
    if (!on) {
        // A file prepared to follow is given up: the playing one ends as without gapless play.
        m_offered.reset();
        m_media.setNextFile(std::nullopt);
        return;
    }
    if (!std::exchange(m_offersWired, true))
        wireOffers();
    offerNextFile();
}

void PlayerControl::wireOffers() {
    // Whatever may change the step's choice: the reserved list, the selections, the end of
    // a track start.
    const auto offer = [this] { offerNextFile(); };
    ReservedList& reserved = m_browsing.reserved();
    connect(&reserved, &QAbstractItemModel::rowsInserted, this, offer);
    connect(&reserved, &QAbstractItemModel::rowsRemoved, this, offer);
    connect(&reserved, &QAbstractItemModel::modelReset, this, offer);
    connect(&m_browsing.titleSelection(), &QItemSelectionModel::selectionChanged, this, offer);
    connect(&m_browsing, &BrowsingModel::tracksRefilled, this, offer);
    for (int list = 0; list < GroupCount; ++list)
        connect(&m_browsing.groupSelection(list), &QItemSelectionModel::selectionChanged, this,
                offer);
    connect(this, &PlayerControl::trackStartFinished, this, offer);
}

std::optional<QString> PlayerControl::nextChoice() const {
    if (m_fadeTimer.isActive() || m_startDepth > 0 || m_stopAfterTrack)
        return std::nullopt;
    if (m_browsing.reserved().count() > 0)
        return m_browsing.reserved().at(0);
    if (m_repeat == Repeat::One && !m_startedPath.isEmpty())
        return m_startedPath;
    const std::vector<int>& rows = m_browsing.shownRows();
    const int n = int(rows.size());
    int c = m_position.track.value_or(0);
    if (n == 0)
        return std::nullopt;
    const bool found = m_browsing.shownKind() != BrowsingModel::RowsKind::Listed;
    // Only a next track in the list that play stands in: the step would reselect another
    // group entry first, which cannot be looked at without selecting it.
    const int g = m_position.groupEntry.value_or(0);
    const std::optional<int> list = currentGroupList();
    if (!found && g >= 0 && (!list || m_browsing.selectedGroupEntry(*list) != g))
        return std::nullopt;
    if (m_shuffle) {
        const std::optional<int> shuffled = m_shuffleOrder.peek(rows);
        if (!shuffled)
            return std::nullopt;
        c = *shuffled;
    } else if (found) {
        if (m_repeat == Repeat::None && std::min(c, n - 1) + 1 >= n)
            return std::nullopt;
        c = nextFoundRow(c, n);
    } else {
        if (c < 0 || c + 1 >= n)
            return std::nullopt;
        c += 1;
    }
    const QString path = m_browsing.rowPath(rows[std::size_t(c)]);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void PlayerControl::offerNextFile() {
    if (!m_gapless || m_startDepth > 0)
        return;
    const std::optional<QString> path = nextChoice();
    if (!path) {
        m_offered.reset();
    } else if (!m_offered || m_offered->path != *path) {
        // The level the step would set from the file's relative volume, read once per file.
        ID3v1Record record;
        readID3TAG(*path, record, m_reading.codePage);
        std::optional<double> gain;
        if (const std::optional<int> level = relativeVolumeLevel(record.Comment))
            gain = levelGain(*level);
        m_offered = NextFile{*path, gain};
    }
    m_media.setNextFile(m_offered);
}

void PlayerControl::closeUnlessContinued(const QString& path) {
    if (m_media.continuedFile().isEmpty() || m_media.continuedFile() != path)
        m_media.close();
}

bool PlayerControl::openUnlessContinued(const QString& path) {
    if (m_media.takeContinuedFile(path))
        return false;
    m_media.open(path);
    return true;
}

void PlayerControl::stop() {
    m_media.close();
}

void PlayerControl::setShuffle(bool on) {
    if (m_shuffle == on)
        return;
    m_shuffle = on;
    m_shuffleOrder.forget(); // switched on again: a new order
    offerNextFile();
    emit playModeChanged();
}

void PlayerControl::setRepeat(Repeat repeat) {
    if (m_repeat == repeat)
        return;
    m_repeat = repeat;
    offerNextFile();
    emit playModeChanged();
}

void PlayerControl::setStopAfterTrack(bool on) {
    if (m_stopAfterTrack == on)
        return;
    m_stopAfterTrack = on;
    offerNextFile();
    emit playModeChanged();
}

void PlayerControl::stopByChoice() {
    m_media.close();
}

void PlayerControl::selectStart() {
    const StartScope starting(*this);
    m_continuing = false;
    m_media.close();
    m_position.track = m_browsing.selectedTrack();
    const std::optional<int> list = currentGroupList();
    m_position.groupEntry = list ? m_browsing.selectedGroupEntry(*list) : -1;

    if (m_browsing.selectedTrack() < 0 && m_browsing.trackCount() > 0)
        m_browsing.selectTrack(0);
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // nothing to play: the player stays idle
    m_startedPath = *path;

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
    runStep(StepCause::Started);
}

void PlayerControl::trackFinished(PlayEnd end) {
    if (end == PlayEnd::Failed) {
        if (passOverFailure())
            endOfTrack(StepCause::MovedOn);
    } else if (end == PlayEnd::Reached || end == PlayEnd::GivenUp) {
        // A play given up is passed over: it is not played again, nor stopped after.
        runStep(end == PlayEnd::Reached ? StepCause::TrackEnded : StepCause::MovedOn);
    }
}

void PlayerControl::next() {
    runStep(StepCause::MovedOn);
}

void PlayerControl::resumeAt(const QString& path, qint64 positionMs, bool playOn) {
    const StartScope starting(*this);
    m_continuing = true;
    m_media.close();
    // Play stands at the track in the list shown when it is there, else at the selected one.
    const std::vector<int>& rows = m_browsing.shownRows();
    int track = m_browsing.selectedTrack();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (m_browsing.rowPath(rows[i]) == path) {
            track = int(i);
            break;
        }
    const std::optional<int> list = currentGroupList();
    m_position = {track, list ? m_browsing.selectedGroupEntry(*list) : -1};
    m_startedPath = path;
    const ShownTags tags = readShownTags(path, m_reading);
    applyRelativeVolume(tags.id3v1);
    m_media.open(path);
    m_media.play();
    // Paused before the pipeline has prerolled: nothing is heard before the seek.
    if (!playOn)
        m_media.pause();
    if (positionMs > 0)
        m_media.seekMs(positionMs);
    emit nowPlayingChanged(tags.title());
}

void PlayerControl::startListOver() {
    m_position.track = -1;
    m_shuffleOrder.forget();
}

void PlayerControl::runStep(StepCause cause) {
    // A track played (or the user moved play on): failures start counting afresh.
    m_failuresInARow = 0;
    m_failedPoints.clear();
    endOfTrack(cause);
}

void PlayerControl::endOfTrack(StepCause cause) {
    if (!m_fadeTimer.isActive()) {
        advance(cause);
        return;
    }
    // The fading track ended before the fade reached its bottom: the fade ends here as it
    // would there, so that the queued track plays in full at the middle level.
    const QPointer<PlayerControl> alive(this);
    m_fadeTimer.stop();
    advance(cause);
    if (alive)
        m_volume.setLevel(MiddleLevel);
}

void PlayerControl::advance(StepCause cause) {
    const StartScope starting(*this);
    m_continuing = true;
    m_reservedPlaying = false;
    const bool ended = cause == StepCause::TrackEnded;
    if (ended && m_stopAfterTrack) {
        setStopAfterTrack(false); // once
        stopByChoice();
    } else if (m_browsing.reserved().count() > 0) {
        startReservedTrack();
    } else if (ended && m_repeat == Repeat::One && !m_startedPath.isEmpty()) {
        replayTrack();
    } else {
        continueTrackList(cause != StepCause::Started && m_repeat == Repeat::None);
    }
}

bool PlayerControl::passOverFailure() {
    const QString path = m_media.fileName();
    reportLine(QStringLiteral("cannot play ") + readableText(path));
    emit trackFailed(path);
    if (!m_continuing)
        return false; // a select start stops at the file the user chose
    if (m_startedAt)
        m_failedPoints.insert(*m_startedAt);
    // More failures in a row than one round of the play order holds (every row once, every
    // group entry once, the reserved list) means that the order has been changed under it
    // all along; it stops as after a round.
    const int oneRound = m_browsing.catalogue().rowCount() + groupEntryCount(currentGroupList()) +
                         ReservedList::MaxEntries;
    if (++m_failuresInARow <= oneRound)
        return true;
    stopAfterFailedRound();
    return false;
}

void PlayerControl::stopAfterFailedRound() {
    m_failuresInARow = 0;
    m_failedPoints.clear();
    reportLine(QStringLiteral("nothing in the play order can be played; play stopped"));
    emit nothingPlayable();
}

void PlayerControl::startReservedTrack() {
    ReservedList& reserved = m_browsing.reserved();
    const QString path = reserved.at(0);
    m_reservedPlaying = true;
    m_startedAt.reset();
    m_startedPath = path;
    closeUnlessContinued(path);
    if (!yield())
        return;

    const ShownTags tags = readShownTags(path, m_reading);
    applyRelativeVolume(tags.id3v1); // only the ID3v1 comment carries it
    const bool opened = openUnlessContinued(path);
    // The yield may have let the user take entries off the list (or another step play this
    // one): remove the head only when it is still the path being started.
    if (reserved.count() > 0 && reserved.at(0) == path)
        reserved.removeAt(0);
    if (opened)
        m_media.play();
    emit nowPlayingChanged(tags.title());
}

void PlayerControl::replayTrack() {
    const QString path = m_startedPath;
    closeUnlessContinued(path);
    if (!yield())
        return;
    const ShownTags tags = readShownTags(path, m_reading);
    applyRelativeVolume(tags.id3v1);
    if (openUnlessContinued(path))
        m_media.play();
    emit nowPlayingChanged(tags.title());
}

std::optional<PlayPosition> PlayerControl::nextTrackListPosition(bool stopAtEnd) {
    const std::optional<int> list = currentGroupList();
    const int n = m_browsing.trackCount();
    int c = m_position.track.value_or(0);
    const int gn = groupEntryCount(list);
    int g = m_position.groupEntry.value_or(0);
    if (m_browsing.shownKind() != BrowsingModel::RowsKind::Listed) {
        if (stopAtEnd && std::min(c, n - 1) + 1 >= n) {
            stopByChoice();
            return std::nullopt;
        }
        return PlayPosition{nextFoundRow(c, n), g}; // the group entry stays
    }

    if (g >= gn && gn > 0) {
        // The group entry play stood at is gone (a smaller library was scanned since): play
        // goes on from the first track of the first entry.
        g = 0;
        c = 0;
    } else {
        // Back to the playing track and group entry: clamp the index to the list now shown,
        // then reselect the group entry (which refills the list when the user picked another).
        if (m_browsing.trackCount() < c + 1)
            c = m_browsing.trackCount() - 1;
        m_browsing.selectTrack(c);
        if (g >= 0) { // -1: no group entry was selected at the start; leave the list alone
            if (g >= gn)
                return std::nullopt; // no group entries at all: stay idle
            m_browsing.selectGroupEntry(*list, g);
        }
        // Advance, past the end of the track list into the next group entry; n and gn are
        // the counts seen before the group entry was reselected.
        if (c + 1 >= n) {
            if (stopAtEnd && g + 1 >= gn) {
                stopByChoice(); // the last track of the last entry has played
                return std::nullopt;
            }
            g += 1;
            c = 0;
        } else {
            c += 1;
        }
        if (g >= gn)
            g = 0;
    }
    if (g < 0)
        return PlayPosition{c, g};
    if (g >= groupEntryCount(list))
        return std::nullopt; // no group entry to select: stay idle
    m_browsing.selectGroupEntry(*list, g);
    // An entry that lists no track (its folder is gone, or its files' type is no longer
    // chosen) is passed over, at most once round the group list.
    for (int tried = 1; m_browsing.trackCount() == 0 && tried < gn; ++tried) {
        g = (g + 1) % gn;
        c = 0;
        m_browsing.selectGroupEntry(*list, g);
    }
    return PlayPosition{c, g};
}

std::optional<PlayPosition> PlayerControl::nextShuffledPosition(bool stopAtEnd) {
    const std::optional<int> list = currentGroupList();
    const int gn = groupEntryCount(list);
    int g = m_position.groupEntry.value_or(0);
    int played = m_position.track.value_or(-1);
    // Group entries are gone through while play stands in one (found rows have none).
    const bool byEntries = m_browsing.shownKind() == BrowsingModel::RowsKind::Listed && g >= 0;
    if (byEntries) {
        if (g >= gn) { // the entry play stood at is gone: from the first
            if (gn == 0)
                return std::nullopt;
            g = 0;
            played = -1;
        }
        m_browsing.selectGroupEntry(*list, g); // the playing entry's list, if another is shown
    }
    std::optional<int> c = m_shuffleOrder.take(m_browsing.shownRows(), played);
    // The order is used up: on into the next group entry with an order of its own (an entry
    // listing no track is passed over, at most once round).
    for (int tried = 0; !c && tried < std::max(gn, 1); ++tried) {
        if (stopAtEnd && (!byEntries || g + 1 >= gn)) {
            stopByChoice();
            return std::nullopt;
        }
        if (byEntries) {
            g = (g + 1) % gn;
            m_browsing.selectGroupEntry(*list, g);
        }
        m_shuffleOrder.forget();
        c = m_shuffleOrder.take(m_browsing.shownRows(), -1);
    }
    if (!c)
        return std::nullopt;
    return PlayPosition{*c, g};
}

void PlayerControl::continueTrackList(bool stopAtEnd) {
    const std::optional<PlayPosition> next =
        m_shuffle ? nextShuffledPosition(stopAtEnd) : nextTrackListPosition(stopAtEnd);
    if (!next)
        return;
    if (!yield())
        return;
    startListTrack(next->track.value_or(0), next->groupEntry.value_or(0));
}

void PlayerControl::startListTrack(int c, int g) {
    // The yield may have refilled or emptied the track list: clamp against what it holds now.
    if (m_browsing.trackCount() < c + 1)
        c = m_browsing.trackCount() - 1;
    m_browsing.selectTrack(c);
    m_position = {c, g};
    m_startedAt = StartPoint{m_browsing.sourceList(), g, c};
    if (m_failuresInARow > 0 && m_failedPoints.count(*m_startedAt) > 0) {
        // Play has come round to a track that failed before, and nothing since has played.
        stopAfterFailedRound();
        return;
    }
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // empty track list or a row that is not in the catalogue: stay idle
    m_startedPath = *path;

    closeUnlessContinued(*path);
    if (!yield())
        return;
    ID3v1Record volumeRecord;
    readID3TAG(*path, volumeRecord, m_reading.codePage);
    applyRelativeVolume(volumeRecord);
    if (openUnlessContinued(*path))
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
    runStep(StepCause::Started);
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
    offerNextFile(); // nothing follows a fading track
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
