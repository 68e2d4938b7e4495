// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Player control: stop, continuous start and select start, the end-of-track step and the
// fade toward the reserved list. It decides on the browsing model (what the track list and
// the group lists hold and select, the reserved list), drives the media element through
// its typed calls and sets the volume level; it has no widgets.
#include "catalogue/browsingmodel.h"
#include "playback/mediacontrol.h"
#include "playback/playorder.h"
#include "playback/volumelevel.h"
#include "tags/filetags.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <set>
#include <tuple>

namespace sonavue {

// Where continuous play stands: the track-list index of the track last started from the
// track list (-1: before the first entry) and the group-list entry selected when it
// started (-1: none). Unset until the first start; an unset value counts as 0.
struct PlayPosition {
    std::optional<int> track;
    std::optional<int> groupEntry;
};

class PlayerControl : public QObject {
    Q_OBJECT
public:
    // Follows the media element's finished signal with the end-of-track step.
    PlayerControl(BrowsingModel& browsing, MediaControl& media, VolumeLevel& volume,
                  QObject* parent = nullptr);

    void stop();
    // Plays on from the reserved list, else from the track after the playing one.
    void continuousStart();
    // Plays the selected track (the first when none is selected).
    void selectStart();
    // Opens path where play last stood (a new start picking up where the user left off):
    // at positionMs, paused unless playOn; the end-of-track step goes on from the selected
    // track as after it.
    void resumeAt(const QString& path, qint64 positionMs, bool playOn);
    // The end-of-track step. PlayEnd::Reached and PlayEnd::GivenUp start the next track.
    // PlayEnd::Failed (the file could not be played) is reported; in continuous play the next track
    // then starts as after an end, until a whole round of the play order has failed. Other codes do
    // nothing. A fade under way ends with the track: the queued track plays in full.
    void trackFinished(sonavue::PlayEnd end);
    // The user moves on as after the track's end: the same step, where repeating one track and
    // stopping after the track do not hold (repeat "none" still stops after the last track).
    void next();
    // A new list is shown (a playlist): the track list's part of the play order begins again
    // at its first track; the playing track plays on.
    void startListOver();

    // --- The play order's choices (all off: the step as above) ---------------------------
    // Shuffled play: the track list's tracks in a random order, each once, then the next group
    // entry's; the reserved list still comes first.
    void setShuffle(bool on);
    bool shuffle() const { return m_shuffle; }
    void setRepeat(sonavue::Repeat repeat);
    sonavue::Repeat repeat() const { return m_repeat; }
    // Once: play stops when the playing track ends by itself.
    void setStopAfterTrack(bool on);
    bool stopAfterTrack() const { return m_stopAfterTrack; }
    // One tick of the fade (every 100 ms while it runs).
    void fadeStep();

    // Under "at once" (immediate change), reserving a track fades the playing one out.
    void setImmediateChange(bool on) { m_immediateChange = on; }
    bool immediateChange() const { return m_immediateChange; }
    // A track was just appended to the reserved list: under immediate change, and unless a
    // reserved track is already on its way, the fade starts.
    void trackReserved();
    // Starts the fade toward the reserved list's head.
    void startFade();
    // The reserved list lost the focus: when it is empty, no reserved track is on its way.
    void reservedListLeft();

    const PlayPosition& position() const { return m_position; }
    // True from the first command of a track start (select start, the end-of-track step, the
    // fade's last step) to its last: the close, open and play in between are one change of
    // track, not a stop and a start.
    bool startingTrack() const { return m_startDepth > 0; }
    bool reservedPlaying() const { return m_reservedPlaying; }
    bool fading() const { return m_fadeTimer.isActive(); }
    // The level when the fade started.
    int fadeStartLevel() const { return m_fadeStartLevel; }
    void setTagReading(const TagReading& reading) { m_reading = reading; }
    const TagReading& tagReading() const { return m_reading; }
    // Gapless play: the media element is kept told which file the end-of-track step would
    // choose now, so that it can follow the playing one without a gap; the step then takes
    // the file that already plays instead of closing and opening it.
    void setGapless(bool on);
    bool gapless() const { return m_gapless; }
    // What the end-of-track step would start if the playing track ended now, found without
    // changing anything; nothing when it cannot be told so (a fade under way, a track start
    // under way, or a step that would go to another group entry).
    std::optional<QString> nextChoice() const;
    // What a pause between commands does (default: let pending events run). Tests put their
    // own here to act at a given pause.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }

signals:
    // The now-playing text (a tag's title, or a file name).
    void nowPlayingChanged(const QString& text);
    // A track start has ended (whether or not a track now plays).
    void trackStartFinished();
    // The file could not be played (said before play goes on, if it does).
    void trackFailed(const QString& path);
    // A whole round of the play order found nothing that plays: play has stopped.
    void nothingPlayable();
    // Shuffle, repeat or stop-after-the-track changed.
    void playModeChanged();

private:
    class StartScope;

