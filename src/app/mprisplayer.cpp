// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/mprisplayer.h"

#include "app/mprisbusobject.h"
#include "app/tracktext.h"
#include "base/fileuri.h"
#include "base/playabletypes.h"
#include "catalogue/externalfiles.h"
#include "tags/coverart.h"
#include "tags/id3v1.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <cmath>
#include <unistd.h>
#include <utility>

namespace sonavue {
namespace {

// How long a new track's publication may wait for its length, and how often it looks.
constexpr qint64 LengthWaitMs = 1000;
constexpr int LengthLookMs = 20;
constexpr qint64 UsPerMs = 1000;

// The media controls' loop statuses, by the repeat choice each stands for.
constexpr std::pair<Repeat, const char*> LoopStatuses[] = {
    {Repeat::All, "Playlist"}, {Repeat::One, "Track"}, {Repeat::None, "None"}};

} // namespace

MprisPlayer::MprisPlayer(PlayerCore& core, WindowActions window, QObject* parent)
    : QObject(parent), m_core(core), m_window(std::move(window)), m_coverCache(coverCacheFolder()) {
    m_busObject = new MprisBusObject(*this);
    connect(&media(), &MediaControl::stateChanged, this, &MprisPlayer::onStateChanged);
    connect(&media(), &MediaControl::finished, this, &MprisPlayer::refresh);
    connect(&core.player(), &PlayerControl::trackStartFinished, this, &MprisPlayer::refresh);
    connect(&core.player(), &PlayerControl::trackFailed, this, &MprisPlayer::onTrackFailed);
    connect(&core.volume(), &VolumeLevel::applied, this, &MprisPlayer::refresh);
    connect(&core.player(), &PlayerControl::playModeChanged, this, &MprisPlayer::refresh);
    m_publish.setSingleShot(true);
    connect(&m_publish, &QTimer::timeout, this, &MprisPlayer::refresh);
    // A track opened before the media controls were made (a start picking up where the last
    // run left off) is the one shown.
    if (media().state() != MediaControl::State::Closed) {
        m_closedSinceTrack = false;
        beginTrack(media().fileName());
    }
    // What is there now is the starting point, not a change.
    m_publishedStatus = playbackStatus();
    m_publishedMetadata = metadata();
    m_publishedVolume = volume();
    m_publishedShuffle = shuffle();
    m_publishedLoopStatus = loopStatus();
}

MprisPlayer::~MprisPlayer() {
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(QString::fromLatin1(ObjectPath));
        m_connection.unregisterService(m_serviceName);
    }
}

bool MprisPlayer::registerOn(QDBusConnection connection) {
    if (!connection.isConnected())
        return false;
    if (!connection.registerVirtualObject(QString::fromLatin1(ObjectPath), m_busObject))
        return false;
    // Another player process owns the name (a second user session on the same bus, or a
    // start that could not reach the first): the per-process name the protocol allows.
    m_serviceName = QString::fromLatin1(ServiceName);
    if (!connection.registerService(m_serviceName)) {
        m_serviceName += QStringLiteral(".instance%1").arg(::getpid());
        if (!connection.registerService(m_serviceName)) {
            connection.unregisterObject(QString::fromLatin1(ObjectPath));
            return false;
        }
    }
    m_connection = connection;
    connect(this, &MprisPlayer::playerPropertiesChanged, this, [this](const QVariantMap& changed) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QString::fromLatin1(ObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"));
        signal << QString::fromLatin1(PlayerInterface) << changed << QStringList();
        m_connection.send(signal);
    });
    connect(this, &MprisPlayer::seeked, this, [this](qint64 positionUs) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(ObjectPath),
                                                         QString::fromLatin1(PlayerInterface),
                                                         QStringLiteral("Seeked"));
        signal << positionUs;
        m_connection.send(signal);
    });
    return true;
}

QStringList MprisPlayer::supportedMimeTypes() {
    // Every type a file opened from outside may be (as the desktop entry lists them).
    return playableMimeTypes() + playlistMimeTypes();
}

MediaControl& MprisPlayer::media() const {
    return m_core.media();
}

PlayerControl& MprisPlayer::player() const {
    return m_core.player();
}

Transport& MprisPlayer::transport() const {
    return m_core.transport();
}

template <typename Action> void MprisPlayer::later(Action action) {
    QTimer::singleShot(0, this, action);
}

// --- Actions ------------------------------------------------------------------------------

void MprisPlayer::raise() {
    later([this] {
        if (m_window.raise)
            m_window.raise();
    });
}

void MprisPlayer::quit() {
    // The same close as the window's quit key: the unload handling runs and the program ends.
    later([this] {
        if (m_window.quit)
            m_window.quit();
    });
}

void MprisPlayer::run(PlayerVerb verb) {
    later([this, verb] {
        if (const std::optional<qint64> at = runPlayerVerb(transport(), verb).positionMs)
            emit seeked(*at * UsPerMs);
    });
}

void MprisPlayer::seek(qint64 offsetUs) {
    later([this, offsetUs] {
        if (const std::optional<qint64> at = transport().seekBy(offsetUs / UsPerMs))
            emit seeked(*at * UsPerMs);
    });
}

void MprisPlayer::setPosition(const QString& trackId, qint64 positionUs) {
    later([this, trackId, positionUs] {
        // A request about a track that no longer plays is stale; a place past its end is
        // no place in it.
        const qint64 target = positionUs / UsPerMs;
        const qint64 duration = transport().durationMs();
        if (m_track.number == 0 || trackId != mprisTrackId(m_track.number) || positionUs < 0 ||
            (duration >= 0 && target > duration))
            return;
        if (const std::optional<qint64> at = transport().seekTo(target))
            emit seeked(*at * UsPerMs);
    });
}

