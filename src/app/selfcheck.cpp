// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/selfcheck.h"

#include "base/settings.h"

#include <QFileInfo>
#include <cstdio>
#include <gst/gst.h>

namespace sonavue {
namespace {

void printLine(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

// Whether the installed or built program has what it needs to start: its page beside it
// and the media framework's player element.
int selfCheck(const QString& version) {
    printLine(QStringLiteral("Sonavue %1").arg(version));
    const QString folder = programFolder();
    printLine(QStringLiteral("program folder: %1").arg(folder));
    bool ok = true;
    const QString page = folder + QStringLiteral("/index.htm");
    const bool pageFound = QFileInfo(page).isFile();
    printLine(QStringLiteral("index.htm: %1")
                  .arg(pageFound ? QStringLiteral("found") : QStringLiteral("missing")));
    ok = ok && pageFound;
    if (!gst_init_check(nullptr, nullptr, nullptr)) {
        printLine(QStringLiteral("GStreamer: cannot start"));
        return 1;
    }
    GstElementFactory* playbin = gst_element_factory_find("playbin");
    gchar* gstVersion = gst_version_string();
    printLine(QStringLiteral("%1: playbin %2")
                  .arg(QString::fromUtf8(gstVersion),
                       playbin ? QStringLiteral("found") : QStringLiteral("missing")));
    g_free(gstVersion);
    if (playbin)
        gst_object_unref(playbin);
    ok = ok && playbin;
    printLine(ok ? QStringLiteral("self-check: ok") : QStringLiteral("self-check: FAILED"));
    return ok ? 0 : 1;
}

QByteArray usageText() {
    return "Usage: sonavue [OPTION]... [FILE]...\n"
           "  or:  sonavue COMMAND\n"
           "Plays the music of the music folder set in the window.\n"
           "\n"
           "  -h, --help        show this help and exit\n"
           "      --version     show the version and exit\n"
           "      --self-check  check the installed program (its page, the GStreamer\n"
           "                    player element) without opening a window, and exit\n"
           "\n"
           "A COMMAND goes to the running player, which is not brought to the front (none\n"
           "is started when no player runs):\n"
           "      --play-pause      pause what plays, else play (as the media key)\n"
           "      --stop            stop play\n"
           "      --next            on to the next track, the reserved list's head first\n"
           "      --previous        the playing track again from its start\n"
           "      --volume LEVEL    set the volume level, 0 to 255 as the volume bar\n"
           "      --enqueue FILE... put FILEs on the reserved list; prints \"added: FILE\"\n"
           "                        or \"refused: FILE: reason\" for each\n"
           "      --print-playing   print \"state:\", \"path:\", \"title:\", \"artist:\" and\n"
           "                        \"position-ms:\" lines of what plays\n"
           "The status is 0 when it was carried out; 1 when no player runs, the player\n"
           "does not answer or refuses, or a FILE was refused; 2 for a wrong use.\n"
           "\n"
           "FILEs (MP3, and MIDI or WAV when their file-type boxes are on) go to the\n"
           "reserved list of the running player, which is brought to the front; play\n"
           "starts with them when nothing plays. A file that cannot be added is named on\n"
           "standard error and the status is 1. The toolkit's own options (-platform,\n"
           "-style, -display, ...) are taken as usual.\n";
}

// The options Qt's application object takes for itself, and how many of them take the
// next argument as their value ("-platform xcb"; "-platform=xcb" is one argument).
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

// How many arguments from index i a toolkit option takes (0: not a toolkit option). Qt
// reads "-name" and "--name" alike.
int toolkitOptionLength(const QStringList& arguments, qsizetype i) {
    QString option = arguments[i].mid(arguments[i].startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    const bool valueAttached = equals >= 0;
    if (valueAttached)
        option.truncate(equals);
    for (const ToolkitOption& known : toolkitOptions) {
        if (option != QLatin1String(known.name))
            continue;
        if (!known.takesValue || valueAttached)
            return 1;
        return i + 1 < arguments.size() ? 2 : 1;
    }
    return 0;
}

using Request = CommandLine::Request;

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

void takeRemoteOption(CommandLine& line, const RemoteOption& option) {
    if (!option.problem.isEmpty()) {
        noteProblem(line, option.problem);
        return;
    }
    const bool first = line.request == Request::Start;
    takeRequest(line, Request::Remote, optionName(option.verb));
    if (first) {
        line.remote.verb = option.verb;
        line.remote.volume = option.volume;
    }
}

// The plain arguments of a remote command are the files of --enqueue; the others take none.
CommandLine withRemoteFiles(CommandLine line) {
    if (line.request != Request::Remote)
        return line;
    const bool enqueue = line.remote.verb == RemoteCommand::Verb::Enqueue;
    if (enqueue && line.files.isEmpty())
        noteProblem(line, QStringLiteral("--enqueue needs at least one file"));
    else if (!enqueue && !line.files.isEmpty())
        noteProblem(
            line,
            QStringLiteral("%1 takes no files (--enqueue does)").arg(optionName(line.remote.verb)));
    else
        line.remote.files = line.files;
    return line;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // "--" ends the options; the web engine takes everything after "--webEngineArgs".
        if (argument == QLatin1String("--")) {
            line.files += arguments.mid(i + 1);
            break;
        }
        if (argument == QLatin1String("--webEngineArgs"))
            break;
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.files << argument;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return {Request::Help, {}, {}, {}, {}}; // help wins over anything else on the line
        if (argument == QLatin1String("--version")) {
            takeRequest(line, Request::Version, argument);
        } else if (argument == QLatin1String("--self-check")) {
            takeRequest(line, Request::SelfCheck, argument);
        } else if (const RemoteOption remote = readRemoteOption(arguments, i); remote.length > 0) {
            i += remote.length - 1;
            takeRemoteOption(line, remote);
        } else if (const int taken = toolkitOptionLength(arguments, i)) {
            i += taken - 1;
        } else if (!hasProblem(line)) {
            line = {Request::UnknownOption, argument, line.files, {}, {}};
        }
    }
    return withRemoteFiles(std::move(line));
}

std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version) {
    const CommandLine line = readCommandLine(arguments);
    switch (line.request) {
    case Request::Start:
    case Request::Remote:
        return std::nullopt;
    case Request::Help:
        std::fputs(usageText().constData(), stdout);
        return 0;
    case Request::Version:
        printLine(QStringLiteral("Sonavue %1").arg(version));
        return 0;
    case Request::SelfCheck:
        return selfCheck(version);
    case Request::UnknownOption:
        std::fprintf(stderr, "sonavue: unknown option '%s'\n",
                     line.unknownOption.toLocal8Bit().constData());
        std::fputs(usageText().constData(), stderr);
        return 2;
    case Request::BadUsage:
        std::fprintf(stderr, "sonavue: %s\n", line.usageProblem.toLocal8Bit().constData());
        std::fputs(usageText().constData(), stderr);
        return 2;
    }
    return std::nullopt;
}

} // namespace sonavue
