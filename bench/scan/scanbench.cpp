// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The folder scan's speed and memory against the least work any scan must do.
//
//   sonavue-bench-scan [--folder DIR] [--runs N] [--cold] [--quick]
//
// Makes synthetic libraries of 10,000 and 100,000 music files under DIR (default
// $TMPDIR/sonavue-scan-bench; written once, reused by later runs), reads them once to
// warm the page cache, then for each size times, alternately and N times each (default
// 5), the reference loop and the player's scan, and reports the medians and their
// ratio. Memory: each size is scanned once more in a child process (this program with
// --child-scan), which reports its peak resident set (VmHWM); the growth from 10,000 to
// 100,000 tracks divided by 90,000 is the memory per catalogued track, so the fixed cost
// of the program and its libraries drops out. Last, sonavue-catalogue is timed end to end
// (process start to JSON written, output to /dev/null) against the same reference, and the
// tool's JSON output alone (in this process, from the scan's catalogue). Every timing gives
// its user and system time apart: the scan's own work shows in user time, the file
// system's in system time. --quick leaves out the table of reader and lister counts.
#include "../pagecache.h"
#include "benchlibrary.h"
#include "catalogue/folderscan.h"
#include "cataloguejson.h"
#include "referencescan.h"
#include "tags/genre.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace sonavue;
using Clock = std::chrono::steady_clock;

namespace {

struct ScanFigures {
    int rows = 0;
    int folders = 0;
    double walkSeconds = 0; // from the start to the first tag read (the folder list complete)
};

// Notes when the walk is over and the tags begin.
class WalkTimer : public ScanObserver {
public:
    std::chrono::steady_clock::time_point tagsBegan;
    void readingStarted(int) override { tagsBegan = std::chrono::steady_clock::now(); }
};

// Wall time and processor time (user and system) of one piece of work. The machine may be
// shared: the processor time shows the work itself when other processes crowd the wall time.
struct Timing {
    double wall = 0;
    double user = 0;
    double system = 0;
    double cpu() const { return user + system; }
};

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
}

rusage ownUsage() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage;
}

Timing timingOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    const rusage before = ownUsage();
    work();
    const rusage after = ownUsage();
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            seconds(after.ru_utime) - seconds(before.ru_utime),
            seconds(after.ru_stime) - seconds(before.ru_stime)};
}

double secondsOf(const std::function<void()>& work) {
    return timingOf(work).wall;
}

// One scan into a fresh catalogue; timed is the scan alone, not the freeing of the
// catalogue afterwards (which the reference loop has no counterpart of).
// Tag readers and folder listers of one scan (Auto: as the scan chooses).
struct ScanSetup {
    int readers = ReadAheadOptions::Auto;
    int listers = ReadAheadOptions::Auto;
    std::string label() const {
        const auto count = [](int n) {
            return n == ReadAheadOptions::Auto ? std::string("auto") : std::to_string(n);
        };
        return "folder scan, " + count(readers) + " readers, " + count(listers) + " listers";
    }
};

// json, when given, times the tool's JSON output of the scan's catalogue (to a sink that
// drops it, as /dev/null does).
ScanFigures runScan(const std::string& folder, Timing* timing = nullptr, ScanSetup setup = {},
                    Timing* json = nullptr) {
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan(catalogue, groups);
    ReadAheadOptions options;
    options.threads = setup.readers;
    options.listingThreads = setup.listers;
    scan.setReadAhead(options);
    WalkTimer quiet;
    const QString path = QString::fromStdString(folder);
    const auto started = std::chrono::steady_clock::now();
    const Timing t = timingOf([&] { scan.run(path, folderPrefixFor(path), FilePattern(), quiet); });
    if (timing)
        *timing = t;
    if (json)
        *json = timingOf([&] {
            writeCatalogueJson(folderPrefixFor(path), catalogue, groups,
                               [](std::string_view) { return true; });
        });
    return {catalogue.rowCount(), groups[GroupFolder].count(),
            std::chrono::duration<double>(quiet.tagsBegan - started).count()};
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// The longest stretch of the scan between two yields to the window's events (and from
// the start to the first, and from the last to the end).
class GapObserver : public ScanObserver {
public:
    void letEventsRun() override { mark(); }
    void mark() {
        const auto now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double>(now - last).count());
        last = now;
    }
    Clock::time_point last = Clock::now();
    double longest = 0;
};

double longestStretchWithoutYield(const std::string& folder) {
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan(catalogue, groups);
    GapObserver observer;
    const QString path = QString::fromStdString(folder);
    scan.run(path, folderPrefixFor(path), FilePattern(), observer);
    observer.mark();
    return observer.longest;
}

