// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/remotecommand.h"

#include "base/nativepath.h"

namespace sonavue {
namespace {

using Verb = RemoteCommand::Verb;

// The remote's own verbs' words (the player's verbs have theirs in the verb table): on the
// socket as they are, on the command line after "--".
struct VerbName {
    Verb verb;
    const char* name;
};
constexpr VerbName ownVerbNames[] = {
    {Verb::Volume, "volume"},
    {Verb::Enqueue, "enqueue"},
    {Verb::PrintPlaying, "print-playing"},
    {Verb::SavePlaylist, "save-playlist"},
};

const QByteArray CommandWord = QByteArrayLiteral("command ");
const QByteArray DoneLine = QByteArrayLiteral("done");
const QByteArray ErrorWord = QByteArrayLiteral("error");
// An answer's words are short and plain; anything else comes from some other program.
constexpr qsizetype MaxWordLength = 32;

QByteArray verbName(const RemoteCommand& command) {
    if (command.verb == Verb::Player)
        return QByteArray(playerVerbInfo(command.player).name.data(),
                          playerVerbInfo(command.player).name.size());
    for (const VerbName& known : ownVerbNames)
        if (known.verb == command.verb)
            return known.name;
    return {};
}

std::optional<RemoteCommand> commandNamed(QStringView name) {
    for (const RemoteCommand& command : remoteCommands())
        if (name == QLatin1String(verbName(command)))
            return command;
    return std::nullopt;
}

bool isAnswerWord(const QByteArray& word) {
    if (word.isEmpty() || word.size() > MaxWordLength)
        return false;
    for (const char c : word)
        if ((c < 'a' || c > 'z') && c != '-')
            return false;
    return true;
}

} // namespace

QList<RemoteCommand> remoteCommands() {
    QList<RemoteCommand> commands;
    for (const PlayerVerbInfo& info : playerVerbs())
        if (info.remoteHelp)
            commands.append(RemoteCommand{Verb::Player, info.verb, 0, {}});
    for (const VerbName& own : ownVerbNames)
        commands.append(RemoteCommand{own.verb, {}, 0, {}});
    return commands;
}

QString optionName(const RemoteCommand& command) {
    return QStringLiteral("--") + QString::fromLatin1(verbName(command));
}

std::optional<int> volumeLevelOf(QStringView text) {
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    int level = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        level = level * 10 + (c.unicode() - '0');
    }
    if (level > RemoteCommand::MaxVolumeLevel)
        return std::nullopt;
    return level;
}

QByteArray requestBytes(const RemoteCommand& command) {
    QByteArray request = CommandWord + verbName(command);
    if (command.verb == Verb::Volume)
        request += ' ' + QByteArray::number(command.volume);
    request += '\n';
    if (!takesFiles(command.verb))
        return request;
    for (const QString& file : command.files)
        request += pathToNative(file).toPercentEncoding() + '\n';
    return request + '\n';
}

bool isCommandRequest(const QByteArray& line) {
    return line.startsWith(CommandWord);
}

std::optional<RemoteCommand> commandOfRequestLine(const QByteArray& line) {
    if (!isCommandRequest(line) || !line.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> words = line.chopped(1).mid(CommandWord.size()).split(' ');
    std::optional<RemoteCommand> named = commandNamed(QString::fromLatin1(words[0]));
    if (!named || words.size() != (named->verb == Verb::Volume ? 2 : 1))
        return std::nullopt;
    RemoteCommand command = *named;
    if (command.verb == Verb::Volume) {
        const std::optional<int> level = volumeLevelOf(QString::fromLatin1(words[1]));
        if (!level)
            return std::nullopt;
        command.volume = *level;
    }
    return command;
}

QByteArray answerBytes(const RemoteAnswer& answer) {
    if (!answer.refusal.isEmpty())
        return ErrorWord + ' ' + answer.refusal.simplified().toUtf8() + '\n';
    QByteArray out;
    for (const auto& [word, text] : answer.values) {
        out += word;
        // Texts keep their bytes (a path's bytes that are not UTF-8 included).
        if (!text.isEmpty())
            out += ' ' + pathToNative(text).toPercentEncoding();
        out += '\n';
    }
    return out + DoneLine + '\n';
}

AnswerProgress readAnswerLine(const QByteArray& line, RemoteAnswer& answer) {
    if (!line.endsWith('\n'))
        return AnswerProgress::Foreign;
    const QByteArray content = line.chopped(1);
    if (content == DoneLine)
        return AnswerProgress::Complete;
    const qsizetype space = content.indexOf(' ');
    const QByteArray word = space < 0 ? content : content.left(space);
    if (word == ErrorWord) {
        const QString why = QString::fromUtf8(content.mid(word.size()).trimmed());
        answer.refusal = why.isEmpty() ? QStringLiteral("no reason given") : why;
        return AnswerProgress::Complete;
    }
    if (!isAnswerWord(word))
        return AnswerProgress::Foreign;
    answer.values.append({word, space < 0 ? QString()
                                          : pathFromNative(QByteArray::fromPercentEncoding(
                                                content.mid(space + 1)))});
    return AnswerProgress::Incomplete;
}

} // namespace sonavue
