// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/selfcheck.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "base/settings.h"

#include "web/webpanelmodule.h"

#include <QFileInfo>
#include <QLibrary>
#include <cstdio>
#include <gst/gst.h>

namespace sonavue {
namespace {

void printLine(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

// Whether the installed or built program has what it needs to start: its page and its web
// panel's module beside it (the module's libraries found), and the media framework's player
// element.
int selfCheck(const QString& version) {
    printLine(QStringLiteral("Sonavue %1").arg(version));
    const QString folder = programFolder();
    printLine(QStringLiteral("program folder: %1").arg(readableText(folder)));
    bool ok = true;
    const QString page = folder + QStringLiteral("/index.htm");
    const bool pageFound = QFileInfo(page).isFile();
    printLine(QStringLiteral("index.htm: %1")
                  .arg(pageFound ? QStringLiteral("found") : QStringLiteral("missing")));
    ok = ok && pageFound;
    QLibrary module(webPanelModulePath(folder));
    const bool moduleFound = QFileInfo(module.fileName()).isFile();
    const bool moduleLoads = moduleFound && module.load();
    printLine(QStringLiteral("%1: %2").arg(webPanelModuleName(),
                                           !moduleFound  ? QStringLiteral("missing")
                                           : moduleLoads ? QStringLiteral("found")
                                                         : QStringLiteral("cannot load: ") +
                                                               readableText(module.errorString())));
    ok = ok && moduleLoads;
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

using Request = CommandLine::Request;

} // namespace

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
        reportLine(QStringLiteral("unknown option '%1'").arg(readableText(line.unknownOption)));
        std::fputs(usageText().constData(), stderr);
        return 2;
    case Request::BadUsage:
        reportLine(readableText(line.usageProblem));
        std::fputs(usageText().constData(), stderr);
        return 2;
    }
    return std::nullopt;
}

} // namespace sonavue
