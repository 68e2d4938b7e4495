// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/commandline.h"

#include "app/socketlistener.h"

#include <QCommandLineParser>

namespace sonavue {
namespace {

using Request = CommandLine::Request;
using Verb = RemoteCommand::Verb;

// One option of the player's own: what it asks for and what the usage says of it.
struct OwnOption {
    Request request;
    RemoteCommand remote; // for Request::Remote, whose option is named after its command
    const char* names;    // for the others: "h,help" (a one-letter name is written -h)
    const char* argument; // written after the name in the usage
    bool takesValue;      // the argument is the option's value ("--volume 100")
    const char* help;     // %1: how many files one command sends
};
// The options that are no remote command.
const OwnOption startOptions[] = {
    {Request::Help, {}, "h,help", "", false, "show this help and exit"},
    {Request::Version, {}, "version", "", false, "show the version and exit"},
    {Request::SelfCheck,
     {},
     "self-check",
     "",
     false,
     "check the installed program (its page, the GStreamer player element) without opening a "
     "window, and exit"},
};

// What the usage says of a remote command, and the argument it takes.
OwnOption remoteOption(const RemoteCommand& command) {
    OwnOption option{Request::Remote, command, nullptr, "", false, ""};
    switch (command.verb) {
    case Verb::Player:
        option.help = playerVerbInfo(command.player).remoteHelp;
        break;
    case Verb::Volume:
        option.argument = "LEVEL";
        option.takesValue = true;
        option.help = "set the volume level, 0 to 255 as the volume bar";
        break;
    case Verb::Enqueue:
        option.argument = "FILE...";
        option.help = "put FILEs on the reserved list; prints \"added: FILE\" or \"refused: FILE: "
                      "reason\" for each (past the first %1, each is refused unsent)";
        break;
    case Verb::PrintPlaying:
        option.help = "print \"state:\", \"path:\", \"title:\", \"artist:\" and \"position-ms:\" "
                      "lines of what plays";
        break;
    case Verb::SavePlaylist:
        option.argument = "FILE";
        option.help = "write the track list shown as an M3U8 playlist to FILE; prints \"saved: "
                      "FILE\"";
        break;
    }
    return option;
}

// Every option of the player's own, the remote commands last, in the order of the usage.
const QList<OwnOption>& ownOptions() {
    static const QList<OwnOption> options = [] {
        QList<OwnOption> all(std::begin(startOptions), std::end(startOptions));
        for (const RemoteCommand& command : remoteCommands())
            all.append(remoteOption(command));
        return all;
    }();
    return options;
}

// The options Qt's application object takes for itself, and whether each takes the next
// argument as its value ("-platform xcb"; "-platform=xcb" is one argument).
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption toolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"name", true},
    {"title", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", false},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
    {"testability", false},
};

constexpr qsizetype UsageWidth = 79;

QStringList namesOf(const OwnOption& option) {
    if (option.request == Request::Remote)
        return {optionName(option.remote).mid(2)};
    return QString::fromLatin1(option.names).split(QLatin1Char(','));
}

const OwnOption* ownOptionNamed(const QString& name) {
    for (const OwnOption& option : ownOptions())
        if (namesOf(option).contains(name))
            return &option;
    return nullptr;
}

// Qt reads "-name" and "--name" alike, so the toolkit's options keep working.
void addOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OwnOption& option : ownOptions())
        parser.addOption(QCommandLineOption(namesOf(option), QString::fromLatin1(option.help),
                                            option.takesValue ? QString::fromLatin1(option.argument)
                                                              : QString()));
    for (const ToolkitOption& known : toolkitOptions) {
        QCommandLineOption option(QString::fromLatin1(known.name), QString(),
                                  known.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The first argument that names the unknown option name, as it was written ("--bogus").
QString asWritten(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        const qsizetype dashes = argument.startsWith(QLatin1String("--")) ? 2 : 1;
        if (argument.startsWith(QLatin1Char('-')) &&
            argument.mid(dashes).section(QLatin1Char('='), 0, 0) == name)
            return argument;
    }
    return QLatin1Char('-') + name;
}

bool hasProblem(const CommandLine& line) {
    return line.request == Request::UnknownOption || line.request == Request::BadUsage;
}

// The first problem on the line is the one told.
void noteProblem(CommandLine& line, const QString& problem) {
    if (hasProblem(line))
        return;
    line.request = Request::BadUsage;
    line.usageProblem = problem;
}

// The line asks for request, as option says: the first request stands, but a remote command
// goes with no other.
void takeRequest(CommandLine& line, Request request, const QString& option) {
    if (line.request == Request::Start)
        line.request = request;
    else if (line.request == Request::Remote || request == Request::Remote)
        noteProblem(line, QStringLiteral("%1 cannot be given with another command").arg(option));
}

void takeRemoteOption(CommandLine& line, const RemoteCommand& command, const QString& value) {
    const bool first = line.request == Request::Start;
    std::optional<int> level;
    if (command.verb == Verb::Volume) {
        level = volumeLevelOf(value);
        if (!level) {
            noteProblem(line, QStringLiteral("--volume takes a level from 0 to %1, not '%2'")
                                  .arg(RemoteCommand::MaxVolumeLevel)
                                  .arg(value));
            return;
        }
    }
    takeRequest(line, Request::Remote, optionName(command));
    if (first) {
        line.remote = command;
        line.remote.volume = level.value_or(0);
    }
}

// The plain arguments of a remote command are the files of --enqueue and the one file of
// --save-playlist; the others take none.
CommandLine withRemoteFiles(CommandLine line) {
    if (line.request != Request::Remote)
        return line;
    const bool enqueue = line.remote.verb == Verb::Enqueue;
    if (enqueue && line.files.isEmpty())
        noteProblem(line, QStringLiteral("--enqueue needs at least one file"));
    else if (line.remote.verb == Verb::SavePlaylist && line.files.size() != 1)
        noteProblem(line, QStringLiteral("--save-playlist needs one file"));
    else if (!takesFiles(line.remote.verb) && !line.files.isEmpty())
        noteProblem(
            line,
            QStringLiteral("%1 takes no files (--enqueue does)").arg(optionName(line.remote)));
    else
        line.remote.files = line.files;
    return line;
}

// Options past "--webEngineArgs" are the web engine's; past "--", every argument is a file.
QStringList ownArguments(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        if (arguments[i] == QLatin1String("--webEngineArgs"))
            return arguments.mid(0, i);
    }
    return arguments;
}

