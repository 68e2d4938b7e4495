// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Desktop notifications of track starts (opt-in, the "notify" setting): one freedesktop
// notification per track the media controls publish, with its title, artist, album and
// cover, each replacing the one before rather than stacking. It follows what the media
// controls publish, so a file that cannot play, a fade's steps and a track whose start was
// taken over are never announced. Without a notification service nothing is shown and
// nothing waits: the call is sent without starting a service and its failure is dropped.
// The body is text: where the service reads markup in it ("body-markup"), &, < and > in
// the tags are written as entities, so that "<i>it</i>" shows as those letters.
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <memory>
#include <optional>

namespace sonavue {

class MprisPlayer;
class ProgramSettings;

class TrackNotifier : public QObject {
    Q_OBJECT
public:
    explicit TrackNotifier(QDBusConnection connection, QObject* parent = nullptr);
    // Announces the track of metadata (the media controls' Metadata); no track, no notice.
    void announce(const QVariantMap& metadata);
    // Off, nothing is announced (the notify setting, taken as it changes).
    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }

private:
    // Asks the service whether it reads markup in the body, then announces the track waiting.
    void askCapabilities();
    void send(const QVariantMap& metadata, bool bodyMarkup);

    QDBusConnection m_connection;
    bool m_enabled = true;
    uint m_shownId = 0;                   // the notification the next one replaces
    std::optional<bool> m_bodyMarkup;     // what the service said; unknown until it answers
    std::optional<QVariantMap> m_waiting; // the track announced while the question is out
};

// The notifier that follows mpris, on when settings turn notifications on.
std::unique_ptr<TrackNotifier>
notifyTrackStarts(MprisPlayer& mpris, const ProgramSettings& settings, QDBusConnection connection);

} // namespace sonavue
