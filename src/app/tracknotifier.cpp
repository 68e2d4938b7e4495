// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/tracknotifier.h"

#include "app/mprisplayer.h"
#include "base/settingskeys.h"
#include "base/version.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <utility>

namespace sonavue {

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage notificationsCall(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(NotificationsService, NotificationsPath,
                                                       NotificationsService, method);
    // No service is started for it: without one the call fails at once.
    call.setAutoStartService(false);
    return call;
}

// Text as the body markup reads it: &, < and > as entities, as the notification
// specification asks.
QString asBodyMarkup(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

} // namespace

TrackNotifier::TrackNotifier(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)) {}

void TrackNotifier::announce(const QVariantMap& metadata) {
    const QString title = metadata.value(QStringLiteral("xesam:title")).toString();
    if (!m_enabled || title.isEmpty() || !m_connection.isConnected())
        return;
    if (m_bodyMarkup) {
        send(metadata, *m_bodyMarkup);
        return;
    }
    const bool asking = m_waiting.has_value();
    m_waiting = metadata; // a later track replaces one not announced yet
    if (!asking)
        askCapabilities();
}

void TrackNotifier::askCapabilities() {
    auto* watcher = new QDBusPendingCallWatcher(
        m_connection.asyncCall(notificationsCall(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QStringList> reply = *finished;
                // A service that does not say may read markup: escaped text is safe there.
                bool markup = true;
                if (!reply.isError()) {
                    markup = reply.value().contains(QStringLiteral("body-markup"));
                    m_bodyMarkup = markup;
                }
                if (const std::optional<QVariantMap> waiting = std::exchange(m_waiting, {}))
                    send(*waiting, markup);
            });
}

void TrackNotifier::send(const QVariantMap& metadata, bool bodyMarkup) {
    const QString title = metadata.value(QStringLiteral("xesam:title")).toString();
    QStringList about = metadata.value(QStringLiteral("xesam:artist")).toStringList();
    const QString album = metadata.value(QStringLiteral("xesam:album")).toString();
    if (!album.isEmpty())
        about << album;
    const QString body = about.join(QStringLiteral(" — "));
    QVariantMap hints{{QStringLiteral("desktop-entry"), QString::fromLatin1(DesktopId)},
                      {QStringLiteral("transient"), true}};
    const QString cover = metadata.value(QStringLiteral("mpris:artUrl")).toString();
    if (!cover.isEmpty())
        hints.insert(QStringLiteral("image-path"), cover);

    // The summary is plain text whatever the service reads.
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    call << QStringLiteral("Sonavue") << m_shownId << QString() << title
         << (bodyMarkup ? asBodyMarkup(body) : body) << QStringList() << hints << -1;
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
    auto notifier = std::make_unique<TrackNotifier>(std::move(connection));
    notifier->setEnabled(Setting::Notify.read(settings) == 1);
    QObject::connect(&mpris, &MprisPlayer::playerPropertiesChanged, notifier.get(),
                     [notice = notifier.get()](const QVariantMap& changed) {
                         if (changed.contains(QStringLiteral("Metadata")))
                             notice->announce(changed.value(QStringLiteral("Metadata")).toMap());
                     });
    return notifier;
}

} // namespace sonavue
