// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Desktop notifications of track starts (opt-in, the "notify" setting): one freedesktop
// notification per track the media controls publish, with its title, artist, album and
// cover, each replacing the one before rather than stacking. It follows what the media
// controls publish, so a file that cannot play, a fade's steps and a track whose start was
// taken over are never announced. Without a notification service nothing is shown and
// nothing waits: the call is sent without starting a service and its failure is dropped.
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <memory>

namespace sonavue {

class MprisPlayer;
class ProgramSettings;

class TrackNotifier : public QObject {
    Q_OBJECT
public:
    explicit TrackNotifier(QDBusConnection connection, QObject* parent = nullptr);
    // Announces the track of metadata (the media controls' Metadata); no track, no notice.
    void announce(const QVariantMap& metadata);

private:
    QDBusConnection m_connection;
    uint m_shownId = 0; // the notification the next one replaces
};

// The notifier that follows mpris when settings turn notifications on, else none.
std::unique_ptr<TrackNotifier>
notifyTrackStarts(MprisPlayer& mpris, const ProgramSettings& settings, QDBusConnection connection);

} // namespace sonavue
