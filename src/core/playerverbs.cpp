// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "core/playerverbs.h"

#include <algorithm>

namespace sonavue {
namespace {

using Mods = VerbKey::Modifiers;
using namespace Qt::StringLiterals;

constexpr VerbKey PlayKeys[] = {{Qt::Key_MediaPlay}};
constexpr VerbKey PauseKeys[] = {{Qt::Key_MediaPause}};
constexpr VerbKey PlayPauseKeys[] = {{Qt::Key_MediaTogglePlayPause}};
constexpr VerbKey StopKeys[] = {{Qt::Key_MediaStop}};
constexpr VerbKey NextKeys[] = {{Qt::Key_MediaNext}};
constexpr VerbKey PreviousKeys[] = {{Qt::Key_MediaPrevious}};
constexpr VerbKey ContinuousStartKeys[] = {{Qt::Key_S, Mods::NotCtrlOnly}};
constexpr VerbKey SelectStartKeys[] = {{Qt::Key_S, Mods::CtrlOnly}};
constexpr VerbKey ClearReservedKeys[] = {{Qt::Key_C, Mods::CtrlOnly}};
// Keys no other command of the window takes.
constexpr VerbKey ShuffleKeys[] = {{Qt::Key_H, Mods::CtrlOnly}};
constexpr VerbKey RepeatKeys[] = {{Qt::Key_R, Mods::CtrlOnly}};
constexpr VerbKey StopAfterTrackKeys[] = {{Qt::Key_T, Mods::CtrlOnly}};

constexpr PlayerVerbInfo Verbs[] = {
    {PlayerVerb::Play, "play"_L1, nullptr, "Play"_L1, PlayKeys},
    {PlayerVerb::Pause, "pause"_L1, nullptr, "Pause"_L1, PauseKeys},
    {PlayerVerb::PlayPause, "play-pause"_L1, "pause what plays, else play (as the media key)",
     "PlayPause"_L1, PlayPauseKeys},
    {PlayerVerb::Stop, "stop"_L1, "stop play", "Stop"_L1, StopKeys},
    {PlayerVerb::Next, "next"_L1, "on to the next track, the reserved list's head first", "Next"_L1,
     NextKeys},
    {PlayerVerb::Previous, "previous"_L1, "the playing track again from its start", "Previous"_L1,
     PreviousKeys},
    {PlayerVerb::ContinuousStart, "continuous-start"_L1, nullptr, {}, ContinuousStartKeys},
    {PlayerVerb::SelectStart, "select-start"_L1, nullptr, {}, SelectStartKeys},
    {PlayerVerb::ClearReserved, "clear-reserved"_L1, nullptr, {}, ClearReservedKeys},
    // The media controls set these through their Shuffle and LoopStatus properties.
    {PlayerVerb::Shuffle,
     "shuffle"_L1,
     "shuffled play on or off (prints \"shuffle: on\" or \"off\")",
     {},
     ShuffleKeys},
    {PlayerVerb::Repeat,
     "repeat"_L1,
     "repeat all, one (the track again), none (stop after the last), in turn; prints the new one",
     {},
     RepeatKeys},
    {PlayerVerb::StopAfterTrack,
     "stop-after"_L1,
     "stop play when the playing track ends (once); again: play on",
     {},
     StopAfterTrackKeys},
};

bool modifiersFit(Mods wanted, Qt::KeyboardModifiers modifiers) {
    // Of the modifiers only Shift, Ctrl and Alt count (a keypad key or one with Meta is the
    // same key).
    const bool ctrlOnly =
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
        Qt::ControlModifier;
    switch (wanted) {
    case Mods::CtrlOnly:
        return ctrlOnly;
    case Mods::NotCtrlOnly:
        return !ctrlOnly;
    case Mods::Any:
        break;
    }
    return true;
}

} // namespace

std::span<const PlayerVerbInfo> playerVerbs() {
    return Verbs;
}

const PlayerVerbInfo& playerVerbInfo(PlayerVerb verb) {
    return *std::find_if(std::begin(Verbs), std::end(Verbs),
                         [verb](const PlayerVerbInfo& info) { return info.verb == verb; });
}

std::optional<PlayerVerb> playerVerbNamed(QStringView name) {
    for (const PlayerVerbInfo& info : Verbs)
        if (name == info.name)
            return info.verb;
    return std::nullopt;
}

std::optional<PlayerVerb> playerVerbForKey(int key, Qt::KeyboardModifiers modifiers) {
    for (const PlayerVerbInfo& info : Verbs)
        for (const VerbKey& bound : info.keys)
            if (bound.key == key && modifiersFit(bound.modifiers, modifiers))
                return info.verb;
    return std::nullopt;
}

VerbOutcome runPlayerVerb(Transport& transport, PlayerVerb verb) {
    switch (verb) {
    case PlayerVerb::Play:
        transport.play();
        break;
    case PlayerVerb::Pause:
        transport.pause();
        break;
    case PlayerVerb::PlayPause:
        transport.playPause();
        break;
    case PlayerVerb::Stop:
        transport.stop();
        break;
    case PlayerVerb::Next:
        transport.next(); // the end-of-track step: the reserved list first
        break;
    case PlayerVerb::Previous:
        // Play only goes forward, so there is no earlier track: the playing one from its start.
        if (!transport.restartTrack())
            return {false, std::nullopt};
        return {true, 0};
    case PlayerVerb::ContinuousStart:
        transport.continuousStart();
        break;
    case PlayerVerb::SelectStart:
        transport.selectStart();
        break;
    case PlayerVerb::ClearReserved:
        transport.clearReserved();
        break;
    case PlayerVerb::Shuffle:
        transport.setShuffle(!transport.shuffle());
        break;
    case PlayerVerb::Repeat:
        transport.setRepeat(nextRepeat(transport.repeat()));
        break;
    case PlayerVerb::StopAfterTrack:
        transport.setStopAfterTrack(!transport.stopAfterTrack());
        break;
    }
    return {};
}

QList<std::pair<QByteArray, QString>> playModeWords(const Transport& transport) {
    const auto onOff = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
    return {{"shuffle", onOff(transport.shuffle())},
            {"repeat", repeatWord(transport.repeat())},
            {"stop-after", onOff(transport.stopAfterTrack())}};
}

PlayStatus playStatusOf(MediaControl::State state) {
    switch (state) {
    case MediaControl::State::Playing:
        return PlayStatus::Playing;
    case MediaControl::State::Paused:
        return PlayStatus::Paused;
    case MediaControl::State::Closed:
    case MediaControl::State::Stopped:
        break;
    }
    return PlayStatus::Stopped;
}

QString playStatusWord(PlayStatus status, bool capitalized) {
    QString word;
    switch (status) {
    case PlayStatus::Playing:
        word = QStringLiteral("playing");
        break;
    case PlayStatus::Paused:
        word = QStringLiteral("paused");
        break;
    case PlayStatus::Stopped:
        word = QStringLiteral("stopped");
        break;
    }
    if (capitalized)
        word[0] = word[0].toUpper();
    return word;
}

} // namespace sonavue