QString MprisPlayer::openUri(const QString& uri) {
    const std::optional<QString> path = pathOfFileUri(uri);
    QString why;
    if (!path)
        why = QStringLiteral("only local file URIs (file:///...) are opened");
    else
        why = transport().openFiles({*path}).value(0);
    if (!why.isEmpty())
        reportRefusal(path ? *path : uri, why);
    return why;
}

// --- State ----------------------------------------------------------------------------------

QString MprisPlayer::playbackStatus() const {
    return playStatusWord(playStatusOf(media().state()), true);
}

QVariantMap MprisPlayer::metadata() const {
    return mprisMetadata(m_track);
}

qint64 MprisPlayer::positionUs() const {
    if (media().state() == MediaControl::State::Closed)
        return 0;
    return media().positionMs() * UsPerMs;
}

double MprisPlayer::volume() const {
    // What the output applies, not the level label: at start the label shows 128 while
    // nothing has been sent and the output plays at full gain.
    return media().outputVolume();
}

void MprisPlayer::setVolume(double volume) {
    if (!std::isfinite(volume))
        return;
    // Louder than full is not possible: the level stops at 255. The level's change publishes.
    transport().setVolumeLevel(double(std::lround(std::clamp(volume, 0.0, 1.0) * 255.0)));
}

bool MprisPlayer::shuffle() const {
    return m_core.transport().shuffle();
}

void MprisPlayer::setShuffle(bool on) {
    transport().setShuffle(on); // the change publishes
}

QString MprisPlayer::loopStatus() const {
    for (const auto& [repeat, status] : LoopStatuses)
        if (repeat == m_core.transport().repeat())
            return QString::fromLatin1(status);
    return {};
}

bool MprisPlayer::setLoopStatus(const QString& status) {
    for (const auto& [repeat, word] : LoopStatuses) {
        if (status == QLatin1String(word)) {
            transport().setRepeat(repeat);
            return true;
        }
    }
    return false;
}

void MprisPlayer::onStateChanged(MediaControl::State state) {
    if (state == MediaControl::State::Closed)
        m_closedSinceTrack = true; // the next open is a new track, even of the same file
    else if (m_closedSinceTrack || media().fileName() != m_track.path) {
        m_closedSinceTrack = false;
        beginTrack(media().fileName());
    }
    m_publish.start(0);
}

void MprisPlayer::beginTrack(const QString& path) {
    const ShownTags tags = readShownTags(path, m_core.tagReading());
    Track track;
    track.number = m_track.number + 1;
    track.path = path;
    const TrackText text = trackText(path, tags);
    track.title = text.title;
    track.artist = text.artist;
    track.album = text.album;
    takeMoreTags(tags, track);
    // None unless the cover art setting is on; an embedded picture only in the tags read.
    track.artPath = coverArtPath(path, tags.id3v2, m_core.tagReading(), m_coverCache);
    m_track = track;
    m_sinceTrackBegan.start();
}

bool MprisPlayer::awaitingLength() const {
    // A file closed before its length was known may be one that could not be played: player
    // control says so at once, and then it is never published.
    const bool stillItsFile =
        media().state() == MediaControl::State::Closed || media().fileName() == m_track.path;
    return m_track.number != 0 && !m_track.path.isEmpty() && m_track.lengthUs <= 0 &&
           stillItsFile && m_sinceTrackBegan.isValid() &&
           m_sinceTrackBegan.elapsed() < LengthWaitMs;
}

void MprisPlayer::onTrackFailed(const QString& path) {
    // A file that could not be played is no track: the next one, or none, is published.
    if (path == m_track.path) {
        Track none;
        none.number = m_track.number;
        m_track = none;
    }
    m_publish.start(0);
}

void MprisPlayer::refresh() {
    if (player().startingTrack())
        return; // the end of the start publishes
    // The length is known once the element has looked into the file.
    if (m_track.number != 0 && m_track.lengthUs <= 0 &&
        media().state() != MediaControl::State::Closed && media().fileName() == m_track.path) {
        const qint64 duration = media().durationMs();
        if (duration > 0)
            m_track.lengthUs = duration * UsPerMs;
    }
    const QVariantMap data = metadata();
    if (data != m_publishedMetadata && awaitingLength()) {
        m_publish.start(LengthLookMs);
        return;
    }
    QVariantMap changed;
    const QString status = playbackStatus();
    if (data != m_publishedMetadata) {
        // A new track comes with its status, whether or not that changed.
        m_publishedMetadata = data;
        changed.insert(QStringLiteral("Metadata"), data);
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    if (status != m_publishedStatus) {
        m_publishedStatus = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    const double vol = volume();
    if (vol != m_publishedVolume) {
        m_publishedVolume = vol;
        changed.insert(QStringLiteral("Volume"), vol);
    }
    if (shuffle() != m_publishedShuffle) {
        m_publishedShuffle = shuffle();
        changed.insert(QStringLiteral("Shuffle"), m_publishedShuffle);
    }
    if (loopStatus() != m_publishedLoopStatus) {
        m_publishedLoopStatus = loopStatus();
        changed.insert(QStringLiteral("LoopStatus"), m_publishedLoopStatus);
    }
    if (!changed.isEmpty())
        emit playerPropertiesChanged(changed);
}

} // namespace sonavue
