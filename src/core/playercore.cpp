// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "core/playercore.h"

#include "playback/gstmediaelement.h"
#include "tags/replaygain.h"

namespace sonavue {
namespace {

std::unique_ptr<MediaControl> mediaOrDefault(std::unique_ptr<MediaControl> media) {
    return media ? std::move(media) : std::make_unique<GstMediaElement>();
}

} // namespace

PlayerCore::PlayerCore() : PlayerCore(Options{}) {}

PlayerCore::PlayerCore(Options options) : m_media(mediaOrDefault(std::move(options.media))) {
    setTagReading(options.tagReading);
    if (options.gapless)
        setGapless(true);
    // Until the boxes change it, every box type is listed, with the opt-in types added.
    m_browsing.setFilePattern(
        FilePattern(filePatternFor(true, true, true, m_tagReading.extraTypes)));
    if (options.keepLibrary)
        m_keeper = std::make_unique<LibraryKeeper>(m_catalogue, m_groups, m_browsing, m_scan,
                                                   m_tagReading, *options.keepLibrary);
}

void PlayerCore::setTagReading(const TagReading& reading) {
    m_tagReading = reading;
    m_scan.setTagReading(m_tagReading);
    m_player.setTagReading(m_tagReading);
    if (m_tagReading.replayGain == ReplayGainMode::Off) {
        m_media->setFileGainRule({});
        return;
    }
    const ReplayGain replayGain(m_tagReading.replayGain, m_tagReading.replayGainPreampDb);
    m_media->setFileGainRule(
        [replayGain](const QString& path) { return replayGain.apply(readReplayGain(path)).gain; });
}

void PlayerCore::setGapless(bool on) {
    m_media->setGapless(on);
    m_player.setGapless(on);
}

// The media element's pending end of play must not reach a player control that is gone:
// player control goes first (members in reverse order), the element after it.
PlayerCore::~PlayerCore() = default;

} // namespace sonavue
