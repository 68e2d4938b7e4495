// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "xstartup.h"
#include "../pagecache.h"

#include "base/settings.h"
#include "realprogram.h"
#include "startuptiming.h"
#include "uilibrary.h"
#include "warmcache.h"
#include "xwindowwatch.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace sonavue::bench {
namespace {

constexpr int LibraryTracks = 100000;

struct Figures {
    std::vector<double> values;
    void add(double seconds) {
        if (seconds >= 0)
            values.push_back(seconds);
    }
    double median() const {
        if (values.empty())
            return -1;
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double min() const {
        return values.empty() ? -1 : *std::min_element(values.begin(), values.end());
    }
};

// One library, key setting and cache state: seconds from the exec to each step.
struct Point {
    const char* label = "";
    Figures tool;
    Figures childShown, childPainted; // the start-up child, offscreen
    Figures xMapped, xPainted;        // the real program under X
    QString error;
};

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

// The start-up child under the offscreen platform, as the program runs (web panel, GStreamer).
StartupRun timeChildOffscreen(const XStartupOptions& options) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const StartupRun run = timeStartup(options.program, options.appName, true, true);
    qputenv("QT_QPA_PLATFORM", platform);
    return run;
}

class Rounds {
public:
    Rounds(const XStartupOptions& options, RealProgram& real, XWindowWatch& watch)
        : m_options(options), m_real(real), m_watch(watch) {}

    // Both the child's settings and the real program's: the music folder and the key.
    bool configure(const QString& folder, bool keep) {
        const QString key = QStringLiteral("keeplibrary");
        const QString value = keep ? QStringLiteral("1") : QStringLiteral("0");
        return writeSetting(m_options.appName, QStringLiteral("init"), QStringLiteral("Folder"),
                            folder) &&
               writeSetting(m_options.appName, QStringLiteral("init"), key, value) &&
               m_real.setSetting(QStringLiteral("Folder"), folder) && m_real.setSetting(key, value);
    }

    // One round: the tool, the child offscreen, the real program; prepare before each.
    void round(Point& point, const QString& folder, const std::function<void()>& prepare) {
        prepare();
        point.tool.add(timeTool(folder));
        prepare();
        const StartupRun child = timeChildOffscreen(m_options);
        if (!child.error.isEmpty())
            point.error = QStringLiteral("offscreen child: ") + child.error;
        point.childShown.add(child.toShown);
        point.childPainted.add(child.toPainted);
        prepare();
        const RealRun real = m_real.timeStart(m_watch);
        if (!real.error.isEmpty())
            point.error = QStringLiteral("real program: ") + real.error;
        point.xMapped.add(real.mapped);
        point.xPainted.add(real.painted);
        std::printf(".");
        std::fflush(stdout);
    }

private:
    const XStartupOptions& m_options;
    RealProgram& m_real;
    XWindowWatch& m_watch;
};

void printFigure(const char* what, const Figures& figures, double reference) {
    const double median = figures.median();
    std::printf("    %-40s %6.3f s  min %6.3f s", what, median, figures.min());
    if (reference > 0 && median >= 0)
        std::printf("  %5.2f x the tool's warm scan", median / reference);
    std::printf("\n");
}

void printPoint(const Point& point, double reference) {
    std::printf("  %s (%zu runs; medians)\n", point.label, point.xPainted.values.size());
    if (!point.error.isEmpty())
        std::printf("    a run failed: %s\n", qPrintable(point.error));
    printFigure("sonavue-catalogue, end to end", point.tool, reference);
    printFigure("offscreen child: window shown", point.childShown, reference);
    printFigure("offscreen child: first paint", point.childPainted, reference);
    printFigure("X, the real Sonavue: window mapped", point.xMapped, reference);
    printFigure("X, the real Sonavue: window painted", point.xPainted, reference);
}

// The series of one cache state: without the key, then with it; the empty folder first.
struct Series {
    Point plainEmpty, plainLarge, keptEmpty, keptLarge;
};

// The points take turns, a round each, so that the machine's drift over the series falls on
// all of them alike. untimedFirst: a round of each first fills the caches, and with the key
// writes the store.
Series measureSeries(Rounds& rounds, const QString& empty, const QString& large, int runs,
                     const std::function<void()>& prepare, bool untimedFirst) {
    Series s;
    struct Step {
        Point* point;
        const char* label;
        const QString* folder;
        bool keep;
    };
    const Step steps[] = {
        {&s.plainEmpty, "without the key, empty music folder", &empty, false},
        {&s.plainLarge, "without the key, 100,000 tracks", &large, false},
        {&s.keptEmpty, "keeplibrary=1 (store written), empty music folder", &empty, true},
        {&s.keptLarge, "keeplibrary=1 (store written), 100,000 tracks", &large, true},
    };
    const auto configured = [&](const Step& step) {
        step.point->label = step.label;
        if (rounds.configure(*step.folder, step.keep))
            return true;
        step.point->error = QStringLiteral("cannot write the settings");
        return false;
    };
    for (const Step& step : steps) {
        Point untimed;
        if (untimedFirst && configured(step))
            rounds.round(untimed, *step.folder, [] {});
    }
    for (int k = 0; k < runs; ++k)
        for (const Step& step : steps)
            if (configured(step))
                rounds.round(*step.point, *step.folder, prepare);
    return s;
}

void printSeries(const char* title, const Series& s, double reference) {
    std::printf("\n%s\n", title);
    for (const Point* point : {&s.plainEmpty, &s.plainLarge, &s.keptEmpty, &s.keptLarge})
        printPoint(*point, reference);
}

void target(const char* what, double figure, double limit, const char* unit, bool below) {
    const bool met = figure >= 0 && (below ? figure < limit : figure <= limit);
    std::printf("  %-58s %6.2f %-2s (target %s %.2f %s)  %s\n", what, figure, unit,
                below ? "<" : "<=", limit, unit, met ? "ok" : "MISS");
}

void printTargets(const Series& warm, double reference) {
    std::printf("\nTargets (the real Sonavue under X, warm, exec to window painted, medians)\n");
    const double large = warm.plainLarge.xPainted.median();
    target("without the key, 100,000 tracks / the tool's warm scan",
           reference > 0 ? large / reference : -1, 1.3, "x", false);
    target("without the key, empty music folder", warm.plainEmpty.xPainted.median(), 0.3, "s",
           true);
    const double keptGap = warm.keptLarge.xPainted.median() - warm.keptEmpty.xPainted.median();
    target("with the key, 100,000 tracks after the empty folder's window", keptGap, 0.3, "s",
           false);
}

} // namespace

