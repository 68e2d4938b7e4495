// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's speed: start-up, track-list fills and the event loop's longest pause
// during the start-up scan.
//
//   sonavue-bench-ui [--runs N]
//   sonavue-bench-ui --scans TRACKS   (only the start-up scan and a rescan; for profiling)
//   tests/desktop/run-with-wm.sh sonavue-bench-ui --startup-cold [--cold-runs N] [--warm-runs M]
//       (only the start-up on 100,000 tracks under a real X server, warm and cold, beside
//       sonavue-catalogue; see coldstartup.h; cold needs root)
//   tests/desktop/run-with-wm.sh sonavue-bench-ui --startup-x [--runs N] [--cold-runs M]
//       [--program SONAVUE]
//       (the start-up as users see it: the real Sonavue under X, exec to its window mapped
//       and painted, beside the offscreen child and sonavue-catalogue, on an empty folder and
//       100,000 tracks, without and with the kept library; see xstartup.h; cold needs root)
//
// Libraries of 10,000 and 100,000 tracks are written once to /tmp/sonavue-bench-ui-<N>
// and reused. Runs with QT_QPA_PLATFORM=offscreen (set here when unset) and a silent media
// element, so no display or sound device is needed.
//
// 1. Start-up: this executable is started again as a child (StartupChildFlag) that runs
//    the program's start-up with the 10,000-track library as its stored folder. Measured
//    in this process from QProcess::start to the arrival of the line the child prints
//    right after startProgram returns: process creation, loading, QApplication, the window's
//    construction, the start-up scan, the settings and show(). The time to the window's
//    first paint is printed beside it. Median of N runs after one untimed run (warm
//    caches); then once with the web panel.
// 2. Fills, 100,000 tracks, in this process: the call (showTab(5) for "ALL",
//    selectGroupEntry for an artist, an album and a folder entry) until it returns, plus
//    one processEvents. Median of N, entries spread over each list.
// 3. The longest pause of the event loop during the start-up scan of the 100,000 tracks:
//    a posted event that posts itself again marks every turn of the loop (the scan's
//    yields) from the first turn to scanFinished.
// Extra: the same folder chosen again while the window is shown (the music folder set, as the
//    folder chooser does), recorded from the call: its pauses and its length against the
//    start-up scan, which runs before the window is shown.
// The silent media element means the start-up makes no GStreamer element.
#include "base/settings.h"
#include "coldstartup.h"
#include "quietplatform.h"
#include "startupchild.h"
#include "startuptiming.h"
#include "uilibrary.h"
#include "warmcache.h"
#include "windowbench.h"
#include "xstartup.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace sonavue;
using namespace sonavue::bench;

