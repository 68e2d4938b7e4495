// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/remoteverbs.h"

#include "app/tracktext.h"

namespace sonavue {
namespace {

using Verb = RemoteCommand::Verb;
using State = MediaControl::State;

RemoteAnswer describePlaying(PlayerCore& core) {
    const Transport& transport = core.transport();
    // The element keeps the last file's name after closing it; that file no longer plays.
    const bool open = transport.state() != State::Closed;
    const QString path = open ? transport.fileName() : QString();
    const TrackText text =
        open ? trackText(path, readShownTags(path, core.tagReading())) : TrackText{};
    RemoteAnswer answer;
    answer.values = {{"state", playStatusWord(playStatusOf(transport.state()))},
                     {"path", path},
                     {"title", text.title},
                     {"artist", text.artist},
                     {"position-ms", QString::number(open ? transport.positionMs() : 0)}};
    return answer;
}

RemoteAnswer enqueue(Transport& transport, const QStringList& files) {
    RemoteAnswer answer;
    for (const QString& why : transport.openFiles(files))
        answer.values.append(why.isEmpty() ? std::pair{QByteArray("added"), QString()}
                                           : std::pair{QByteArray("refused"), why});
    return answer;
}

// A verb that changes a choice of the play order answers with the choice as it now stands.
RemoteAnswer playModeAnswer(const Transport& transport, PlayerVerb verb) {
    RemoteAnswer answer;
    for (const auto& [word, value] : playModeWords(transport))
        if (QLatin1StringView(word) == playerVerbInfo(verb).name)
            answer.values.append({word, value});
    return answer;
}

} // namespace

RemoteAnswer carryOutRemoteCommand(PlayerCore& core, const RemoteCommand& command) {
    Transport& transport = core.transport();
    switch (command.verb) {
    case Verb::Player:
        runPlayerVerb(transport, command.player);
        return playModeAnswer(transport, command.player);
    case Verb::Volume:
        transport.setVolumeLevel(command.volume);
        break;
    case Verb::Enqueue:
        return enqueue(transport, command.files);
    case Verb::PrintPlaying:
        return describePlaying(core);
    case Verb::SavePlaylist: {
        const QString file = command.files.value(0);
        RemoteAnswer answer;
        answer.refusal = transport.saveTrackList(file);
        if (answer.refusal.isEmpty())
            answer.values.append({"saved", file});
        return answer;
    }
    }
    return {};
}

} // namespace sonavue
