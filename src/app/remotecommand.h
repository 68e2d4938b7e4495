// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A remote command: what a start with --play-pause, --stop, --next, --previous (the player's
// verbs the remote offers, from the player's verb table), --volume N, --enqueue FILE... or
// --print-playing or --save-playlist FILE asks of the running player (commandline.h reads it),
// carried as one request over the one-instance socket (the exchange is described in
// singleinstance.h) and answered with named values.
#include "core/playerverbs.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace sonavue {

struct RemoteCommand {
    // A verb of the player's (one of the verb table's), or one of the remote's own.
    enum class Verb { Player, Volume, Enqueue, PrintPlaying, SavePlaylist };
    Verb verb = Verb::Player;
    PlayerVerb player = PlayerVerb::PlayPause; // for Player
    int volume = 0;                            // for Volume: 0..MaxVolumeLevel, as the volume bar
    QStringList files;                         // for Enqueue; SavePlaylist's one file

    static constexpr int MaxVolumeLevel = 255;
};

// Whether a command sends files after its line.
inline bool takesFiles(RemoteCommand::Verb verb) {
    return verb == RemoteCommand::Verb::Enqueue || verb == RemoteCommand::Verb::SavePlaylist;
}

// The remote's commands: the player's verbs that the remote offers, then its own, in the
// order the usage lists them.
QList<RemoteCommand> remoteCommands();
// "--stop", "--volume", ...
QString optionName(const RemoteCommand& command);
// A level as the volume bar has them: a plain decimal number, 0..MaxVolumeLevel (no sign, no
// spaces); nothing for any other text.
std::optional<int> volumeLevelOf(QStringView text);

// --- On the socket ------------------------------------------------------------------------

// The whole request: "command <verb>[ <level>]", then for "enqueue" each file's bytes
// percent-encoded on a line of its own and an empty line.
QByteArray requestBytes(const RemoteCommand& command);
// Whether line (with its line end) asks for a command, known or not.
bool isCommandRequest(const QByteArray& line);
// The command a request line names (without its files); nothing when it names no command
// this player knows.
std::optional<RemoteCommand> commandOfRequestLine(const QByteArray& line);

// The running player's answer.
struct RemoteAnswer {
    // What it says, in order, as a word and a text: "added" / "refused" and why for each
    // enqueued file, "state", "path", "title", "artist" and "position-ms" for print-playing.
    QList<std::pair<QByteArray, QString>> values;
    // Why the command was not carried out; empty when it was.
    QString refusal;
};
QByteArray answerBytes(const RemoteAnswer& answer);

// Reading an answer line by line: Complete after its last line, Foreign for a line that no
// player of ours sends.
enum class AnswerProgress { Incomplete, Complete, Foreign };
AnswerProgress readAnswerLine(const QByteArray& line, RemoteAnswer& answer);

} // namespace sonavue
