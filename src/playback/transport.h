// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The one command path of playback. Every front end (the window's keys and buttons, the
// transport bar, the desktop's media controls, files from outside) asks for play through
// these verbs, so that player control's rules (a track start is one change of track; the
// fade owns the track it fades; the end-of-track step chooses what comes next) hold
// whoever asks. Transport decides only which step of player control, or of the open file,
// a verb means, and reports the open file's progress; it owns none of them.
#include "catalogue/browsingmodel.h"
#include "catalogue/playlisttitles.h"
#include "playback/mediacontrol.h"
#include "playback/playercontrol.h"
#include "playback/volumelevel.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>

namespace sonavue {

class Transport : public QObject {
    Q_OBJECT
public:
    Transport(BrowsingModel& browsing, PlayerControl& player, MediaControl& media,
              VolumeLevel& volume, QObject* parent = nullptr);

    // --- Play as the window's buttons and keys give it ---------------------------------
    void stop();
    void continuousStart();
    void selectStart();
    // On as after the playing track's end: the reserved list first, then the track list
    // (neither repeating one track nor stopping after it holds here).
    void next();

    // --- The play order's choices (player control's) ----------------------------------
    void setShuffle(bool on) { m_player.setShuffle(on); }
    bool shuffle() const { return m_player.shuffle(); }
    void setRepeat(Repeat repeat) { m_player.setRepeat(repeat); }
    Repeat repeat() const { return m_player.repeat(); }
    void setStopAfterTrack(bool on) { m_player.setStopAfterTrack(on); }
    bool stopAfterTrack() const { return m_player.stopAfterTrack(); }

    // --- The open file ------------------------------------------------------------------
    // Resumes a paused file; with nothing open or a file stopped, continuous start.
    void play();
    // Pauses a playing file; nothing else.
    void pause();
    void playPause();
    // The transport bar's button: pauses a playing file, else plays the open file on from
    // where it stands.
    void pauseOrResumeOpenFile();
    // Back to the open file's start, paused (the transport bar's stop).
    void stopOpenFile();
    // The playing track from its start again (play only goes forward, so there is no earlier
    // track); false when nothing is open.
    bool restartTrack();
    // Seeks the open file to ms; a point past its end goes on as after the end. The position
    // sought, or nothing when no file is open or play went on.
    std::optional<qint64> seekTo(qint64 ms);
    // The same, relative to where the file stands (never before its start).
    std::optional<qint64> seekBy(qint64 offsetMs);

    // --- The reserved list -------------------------------------------------------------
    // Appends path to the reserved list, as a double-click on its track does, and lets the
    // play option decide what becomes of the playing track (under "at once" it fades). False
    // when the list is full.
    bool reserveTrack(const QString& path);
    // Empties the reserved list; the playing track goes on.
    void clearReserved();

    // --- Volume and files from outside -------------------------------------------------
    void setVolumeLevel(double level);
    // Each path goes on the reserved list as a double-click on its track would put it there,
    // after the checks the folder scan makes, of any type the player plays; when nothing
    // plays, continuous play then starts with the list's head (after the current event, so
    // a caller is answered first). A playlist (.m3u, .m3u8, .pls) becomes the track list
    // instead, its entries that cannot play passed over with a note each; play goes on
    // through it from its first entry, at once when nothing plays. One answer per path, in
    // order: empty when it was taken, else why not.
    QStringList openFiles(const QStringList& paths);
    // The shown track list as an M3U8 file at path; empty text when written, else why not.
    QString saveTrackList(const QString& path) const;
    // Nothing open or a track stopped, and no track start or fade under way.
    bool idle() const;
    // The program ends: the open file is closed, whatever plays.
    void closeForExit();

    // --- What is open and where it stands -----------------------------------------------
    MediaControl::State state() const { return m_media.state(); }
    qint64 positionMs() const { return m_media.positionMs(); }
    qint64 durationMs() const { return m_media.durationMs(); }
    const QString& fileName() const { return m_media.fileName(); }
    // The smallest change of position a view shows (the position slider's pixel), in ms; the
    // clock's whole seconds are always shown.
    void setShownPositionStep(qint64 ms);

signals:
    // The open file's state, position or length changed: at every change of state, and while
    // a file plays when what is shown of its position can change: the clock's next second or
    // the shown step, read at most every PollIntervalMs and at least once a second.
    void progressChanged(sonavue::MediaControl::State state, qint64 positionMs, qint64 durationMs);

public:
    static constexpr int PollIntervalMs = 250;
    // Until when the clock is read after position: past the next shown second or step.
    static int nextReadInMs(qint64 positionMs, qint64 shownStepMs);

private:
    void reportProgress();
    QString openPlaylist(const QString& path);

    BrowsingModel& m_browsing;
    PlayerControl& m_player;
    MediaControl& m_media;
    VolumeLevel& m_volume;
    PlaylistTitles m_playlistTitles{m_browsing};
    QTimer m_poll;
    qint64 m_shownStepMs = 1000;
    QObject m_later; // ends calls queued for later with the transport
};

} // namespace sonavue
