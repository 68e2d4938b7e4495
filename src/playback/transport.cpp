// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/transport.h"

#include "catalogue/externalfiles.h"
#include "catalogue/playlistfile.h"

#include <algorithm>

namespace sonavue {

using State = MediaControl::State;

Transport::Transport(BrowsingModel& browsing, PlayerControl& player, MediaControl& media,
                     VolumeLevel& volume, QObject* parent)
    : QObject(parent), m_browsing(browsing), m_player(player), m_media(media), m_volume(volume) {
    // Precise: a read made early would find the clock still on the second before.
    m_poll.setSingleShot(true);
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &Transport::reportProgress);
    connect(&m_media, &MediaControl::stateChanged, this, &Transport::reportProgress);
    // A file followed without a gap starts with no change of state: its clock is shown at once.
    connect(&m_media, &MediaControl::finished, this, &Transport::reportProgress);
}

int Transport::nextReadInMs(qint64 positionMs, qint64 shownStepMs) {
    // A few milliseconds past the change, so that the read finds it made.
    constexpr qint64 Past = 5;
    const qint64 position = std::max<qint64>(positionMs, 0);
    const qint64 step = std::max<qint64>(shownStepMs, 1);
    const qint64 toSecond = 1000 - position % 1000 + Past;
    const qint64 toStep = step - position % step + Past;
    return int(std::clamp<qint64>(std::min(toSecond, toStep), PollIntervalMs, 1000 + Past));
}

void Transport::setShownPositionStep(qint64 ms) {
    m_shownStepMs = std::max<qint64>(ms, 1);
}

void Transport::reportProgress() {
    const State state = m_media.state();
    const qint64 position = m_media.positionMs();
    emit progressChanged(state, position, m_media.durationMs());
    if (state == State::Playing)
        m_poll.start(nextReadInMs(position, m_shownStepMs));
    else
        m_poll.stop();
}

void Transport::stop() {
    m_player.stop();
}

void Transport::continuousStart() {
    m_player.continuousStart();
}

void Transport::selectStart() {
    m_player.selectStart();
}

void Transport::next() {
    m_player.next();
}

void Transport::play() {
    switch (m_media.state()) {
    case State::Paused:
        m_media.resume();
        break;
    case State::Playing:
        break;
    case State::Closed:
    case State::Stopped:
        m_player.continuousStart();
        break;
    }
}

void Transport::pause() {
    if (m_media.state() == State::Playing)
        m_media.pause();
}

void Transport::playPause() {
    if (m_media.state() == State::Playing)
        m_media.pause();
    else
        play();
}

void Transport::pauseOrResumeOpenFile() {
    if (m_media.state() == State::Playing)
        m_media.pause();
    else
        m_media.resume();
    reportProgress();
}

void Transport::stopOpenFile() {
    m_media.stop();
    reportProgress();
}

bool Transport::restartTrack() {
    // Only the position moves: the track list's position stays, so the track's end still
    // leads where continuous play was going.
    const State state = m_media.state();
    if (state == State::Closed)
        return false;
    m_media.seekMs(0);
    if (state != State::Playing)
        m_media.resume();
    return true;
}

std::optional<qint64> Transport::seekTo(qint64 ms) {
    if (m_media.state() == State::Closed)
        return std::nullopt;
    const qint64 target = std::max<qint64>(0, ms);
    const qint64 duration = m_media.durationMs();
    if (duration >= 0 && target > duration) {
        next(); // past the end: as if the track had ended
        return std::nullopt;
    }
    m_media.seekMs(target);
    // The seek completes on the pipeline's own time: the clock is read again a moment later.
    QTimer::singleShot(PollIntervalMs / 5, this, &Transport::reportProgress);
    return target;
}

std::optional<qint64> Transport::seekBy(qint64 offsetMs) {
    if (m_media.state() == State::Closed)
        return std::nullopt;
    return seekTo(m_media.positionMs() + offsetMs);
}

bool Transport::reserveTrack(const QString& path) {
    if (!m_browsing.reserved().append(path))
        return false;
    m_player.trackReserved();
    return true;
}

void Transport::clearReserved() {
    m_browsing.reserved().clear();
}

void Transport::setVolumeLevel(double level) {
    m_volume.setLevel(level);
}

void Transport::closeForExit() {
    m_media.close();
}

bool Transport::idle() const {
    // A paused track is the user's and waits.
    const State state = m_media.state();
    return (state == State::Closed || state == State::Stopped) && !m_player.fading() &&
           !m_player.startingTrack();
}

QStringList Transport::openFiles(const QStringList& paths) {
    ReservedList& reserved = m_browsing.reserved();
    const bool wasIdle = idle();
    QStringList answers;
    bool added = false;
    bool listShown = false;
    for (const QString& path : paths) {
        if (playlistFormatOf(path)) {
            answers << openPlaylist(path);
            listShown = listShown || answers.back().isEmpty();
            continue;
        }
        QString why = whyNotReservable(path, playableTypes());
        // While a track plays, the play option decides as for a double-click; with nothing
        // playing, play starts with the list's head below.
        const bool taken = why.isEmpty() && (wasIdle ? reserved.append(path) : reserveTrack(path));
        if (why.isEmpty() && !taken)
            why = QStringLiteral("the reserved list is full (%1 entries)")
                      .arg(ReservedList::MaxEntries);
        added = added || taken;
        answers << why;
    }
    if ((added || listShown) && wasIdle) {
        QTimer::singleShot(0, &m_later, [this] {
            if (idle() && (m_browsing.reserved().count() > 0 || m_browsing.trackCount() > 0))
                m_player.continuousStart();
        });
    }
    return answers;
}

} // namespace sonavue
