// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "coldstartup.h"
#include "../pagecache.h"

#include "base/settings.h"
#include "startuptiming.h"
#include "uilibrary.h"
#include "warmcache.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace sonavue::bench {
namespace {

constexpr int LibraryTracks = 100000;

// "min-max" of values, for the spread beside a median.
QString spread(const std::vector<double>& values) {
    if (values.empty())
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1-%2").arg(*lo, 0, 'f', 2).arg(*hi, 0, 'f', 2);
}

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// sonavue-catalogue on folder, its JSON to /dev/null: process start to exit, in seconds
// (-1 when it failed).
double timeTool(const QString& folder) {
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(SONAVUE_CATALOGUE_TOOL), {folder});
    if (!tool.waitForFinished(180000)) {
        tool.kill();
        tool.waitForFinished();
        return -1;
    }
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0 ? seconds : -1;
}

// How the window is started: as the program does (web panel, GStreamer element), or
// stripped of both, which shows what those two add.
struct Variant {
    const char* name;
    bool web;
    bool gst;
};
constexpr std::array<Variant, 2> Variants = {
    {{"window as the program", true, true}, {"window, no web panel, silent media", false, false}}};

// Seconds to each line of the child, one list per step, over the runs of one variant.
struct StageTimes {
    std::vector<double> main, app, made, scanned, shown, painted;
    int tracks = -1;
    QString error;

    void add(const StartupRun& run) {
        main.push_back(run.toMain);
        app.push_back(run.toApp);
        made.push_back(run.toMade);
        scanned.push_back(run.toScanned);
        shown.push_back(run.toShown);
        if (run.toPainted >= 0)
            painted.push_back(run.toPainted);
        tracks = run.tracks;
    }
};

// One cache state (warm or cold): every variant of the window and the tool.
struct Series {
    std::array<StageTimes, Variants.size()> windows;
    std::vector<double> tool;
    QString toolError;
};

// One round: the tool, then each variant of the window; prepare runs before each.
template <typename Prepare>
void runRound(Series& series, const ColdStartupOptions& options, const QString& folder,
              Prepare prepare) {
    prepare();
    const double tool = timeTool(folder);
    if (tool < 0)
        series.toolError = QStringLiteral("sonavue-catalogue failed");
    else
        series.tool.push_back(tool);
    for (std::size_t v = 0; v < Variants.size(); ++v) {
        prepare();
        const StartupRun run =
            timeStartup(options.program, options.appName, Variants[v].web, Variants[v].gst);
        if (run.error.isEmpty())
            series.windows[v].add(run);
        else
            series.windows[v].error = run.error;
    }
}

void printStages(const Variant& variant, const StageTimes& t) {
    if (!t.error.isEmpty()) {
        std::printf("  %s: failed: %s\n", variant.name, qPrintable(t.error));
        return;
    }
    const double scanned = median(t.scanned);
    const double made = median(t.made);
    std::printf("  %-36s shown %6.2f s  painted %6.2f s  (%d tracks, %zu runs, shown %s s)\n",
                variant.name, median(t.shown), median(t.painted), t.tracks, t.shown.size(),
                qPrintable(spread(t.shown)));
    std::printf("      start -> main() %5.2f | -> QApplication %5.2f | -> window built %5.2f"
                " | -> scan done %5.2f | -> shown %5.2f | -> painted %5.2f s (medians)\n",
                median(t.main), median(t.app), made, scanned, median(t.shown), median(t.painted));
    std::printf("      steps: loading %.2f, QApplication %.2f, building the window %.2f, "
                "splash + scan %.2f, settings + show %.2f, first paint %.2f s\n",
                median(t.main), median(t.app) - median(t.main), made - median(t.app),
                scanned - made, median(t.shown) - scanned, median(t.painted) - median(t.shown));
}

void printSeries(const char* title, const Series& series) {
    std::printf("\n%s\n", title);
    if (!series.toolError.isEmpty())
        std::printf("  %s\n", qPrintable(series.toolError));
    std::printf("  %-36s %6.2f s  (%zu runs, %s s)\n", "sonavue-catalogue end to end",
                median(series.tool), series.tool.size(), qPrintable(spread(series.tool)));
    for (std::size_t v = 0; v < Variants.size(); ++v)
        printStages(Variants[v], series.windows[v]);
}

} // namespace

int runColdStartup(const ColdStartupOptions& options) {
    std::printf("Sonavue window start-up, %d tracks (QT_QPA_PLATFORM=%s), "
                "each round: the tool, then each window variant\n",
                LibraryTracks, qgetenv("QT_QPA_PLATFORM").constData());
    const UiLibrary library = ensureUiLibrary(LibraryTracks);
    if (library.folder.isEmpty()) {
        std::fprintf(stderr, "cannot write the benchmark library under /tmp\n");
        return 1;
    }
    if (!writeSetting(options.appName, QStringLiteral("init"), QStringLiteral("Folder"),
                      library.folder)) {
        std::fprintf(stderr, "cannot write the settings file %s\n",
                     qPrintable(settingsFilePath(options.appName)));
        return 1;
    }
    std::printf("  library %s (%s)\n", qPrintable(library.folder),
                library.reused ? "reused" : "written now");
    std::fflush(stdout);

    Series warm;
    warmPageCache(library.folder);
    runRound(warm, options, library.folder, [] {}); // untimed: fills every cache
    warm = Series{};
    for (int k = 0; k < options.warmRuns; ++k)
        runRound(warm, options, library.folder, [] {});

    // The window on an empty music folder, warm: the start-up without a scan.
    Series empty;
    const QTemporaryDir emptyFolder;
    if (writeSetting(options.appName, QStringLiteral("init"), QStringLiteral("Folder"),
                     emptyFolder.path())) {
        runRound(empty, options, emptyFolder.path(), [] {}); // untimed
        empty = Series{};
        for (int k = 0; k < options.warmRuns; ++k)
            runRound(empty, options, emptyFolder.path(), [] {});
    }
    writeSetting(options.appName, QStringLiteral("init"), QStringLiteral("Folder"), library.folder);

    Series cold;
    const bool canDrop = bench::dropCaches();
    if (canDrop)
        for (int k = 0; k < options.coldRuns; ++k)
            runRound(cold, options, library.folder, [] { bench::dropCaches(); });

    printSeries("Warm page cache (medians; target: the window shown under 0.5 s)", warm);
    printSeries("Empty music folder, warm page cache (medians; target: shown under 0.4 s)", empty);
    if (!canDrop) {
        std::printf("\nDropping the page cache was refused (not root?): warm figures only.\n");
        return 0;
    }
    printSeries("Cold: page cache dropped before every start (medians)", cold);
    const double toolCold = median(cold.tool);
    const double windowCold = median(cold.windows[0].shown);
    const bool met = toolCold > 0 && windowCold > 0 && windowCold <= 1.1 * toolCold;
    std::printf("\nwindow shown cold / tool cold: %.2f (target <= 1.10) %s\n",
                toolCold > 0 ? windowCold / toolCold : -1.0, met ? "ok" : "MISS");
    std::printf("window shown warm / tool warm: %.2f\n",
                median(warm.tool) > 0 ? median(warm.windows[0].shown) / median(warm.tool) : -1.0);
    std::fflush(stdout);
    return 0;
}

} // namespace sonavue::bench
