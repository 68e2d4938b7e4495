#include "playback/playercore.h"

#include "catalogue/externalfiles.h"
#include "playback/gstmediaelement.h"
#include "tags/containertags.h"

#include <QTimer>

namespace sonavue {
namespace {

std::unique_ptr<MediaControl> mediaOrDefault(std::unique_ptr<MediaControl> media) {
    return media ? std::move(media) : std::make_unique<GstMediaElement>();
}

} // namespace

PlayerCore::PlayerCore() : PlayerCore(Options{}) {}

PlayerCore::PlayerCore(Options options)
    : m_tagReading(options.tagReading), m_media(mediaOrDefault(std::move(options.media))) {
    m_scan.setTagReading(m_tagReading);
    m_player.setTagReading(m_tagReading);
    // Until the boxes change it, every box type is listed, with the opt-in types added.
    if (m_tagReading.extraTypes != 0)
        m_browsing.setFilePattern(FilePattern(QLatin1String(InitialFilePattern) +
                                              extraTypesPattern(m_tagReading.extraTypes)));
}

// The media element's pending end of play must not reach a player control that is gone:
// player control goes first (members in reverse order), the element after it.
PlayerCore::~PlayerCore() = default;

bool PlayerCore::idle() const {
    // A paused track is the user's and waits.
    const MediaControl::State state = m_media->state();
    return (state == MediaControl::State::Closed || state == MediaControl::State::Stopped) &&
           !m_player.fading() && !m_player.startingTrack();
}

QStringList PlayerCore::reserveExternalFiles(const QStringList& paths) {
    ReservedList& reserved = m_browsing.reserved();
    const bool wasIdle = idle();
    QStringList answers;
    bool added = false;
    for (const QString& path : paths) {
        QString why = whyNotReservable(path, playableTypes());
        if (why.isEmpty() && !reserved.append(path))
            why = QStringLiteral("the reserved list is full (%1 entries)")
                      .arg(ReservedList::MaxEntries);
        if (why.isEmpty()) {
            added = true;
            // While a track plays, the play option decides as for a double-click.
            if (!wasIdle)
                m_player.trackReserved();
        }
        answers << why;
    }
    if (added && wasIdle) {
        QTimer::singleShot(0, &m_context, [this] {
            if (idle() && m_browsing.reserved().count() > 0)
                m_player.continuousStart();
        });
    }
    return answers;
}

} // namespace sonavue
