// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The player's verbs: one table that the window's keys, the terminal remote and the desktop's
// media controls all run, so that a verb added here reaches each front end it names. Each
// verb is carried out through the transport, the player's one command path.
#include "playback/transport.h"

#include <QLatin1StringView>
#include <optional>
#include <span>

namespace sonavue {

enum class PlayerVerb {
    Play,            // resumes a paused file; with nothing open or a file stopped, S
    Pause,           // pauses a playing file
    PlayPause,       // pauses a playing file, else as Play
    Stop,            // STOP: closes the open file
    Next,            // on as after the playing track's end
    Previous,        // the playing track from its start (play only goes forward)
    ContinuousStart, // S
    SelectStart,     // Ctrl+S
    ClearReserved,   // Ctrl+C: empties the reserved list; the playing track goes on
    Shuffle,         // Ctrl+H: shuffled play on or off (kept)
    Repeat,          // Ctrl+R: repeat all, one, none, in turn (kept)
    StopAfterTrack,  // Ctrl+T: play stops when the playing track ends (once), or no longer
};

// Which keys run a verb in the window: key, with the modifiers it asks for (of Shift, Ctrl
// and Alt; "Ctrl" is Ctrl alone).
struct VerbKey {
    enum class Modifiers { Any, CtrlOnly, NotCtrlOnly };
    int key = 0;
    Modifiers modifiers = Modifiers::Any;
};

struct PlayerVerbInfo {
    PlayerVerb verb;
    QLatin1StringView name;        // on the socket and after "--" on the command line
    const char* remoteHelp;        // the remote's --help text; null: not a remote command
    QLatin1StringView mprisName;   // the media controls' method; empty: none
    std::span<const VerbKey> keys; // in the main window
};

std::span<const PlayerVerbInfo> playerVerbs();
const PlayerVerbInfo& playerVerbInfo(PlayerVerb verb);
std::optional<PlayerVerb> playerVerbNamed(QStringView name);
// The verb a key runs in the main window, if any.
std::optional<PlayerVerb> playerVerbForKey(int key, Qt::KeyboardModifiers modifiers);

// What became of a verb: whether it did anything, and where the open file then stands when
// the verb moved it (Previous: back to 0), for the front ends that tell of a jump.
struct VerbOutcome {
    bool done = true;
    std::optional<qint64> positionMs;
};
VerbOutcome runPlayerVerb(Transport& transport, PlayerVerb verb);

// The play order's choices as a verb leaves them, in words ("shuffle" "on"/"off", "repeat"
// "all"/"one"/"none", "stop-after" "on"/"off"): what the remote answers a verb that changes one.
QList<std::pair<QByteArray, QString>> playModeWords(const Transport& transport);

// The open file's state in the words the desktop's media controls use: a closed file is
// stopped too.
enum class PlayStatus { Playing, Paused, Stopped };
PlayStatus playStatusOf(MediaControl::State state);
// "playing", "paused", "stopped" (the remote's); capitalized: "Playing" (the media controls').
QString playStatusWord(PlayStatus status, bool capitalized = false);

} // namespace sonavue