int runXStartup(const XStartupOptions& options) {
    char load[64] = "?";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(load, sizeof load, f))
            load[0] = '\0';
        std::fclose(f);
    }
    std::printf("Sonavue start-up as users see it: the real program under X (%s), the start-up "
                "child offscreen, sonavue-catalogue; load average at the start %s",
                qgetenv("DISPLAY").constData(), load);
    XWindowWatch watch;
    if (!watch.connected()) {
        std::fprintf(stderr, "no X server: run this through tests/desktop/run-with-wm.sh\n");
        return 1;
    }
    RealProgram real(options.realProgram);
    if (!real.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(real.error()));
        return 1;
    }
    // The child's kept library lives apart from the user's.
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    const UiLibrary library = ensureUiLibrary(LibraryTracks);
    const QTemporaryDir empty;
    if (library.folder.isEmpty() || !empty.isValid()) {
        std::fprintf(stderr, "cannot write the benchmark library under /tmp\n");
        return 1;
    }
    std::printf("  library %s (%s), %d warm rounds, %d cold\n", qPrintable(library.folder),
                library.reused ? "reused" : "written now", options.runs, options.coldRuns);
    std::fflush(stdout);
    warmPageCache(library.folder);

    Rounds rounds(options, real, watch);
    const Series warm = measureSeries(
        rounds, empty.path(), library.folder, options.runs, [] {}, true);
    Series cold;
    const bool canDrop = options.coldRuns > 0 && dropCaches();
    if (canDrop)
        cold = measureSeries(
            rounds, empty.path(), library.folder, options.coldRuns, [] { dropCaches(); }, false);
    std::printf("\n");

    const double reference = warm.plainLarge.tool.median();
    printSeries("Warm page cache", warm, reference);
    if (canDrop)
        printSeries("Cold: page cache dropped before every start (ratios still to the tool's "
                    "warm scan)",
                    cold, reference);
    else
        std::printf("\nNo cold series (dropping the page cache needs root, or --cold-runs 0).\n");
    printTargets(warm, reference);
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fgets(load, sizeof load, f))
            std::printf("load average at the end: %s", load);
        std::fclose(f);
    }
    std::fflush(stdout);
    return 0;
}

} // namespace sonavue::bench