    // Where a track list start stood: the source list, the group entry and the track.
    using StartPoint = std::tuple<int, int, int>;
    // Why the end-of-track step runs: the track ended by itself (every choice holds), a file
    // was passed over or the user moved on (repeat "none" holds), or play was started (the
    // step as it always is).
    enum class StepCause { TrackEnded, MovedOn, Started };

    // Lets pending events run; false when this object was destroyed meanwhile.
    bool yield();
    // The step with failures counted afresh.
    void runStep(StepCause cause);
    // Starts the next track: the reserved list's head, else the track list's next track.
    void advance(StepCause cause);
    // The end-of-track step once its code is taken: a fade under way ends with it.
    void endOfTrack(StepCause cause);
    // Reports the failed file; true when continuous play goes on past it.
    bool passOverFailure();
    // A whole round of the play order has failed: play stops, and says so.
    void stopAfterFailedRound();
    void startReservedTrack();
    // The fade's last step: close, the end-of-track step (the reserved track starts), then
    // the middle level. False when this object was destroyed meanwhile.
    bool finishFade();
    void continueTrackList(bool stopAtEnd);
    // Back to where continuous play stood, then one track on (into the next group entry past
    // the list's end; round to the first of found rows). Nothing when there is no group
    // entry to go to, or, with stopAtEnd, when play would go round.
    std::optional<PlayPosition> nextTrackListPosition(bool stopAtEnd);
    // Shuffled: the playing group entry's list again, its order's next track, past the order's
    // end into the next group entry. Nothing as for nextTrackListPosition.
    std::optional<PlayPosition> nextShuffledPosition(bool stopAtEnd);
    // Starts track c of the shown list, group entry g (after a yield that may change the list).
    void startListTrack(int c, int g);
    // The track last started, again.
    void replayTrack();
    // Play stops here, by the play order's choice.
    void stopByChoice();
    // Column 0 of the selected track's catalogue row, when a track is selected and its row
    // exists.
    std::optional<QString> selectedTrackPath() const;
    // The source list when it names one of the six group lists.
    std::optional<int> currentGroupList() const;
    int groupEntryCount(std::optional<int> list) const;
    // Sets the level from the relative volume in a tag comment, if it has one.
    void applyRelativeVolume(const ID3v1Record& record);
    // A track start's close and open: both left out when the media element already plays
    // path, having followed the track before without a gap.
    void closeUnlessContinued(const QString& path);
    // Opens path; false when it was the continued file, taken as it plays (no play needed).
    bool openUnlessContinued(const QString& path);
    // Tells the media element what the end-of-track step would choose now (gapless play).
    void offerNextFile();
    // Has whatever may change that choice offer it again (done once, when gapless play is
    // first turned on).
    void wireOffers();

    BrowsingModel& m_browsing;
    MediaControl& m_media;
    VolumeLevel& m_volume;
    std::function<void()> m_yield;
    QTimer m_fadeTimer; // 100 ms
    int m_fadeStartLevel = 0;
    PlayPosition m_position;
    bool m_immediateChange = false;
    bool m_reservedPlaying = false;
    int m_startDepth = 0; // track starts under way (a yield may run one inside another)
    TagReading m_reading;
    // The play under way belongs to continuous play (not to a select start).
    bool m_continuing = false;
    // Where the last track list start stood (none for a reserved start).
    std::optional<StartPoint> m_startedAt;
    // Failures in a row since something last played or the user last started play.
    int m_failuresInARow = 0;
    std::set<StartPoint> m_failedPoints;
    bool m_gapless = false;
    bool m_offersWired = false; // what changes the next choice re-offers it
    // The last file offered and the output gain its relative volume sets.
    std::optional<NextFile> m_offered;
    bool m_shuffle = false;
    Repeat m_repeat = Repeat::All;
    bool m_stopAfterTrack = false;
    ShuffleOrder m_shuffleOrder;
    QString m_startedPath; // the file of the last track start
};

} // namespace sonavue
