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
           "Plays the music of the music folder set in the window.\n"
           "\n"
           "  -h, --help        show this help and exit\n"
           "      --version     show the version and exit\n"
           "      --self-check  check the installed program (its page, the GStreamer\n"
           "                    player element) without opening a window, and exit\n"
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

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    using Request = CommandLine::Request;
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
            return {Request::Help, {}, {}}; // help wins over anything else on the line
        if (argument == QLatin1String("--version")) {
            line.request = line.request == Request::Start ? Request::Version : line.request;
        } else if (argument == QLatin1String("--self-check")) {
            line.request = line.request == Request::Start ? Request::SelfCheck : line.request;
        } else if (const int taken = toolkitOptionLength(arguments, i)) {
            i += taken - 1;
        } else if (line.request != Request::UnknownOption) {
            line = {Request::UnknownOption, argument, line.files};
        }
    }
    return line;
}

std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version) {
    using Request = CommandLine::Request;
    const CommandLine line = readCommandLine(arguments);
    switch (line.request) {
    case Request::Start:
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
    }
    return std::nullopt;
}

} // namespace sonavue