// text as lines of at most UsageWidth, each after indent spaces but the first.
QString wrapped(const QString& text, qsizetype indent) {
    QString out;
    qsizetype lineLength = indent;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > indent && lineLength + 1 + word.size() > UsageWidth) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            lineLength = indent;
        } else if (lineLength > indent) {
            out += QLatin1Char(' ');
            ++lineLength;
        }
        out += word;
        lineLength += word.size();
    }
    return out;
}

// The usage's lines of the options that are commands, or of the others: each name and
// argument, and its help beside them.
QString optionLines(bool commands) {
    QList<std::pair<QString, QString>> rows;
    for (const OwnOption& option : ownOptions()) {
        if ((option.request == Request::Remote) != commands)
            continue;
        QStringList written;
        for (const QString& name : namesOf(option))
            written << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString shown = written.join(QStringLiteral(", "));
        if (written.first().startsWith(QLatin1String("--")))
            shown.prepend(QStringLiteral("    ")); // beside the "-h, " of a one-letter name
        if (*option.argument)
            shown += QLatin1Char(' ') + QString::fromLatin1(option.argument);
        QString help = QString::fromLatin1(option.help);
        if (help.contains(QLatin1String("%1")))
            help = help.arg(MaxFilesPerRequest);
        rows.append({QStringLiteral("  ") + shown, help});
    }
    qsizetype column = 0;
    for (const auto& [shown, help] : rows)
        column = std::max(column, shown.size() + 2);
    QString out;
    for (const auto& [shown, help] : rows)
        out += shown.leftJustified(column) + wrapped(help, column) + QLatin1Char('\n');
    return out;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    const QStringList own = ownArguments(arguments);
    QCommandLineParser parser;
    addOptions(parser);
    const bool parsed = parser.parse(QStringList{QStringLiteral("sonavue")} + own);
    CommandLine line;
    line.files = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help")))
        return {Request::Help, {}, {}, {}, {}};
    if (!parser.unknownOptionNames().isEmpty()) {
        line.request = Request::UnknownOption;
        line.unknownOption = asWritten(own, parser.unknownOptionNames().constFirst());
        return line;
    }
    if (!parsed) {
        noteProblem(line, parser.errorText());
        return line;
    }
    // The options in the order given; a value for each --volume met.
    qsizetype volumesMet = 0;
    for (const QString& name : parser.optionNames()) {
        const OwnOption* option = ownOptionNamed(name);
        if (!option)
            continue; // the toolkit's
        const QString written = QStringLiteral("--") + namesOf(*option).constLast();
        if (option->request != Request::Remote) {
            takeRequest(line, option->request, written);
            continue;
        }
        const QString value =
            option->takesValue ? parser.values(name).value(volumesMet++) : QString();
        takeRemoteOption(line, option->remote, value);
    }
    return withRemoteFiles(std::move(line));
}

QByteArray usageText() {
    const QString usage =
        QStringLiteral("Usage: sonavue [OPTION]... [FILE]...\n"
                       "  or:  sonavue COMMAND\n"
                       "Plays the music of the music folder set in the window.\n"
                       "\n") +
        optionLines(false) +
        QStringLiteral("\n"
                       "A COMMAND goes to the running player, which is not brought to the front "
                       "(none\nis started when no player runs):\n") +
        optionLines(true) +
        QStringLiteral(
            "The status is 0 when it was carried out; 1 when no player runs, the player\n"
            "does not answer or refuses, or a FILE was refused; 2 for a wrong use.\n"
            "\n"
            "FILEs of any type the player plays (MP3, MIDI, WAV, FLAC, Ogg, Opus or M4A,\n"
            "whatever the file-type boxes say) go to the reserved list of the running\n"
            "player, which is brought to the front; play starts with them when nothing\n"
            "plays. A file that cannot be added is named on standard error and the status\n"
            "is 1. The toolkit's own options (-platform, -style, -display, ...) are taken\n"
            "as usual.\n");
    return usage.toUtf8();
}

} // namespace sonavue
