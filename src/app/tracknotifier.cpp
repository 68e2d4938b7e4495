// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/tracknotifier.h"

#include "app/mprisplayer.h"
#include "base/settingskeys.h"
#include "base/version.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace sonavue {

TrackNotifier::TrackNotifier(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)) {}

void TrackNotifier::announce(const QVariantMap& metadata) {
    const QString title = metadata.value(QStringLiteral("xesam:title")).toString();
    if (title.isEmpty() || !m_connection.isConnected())
        return;
    QStringList about = metadata.value(QStringLiteral("xesam:artist")).toStringList();
    const QString album = metadata.value(QStringLiteral("xesam:album")).toString();
    if (!album.isEmpty())
        about << album;
    QVariantMap hints{{QStringLiteral("desktop-entry"), QString::fromLatin1(DesktopId)},
                      {QStringLiteral("transient"), true}};
    const QString cover = metadata.value(QStringLiteral("mpris:artUrl")).toString();
    if (!cover.isEmpty())
        hints.insert(QStringLiteral("image-path"), cover);

    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Sonavue") << m_shownId << QString() << title
         << about.join(QStringLiteral(" — ")) << QStringList() << hints << -1;
    // No service is started for it: without one the call fails at once.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (!reply.isError())
                    m_shownId = reply.value();
                finished->deleteLater();
            });
}

std::unique_ptr<TrackNotifier>
notifyTrackStarts(MprisPlayer& mpris, const ProgramSettings& settings, QDBusConnection connection) {
    if (Setting::Notify.read(settings) != 1)
        return nullptr;
    auto notifier = std::make_unique<TrackNotifier>(std::move(connection));
    QObject::connect(&mpris, &MprisPlayer::playerPropertiesChanged, notifier.get(),
                     [notice = notifier.get()](const QVariantMap& changed) {
                         if (changed.contains(QStringLiteral("Metadata")))
                             notice->announce(changed.value(QStringLiteral("Metadata")).toMap());
                     });
    return notifier;
}

} // namespace sonavue
