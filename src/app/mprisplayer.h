// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The player as desktop media controls see it (MPRIS): what plays, its status, position and
// volume, and the actions those controls ask for, carried out by the player's core. Published
// on the session bus by registerOn(); without a bus nothing happens.
#include "app/mprismetadata.h"
#include "core/playercore.h"
#include "core/playerverbs.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <functional>

namespace sonavue {

class MprisBusObject;

class MprisPlayer : public QObject {
    Q_OBJECT
public:
    static constexpr const char* ServiceName = "org.mpris.MediaPlayer2.sonavue";
    static constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* RootInterface = "org.mpris.MediaPlayer2";
    static constexpr const char* PlayerInterface = "org.mpris.MediaPlayer2.Player";
    static constexpr const char* NoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
    static QStringList supportedMimeTypes();

    // What the controls may ask of the window: to come to the front, and to close as the
    // quit key closes it.
    struct WindowActions {
        std::function<void()> raise;
        std::function<void()> quit;
    };
    MprisPlayer(PlayerCore& core, WindowActions window, QObject* parent = nullptr);
    ~MprisPlayer() override;

    // Exports the object and takes the bus name (or a per-process one when the name is
    // taken). False, quietly, when the connection is not usable.
    bool registerOn(QDBusConnection connection);
    // The bus name taken by registerOn (empty before).
    const QString& serviceName() const { return m_serviceName; }
    const QDBusConnection& connection() const { return m_connection; }

    // --- Actions (each runs after the current event, so a caller is answered at once) ----
    void raise();
    void quit();
    // One of the player's verbs (Play, Pause, PlayPause, Stop, Next, Previous); a verb that
    // moves the open file (Previous starts it over) tells of the jump (seeked).
    void run(PlayerVerb verb);
    void seek(qint64 offsetUs);
    void setPosition(const QString& trackId, qint64 positionUs);
    // Puts the local file a file:// URI names on the reserved list (at once, so that the
    // caller hears whether it was taken). Empty when it was; else why not, also on stderr.
    QString openUri(const QString& uri);

    // --- State ----------------------------------------------------------------------
    QString playbackStatus() const;
    QVariantMap metadata() const;
    qint64 positionUs() const;
    double volume() const;
    void setVolume(double volume);
    // Shuffled play, as the window's key and the remote switch it.
    bool shuffle() const;
    void setShuffle(bool on);
    // "Playlist", "Track" or "None": repeat all, one or none.
    QString loopStatus() const;
    // False (nothing changes) for any other word.
    bool setLoopStatus(const QString& status);

    // Publishes whatever changed since the last look (status, track, length, volume, shuffle,
    // loop status) in one change. Held while the player is in the middle of starting a track,
    // and for a new track until its length is known (briefly), so that a change of track is
    // published once.
    void refresh();

signals:
    // The Player interface's properties that changed, for PropertiesChanged.
    void playerPropertiesChanged(const QVariantMap& changed);
    // The position jumped (a seek), in microseconds.
    void seeked(qint64 positionUs);

private:
    using Track = MprisTrack;
    // What is open and how it stands is read from the element; every command goes through
    // the transport.
    MediaControl& media() const;
    PlayerControl& player() const;
    Transport& transport() const;
    void onStateChanged(MediaControl::State state);
    void onTrackFailed(const QString& path);
    void beginTrack(const QString& path);
    // True while the new track's length is still being looked for.
    bool awaitingLength() const;
    // Runs action after the current event.
    template <typename Action> void later(Action action);

    PlayerCore& m_core;
    WindowActions m_window;
    MprisBusObject* m_busObject = nullptr; // a child: answers the bus
    Track m_track;
    bool m_closedSinceTrack = true;
    QString m_publishedStatus;
    QVariantMap m_publishedMetadata;
    double m_publishedVolume = -1;
    bool m_publishedShuffle = false;
    QString m_publishedLoopStatus;
    // Publication after the current event: the element's state changes come in bursts.
    QTimer m_publish;
    QElapsedTimer m_sinceTrackBegan;
    QDBusConnection m_connection{QString()};
    QString m_serviceName;
    // Where embedded covers are copied for the controls to show.
    QString m_coverCache;
};

} // namespace sonavue
