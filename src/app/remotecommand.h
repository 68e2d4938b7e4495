// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A remote command: what a start with --play-pause, --stop, --next, --previous, --volume N,
// --enqueue FILE... or --print-playing asks of the running player (commandline.h reads it),
// carried as one request over the one-instance socket (the exchange is described
// in singleinstance.h) and answered with named values.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace sonavue {

struct RemoteCommand {
    enum class Verb { PlayPause, Stop, Next, Previous, Volume, Enqueue, PrintPlaying };
    Verb verb = Verb::PlayPause;
    int volume = 0;    // for Volume: the level, 0..MaxVolumeLevel as the volume bar's
    QStringList files; // for Enqueue

    static constexpr int MaxVolumeLevel = 255;
};

// "--stop", "--volume", ...
QString optionName(RemoteCommand::Verb verb);
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