namespace {

const QString AppName = QStringLiteral("SonavueBench");

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double maximum(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

int failures = 0;

// One row of the table: figure against target (both in the figure's unit).
void row(const char* what, double figure, const char* unit, double target, const char* note) {
    const bool met = figure >= 0 && figure < target;
    if (!met)
        ++failures;
    std::printf("  %-46s %9.1f %-2s  < %6.0f %-2s  %-4s %s\n", what, figure, unit, target, unit,
                met ? "ok" : "MISS", note);
}

void info(const char* what, double figure, const char* unit, const char* note, int decimals = 1) {
    std::printf("  %-46s %9.*f %-2s  %11s %-4s %s\n", what, decimals, figure, unit, "", "", note);
}

QString rowsText(const std::vector<int>& rows) {
    if (rows.empty())
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(rows.begin(), rows.end());
    return *lo == *hi ? QStringLiteral("%1 rows").arg(*lo)
                      : QStringLiteral("%1-%2 rows").arg(*lo).arg(*hi);
}

struct StartupSeries {
    std::vector<double> toMain, toApp, toShown, toPainted;
    int tracks = -1;
    QString error;
};

StartupSeries startupSeries(const QString& program, bool withWeb, int runs) {
    StartupSeries series;
    for (int k = 0; k < runs; ++k) {
        const StartupRun run = timeStartup(program, AppName, withWeb);
        if (!run.error.isEmpty()) {
            series.error = run.error;
            return series;
        }
        series.toMain.push_back(run.toMain * 1000);
        series.toApp.push_back(run.toApp * 1000);
        series.toShown.push_back(run.toShown * 1000);
        if (run.toPainted >= 0)
            series.toPainted.push_back(run.toPainted * 1000);
        series.tracks = run.tracks;
    }
    return series;
}

bool hasFlag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

int optionValue(int argc, char** argv, const char* name, int fallback, int lowest, int highest) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::clamp(std::atoi(argv[i + 1]), lowest, highest);
    return fallback;
}

QString optionText(int argc, char** argv, const char* name, const char* fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    return QString::fromLocal8Bit(fallback);
}

// --scans N: only the start-up scan and the rescan of an N-track library, for profiling.
int scansOnly(int tracks) {
    const UiLibrary library = ensureUiLibrary(tracks);
    if (library.folder.isEmpty())
        return 1;
    warmPageCache(library.folder);
    const WindowFigures window = measureWindow(AppName, library.folder, 0);
    if (!window.error.isEmpty()) {
        std::printf("  window run failed: %s\n", qPrintable(window.error));
        return 1;
    }
    std::printf("  %d tracks: start-up scan %.1f ms (longest pause %.1f ms), rescan %.1f ms "
                "(longest pause %.1f ms)\n",
                window.tracks, window.startupScan.seconds * 1000,
                double(window.startupScan.longest.ns) * 1e-6, window.rescan.seconds * 1000,
                double(window.rescan.longest.ns) * 1e-6);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    quietOffscreenWarnings();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], StartupChildFlag) == 0)
            return runStartupChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // the start-up children inherit it
    const int runs = optionValue(argc, argv, "--runs", 5, 1, 50);
    const int scansTracks = optionValue(argc, argv, "--scans", 0, 0, 1000000);
    QApplication app(argc, argv);
    if (scansTracks > 0)
        return scansOnly(scansTracks);
    const QString program = QCoreApplication::applicationFilePath();
    if (hasFlag(argc, argv, "--startup-x"))
        return runXStartup({program, AppName, optionText(argc, argv, "--program", SONAVUE_PROGRAM),
                            runs, optionValue(argc, argv, "--cold-runs", 3, 0, 20)});
    if (hasFlag(argc, argv, "--startup-cold"))
        return runColdStartup({program, AppName, optionValue(argc, argv, "--cold-runs", 3, 1, 20),
                               optionValue(argc, argv, "--warm-runs", 5, 1, 50)});

    std::printf("Sonavue main window benchmark (QT_QPA_PLATFORM=%s, wall clock, %d runs)\n",
                qgetenv("QT_QPA_PLATFORM").constData(), runs);
    const UiLibrary small = ensureUiLibrary(10000);
    const UiLibrary large = ensureUiLibrary(100000);
    for (const UiLibrary* library : {&small, &large}) {
        if (library->folder.isEmpty()) {
            std::fprintf(stderr, "cannot write the benchmark library under /tmp\n");
            return 1;
        }
        std::printf(
            "  library %s: %s\n", qPrintable(library->folder),
            library->reused
                ? "reused"
                : qPrintable(
                      QStringLiteral("written in %1 s").arg(library->secondsToWrite, 0, 'f', 1)));
    }
    warmPageCache(small.folder);
    warmPageCache(large.folder);
    std::fflush(stdout);

    // 1. Start-up.
    writeSetting(AppName, QStringLiteral("init"), QStringLiteral("Folder"), small.folder);
    startupSeries(program, false, 1); // untimed: caches of the loader, fonts, files
    const StartupSeries plain = startupSeries(program, false, runs);
    const StartupSeries web = startupSeries(program, true, 1);

    // 2. and 3. The window on 100,000 tracks.
    const WindowFigures window = measureWindow(AppName, large.folder, runs);

    std::printf("\n  %-46s %12s  %11s %-4s %s\n", "Measure", "Figure", "Target", "", "Note");
    std::printf("  1. Start-up, 10,000 tracks (parent's QProcess::start to \"shown\" line)\n");
    if (!plain.error.isEmpty()) {
        std::printf("  start-up failed: %s\n", qPrintable(plain.error));
        ++failures;
    } else {
        const QString note = QStringLiteral("median of %1, max %2 ms, %3 tracks")
                                 .arg(runs)
                                 .arg(maximum(plain.toShown), 0, 'f', 1)
                                 .arg(plain.tracks);
        row("start-up, no web panel: window shown", median(plain.toShown), "ms", 2000,
            qPrintable(note));
        info("  of which: process start to main()", median(plain.toMain), "ms", "median");
        info("  of which: process start to QApplication", median(plain.toApp), "ms", "median");
        info("  first paint of the window", median(plain.toPainted), "ms",
             qPrintable(
                 QStringLiteral("median of %1 runs that painted").arg(plain.toPainted.size())));
    }
    if (!web.error.isEmpty()) {
        std::printf("  start-up with web panel failed: %s\n", qPrintable(web.error));
        ++failures;
    } else {
        row("start-up, web panel on: window shown", web.toShown.front(), "ms", 2000,
            qPrintable(QStringLiteral("one run, %1 tracks").arg(web.tracks)));
        info("  first paint of the window", maximum(web.toPainted), "ms", "one run");
    }

    std::printf("  2. Fills, 100,000 tracks (the call + one processEvents)\n");
    if (!window.error.isEmpty()) {
        std::printf("  window run failed: %s\n", qPrintable(window.error));
        return 1;
    }
    const struct {
        const char* what;
        const FillRuns* fill;
    } fills[] = {{"\"ALL\" fill (showTab(5))", &window.all},
                 {"artist fill (select an artist entry)", &window.artist},
                 {"album fill (select an album entry)", &window.album},
                 {"folder fill (select a folder entry)", &window.folder}};
    for (const auto& fill : fills) {
        const QString note = QStringLiteral("median of %1, max %2 ms, %3; list painted at %4 ms")
                                 .arg(fill.fill->ms.size())
                                 .arg(maximum(fill.fill->ms), 0, 'f', 1)
                                 .arg(rowsText(fill.fill->rows))
                                 .arg(median(fill.fill->paintedMs), 0, 'f', 1);
        row(fill.what, median(fill.fill->ms), "ms", 100, qPrintable(note));
    }

    std::printf("  3. Start-up scan of 100,000 tracks (%d tracks, %d folders, %d albums, %d "
                "artists)\n",
                window.tracks, window.folders, window.albums, window.artists);
    const auto pauseRows = [](const char* what, const ScanPauses& pauses, bool targeted) {
        const QString note =
            QStringLiteral("%1 s into it, after turn %2 of %3%4")
                .arg(double(pauses.longest.startNs) * 1e-9, 0, 'f', 2)
                .arg(pauses.longest.afterTurn)
                .arg(pauses.turns)
                .arg(pauses.firstTurnInScan ? QString()
                                            : QStringLiteral(" (first turn not in scan!)"));
        if (targeted)
            row(what, double(pauses.longest.ns) * 1e-6, "ms", 100, qPrintable(note));
        else
            info(what, double(pauses.longest.ns) * 1e-6, "ms", qPrintable(note));
        info("  median pause between turns", pauses.medianPauseMs, "ms",
             qPrintable(QStringLiteral("%1 pauses over 100 ms").arg(pauses.pausesOver100Ms)), 3);
        info("  first recorded turn to scanFinished", pauses.seconds * 1000, "ms", "");
    };
    pauseRows("longest event-loop pause during the scan", window.startupScan, true);
    info("  startProgram in-process (window built, scan, shown)", window.startupS * 1000, "ms", "");
    std::printf("  Extra: the same folder chosen again (rescan replacing 100,000 rows; from the "
                "call)\n");
    pauseRows("longest event-loop pause during the rescan", window.rescan, false);
    if (window.startupScan.seconds > 0)
        std::printf("  The rescan took %.1f times as long as the start-up scan (window hidden).\n",
                    window.rescan.seconds / window.startupScan.seconds);
    std::printf("\n%s\n", failures == 0
                              ? "All targets met."
                              : qPrintable(QStringLiteral("%1 target(s) missed.").arg(failures)));
    std::fflush(stdout);
    return 0;
}