// Runs argv with stdout sent to /dev/null: wall time from spawn to exit, and the child's
// processor time.
Timing timeProcess(const std::vector<std::string>& args, int& status) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        status = -1;
        return {};
    }
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return {wall, seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// Peak resident KiB of a child process that scans folder once.
long childPeakKiB(const std::string& self, const std::string& folder, int& rows) {
    const std::string command = "'" + self + "' --child-scan '" + folder + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    long peak = -1;
    if (std::fscanf(pipe, "%d %ld", &rows, &peak) != 2)
        peak = -1;
    ::pclose(pipe);
    return peak;
}

std::string selfPath() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? buffer.substr(0, std::size_t(n)) : std::string();
}

struct SizeResult {
    int tracks;
    Timing reference;
    Timing scan;
    Timing tool;
    Timing json; // the tool's output alone
    long peakKiB;
    std::vector<std::pair<std::string, double>> walls; // every line of the table
    double walk = 0;                                   // of the scan as it chooses: the walk's part
};

// Each figure's median on its own.
Timing medianOf(const std::vector<Timing>& timings) {
    std::vector<double> wall, user, system;
    for (const Timing& t : timings) {
        wall.push_back(t.wall);
        user.push_back(t.user);
        system.push_back(t.system);
    }
    return {median(wall), median(user), median(system)};
}

