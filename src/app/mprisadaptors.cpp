#include "app/mprisadaptors.h"

#include "app/mprisplayer.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace sonavue {

// --- org.mpris.MediaPlayer2 ----------------------------------------------------------------

MprisRootAdaptor::MprisRootAdaptor(MprisPlayer* player)
    : QDBusAbstractAdaptor(player), m_player(player) {}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/midi"),
            QStringLiteral("audio/x-wav")};
}

void MprisRootAdaptor::Raise() {
    m_player->raise();
}
void MprisRootAdaptor::Quit() {
    m_player->quit();
}

// --- org.mpris.MediaPlayer2.Player -----------------------------------------------------------

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisPlayer* player)
    : QDBusAbstractAdaptor(player), m_player(player) {
    connect(player, &MprisPlayer::seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return m_player->playbackStatus();
}
QVariantMap MprisPlayerAdaptor::Metadata() const {
    return m_player->metadata();
}
double MprisPlayerAdaptor::Volume() const {
    return m_player->volume();
}
void MprisPlayerAdaptor::setVolume(double volume) {
    m_player->setVolume(volume);
}
qlonglong MprisPlayerAdaptor::Position() const {
    return m_player->positionUs();
}

void MprisPlayerAdaptor::Next() {
    m_player->next();
}
// Play goes only forward (the reserved list, then the track list): Previous starts the
// playing track over.
void MprisPlayerAdaptor::Previous() {
    m_player->previous();
}
void MprisPlayerAdaptor::Pause() {
    m_player->pause();
}
void MprisPlayerAdaptor::PlayPause() {
    m_player->playPause();
}
void MprisPlayerAdaptor::Stop() {
    m_player->stop();
}
void MprisPlayerAdaptor::Play() {
    m_player->play();
}
void MprisPlayerAdaptor::Seek(qlonglong Offset) {
    m_player->seek(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    m_player->setPosition(TrackId.path(), Position);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri, const QDBusMessage& message) {
    const QString why = m_player->openUri(Uri);
    if (why.isEmpty())
        return; // the empty reply
    message.setDelayedReply(true);
    m_player->connection().send(message.createErrorReply(QDBusError::InvalidArgs, why));
}

} // namespace sonavue