void printTiming(const char* name, const Timing& t, const Timing& reference) {
    std::printf("  %-40s %7.1f ms wall, %6.1f ms user, %6.1f ms system; %.2fx the loop's "
                "wall, %.2fx its user + system\n",
                name, t.wall * 1e3, t.user * 1e3, t.system * 1e3, t.wall / reference.wall,
                t.cpu() / reference.cpu());
}

} // namespace

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/sonavue-scan-bench";
    int runs = 5;
    bool cold = false;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--child-scan" && i + 1 < argc) {
            const ScanFigures figures = runScan(argv[i + 1]);
            std::printf("%d %ld\n", figures.rows, peakResidentKiB());
            return 0;
        }
        if (arg == "--child-reference" && i + 1 < argc) { // for profiling side by side
            const bench::ReferenceResult result = bench::referenceScan(argv[i + 1]);
            std::printf("%ld %ld\n", result.files, peakResidentKiB());
            return 0;
        }
        if (arg == "--folder" && i + 1 < argc) {
            base = argv[++i];
        } else if (arg == "--cold") {
            cold = true;
        } else if (arg == "--quick") {
            quick = true;
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(
                stderr, "usage: sonavue-bench-scan [--folder DIR] [--runs N] [--cold] [--quick]\n");
            return 2;
        }
    }
    ::mkdir(base.c_str(), 0755);
    const std::string self = selfPath();
    const std::string tool = SONAVUE_CATALOGUE_TOOL;

    std::vector<SizeResult> results;
    for (const int tracks : {10000, 100000}) {
        const std::string folder = base + "/lib-" + std::to_string(tracks);
        const double made = secondsOf([&] {
            if (!bench::ensureLibrary(folder, tracks)) {
                std::fprintf(stderr, "cannot write the library in %s\n", folder.c_str());
                std::exit(1);
            }
        });
        std::printf("library %s: %d music files (ready in %.1f s)\n", folder.c_str(), tracks, made);

        // Warm the page cache and the allocator with one untimed pass of each.
        const bench::ReferenceResult reference = bench::referenceScan(folder);
        const ScanFigures figures = runScan(folder);
        if (figures.rows != reference.files)
            std::printf("  MISMATCH: scan catalogued %d files, reference read %ld\n", figures.rows,
                        reference.files);
        std::printf("  scan: %d rows in %d folders; reference: %ld files, %ld tagged\n",
                    figures.rows, figures.folders, reference.files, reference.tagged);

        // Every piece of a run, side by side; cold: the caches are dropped before each.
        const std::vector<int> threadCounts =
            quick ? std::vector<int>{} : std::vector<int>{2, 4, 8, 16};
        const std::vector<ScanSetup> readerCounts =
            quick ? std::vector<ScanSetup>{}
                  : std::vector<ScanSetup>{{0, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 4}, {0, 2},
                                           {1, 2}, {3, 2}, {4, 2}, {8, 2}, {16, 2}};
        std::vector<Timing> referenceTimes, scanTimes, toolTimes, jsonTimes;
        std::vector<double> walkTimes;
        std::vector<std::vector<double>> threadedTimes(threadCounts.size());
        std::vector<std::vector<double>> scanReaderTimes(readerCounts.size());
        const auto prepare = [&] {
            if (cold && !bench::dropCaches()) {
                std::printf(
                    "  dropping the page cache was refused (not root?): warm figures only\n");
                cold = false;
            }
        };
        for (int run = 0; run < runs; ++run) {
            prepare();
            referenceTimes.push_back(timingOf([&] { bench::referenceScan(folder); }));
            for (std::size_t k = 0; k < threadCounts.size(); ++k) {
                prepare();
                threadedTimes[k].push_back(
                    secondsOf([&] { bench::referenceScanThreaded(folder, threadCounts[k]); }));
            }
            for (std::size_t k = 0; k < readerCounts.size(); ++k) {
                prepare();
                Timing t;
                runScan(folder, &t, readerCounts[k]);
                scanReaderTimes[k].push_back(t.wall);
            }
            prepare();
            Timing scanTime, jsonTime;
            walkTimes.push_back(runScan(folder, &scanTime, {}, &jsonTime).walkSeconds);
            scanTimes.push_back(scanTime);
            jsonTimes.push_back(jsonTime);
            prepare();
            int status = 0;
            toolTimes.push_back(timeProcess({tool, folder}, status));
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                std::printf("  sonavue-catalogue failed (status %d)\n", status);
        }
        int childRows = 0;
        const long peak = childPeakKiB(self, folder, childRows);
        results.push_back({tracks,
                           medianOf(referenceTimes),
                           medianOf(scanTimes),
                           medianOf(toolTimes),
                           medianOf(jsonTimes),
                           peak,
                           {}});
        SizeResult& r = results.back();
        r.walls.push_back({"bare loop, 1 thread", r.reference.wall});
        for (std::size_t k = 0; k < threadCounts.size(); ++k)
            r.walls.push_back({"bare loop, " + std::to_string(threadCounts[k]) + " threads",
                               median(threadedTimes[k])});
        for (std::size_t k = 0; k < readerCounts.size(); ++k)
            r.walls.push_back({readerCounts[k].label(), median(scanReaderTimes[k])});
        r.walls.push_back({"folder scan, as the scan chooses", r.scan.wall});
        r.walls.push_back({"  of which the walk, before any tag", median(walkTimes)});
        r.walls.push_back({"sonavue-catalogue end to end", r.tool.wall});
        std::printf(
            "  medians of %d runs (reference: opendir/readdir, openat/fstat/pread 128/close; "
            "processor time of all threads):\n",
            runs);
        printTiming("reference loop", r.reference, r.reference);
        printTiming("folder scan", r.scan, r.reference);
        printTiming("sonavue-catalogue end to end", r.tool, r.reference);
        printTiming("  its JSON output alone (in process)", r.json, r.reference);
        std::printf("  child scan peak RSS (VmHWM): %ld KiB (%d rows)\n", r.peakKiB, childRows);
        std::printf("  longest stretch without a yield to the window: %.1f ms\n",
                    longestStretchWithoutYield(folder) * 1e3);
    }

    // One folder holding many files: the reading loop yields inside it.
    const int flatTracks = 20000;
    const std::string flat = base + "/flat-" + std::to_string(flatTracks);
    if (!bench::ensureFlatLibrary(flat, flatTracks)) {
        std::fprintf(stderr, "cannot write the library in %s\n", flat.c_str());
        return 1;
    }
    bench::referenceScan(flat);
    std::printf("library %s: %d music files in one folder\n", flat.c_str(), flatTracks);
    std::printf("  longest stretch without a yield to the window: %.1f ms (limit 100 ms)\n",
                longestStretchWithoutYield(flat) * 1e3);

    const SizeResult& small = results[0];
    const SizeResult& large = results[1];
    const double perTrack =
        double(large.peakKiB - small.peakKiB) * 1024.0 / double(large.tracks - small.tracks);
    std::printf("\n%s cache, medians of %d runs each, all timed side by side in every run\n",
                cold ? "cold (dropped before every run)" : "warm", runs);
    for (const SizeResult& r : results) {
        std::printf("%d files:\n", r.tracks);
        for (const auto& [name, wall] : r.walls)
            std::printf("  %-32s %8.1f ms  %5.2fx the single-threaded loop\n", name.c_str(),
                        wall * 1e3, wall / r.reference.wall);
    }
    for (const SizeResult& r : results)
        std::printf("%d tracks: scan/reference %.2f wall, %.2f cpu (target <= 1.5, ceiling 2); "
                    "tool/reference %.2f wall, %.2f cpu (target <= 2)\n",
                    r.tracks, r.scan.wall / r.reference.wall, r.scan.cpu() / r.reference.cpu(),
                    r.tool.wall / r.reference.wall, r.tool.cpu() / r.reference.cpu());
    std::printf("memory per catalogued track: %.0f bytes (peak RSS growth 10,000 -> 100,000 "
                "tracks / 90,000; target <= 1024)\n",
                perTrack);
    return 0;
}
