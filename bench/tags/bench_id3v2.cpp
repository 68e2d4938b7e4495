// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Reading ID3v2 tags: TagLib's own file reading against ours (the tag bytes read from the
// open file, only they handed to TagLib, plus the ID3v1 read the scan does anyway).
//
//   sonavue-bench-id3v2 [--files N] [--runs N] [--folder DIR]
//
// Makes N files with an ID3v2.3 tag and N without (default 100,000 each, under DIR,
// default $TMPDIR/sonavue-id3v2-bench; written once, reused by later runs), reads them
// once to warm the page cache, then times both readers alternately, N runs each
// (default 5), and prints the medians and their ratio.
#include "catalogue/folderscan.h"
#include "id3v2library.h"
#include "tags/id3v1.h"
#include "tags/id3v2tags.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace sonavue;

namespace {

struct Options {
    int files = 100000;
    int runs = 5;
    std::string folder;
};

bool parseOptions(int argc, char** argv, Options& options) {
    const char* tmp = std::getenv("TMPDIR");
    options.folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/sonavue-id3v2-bench";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--files")
            options.files = std::atoi(argv[i + 1]);
        else if (name == "--runs")
            options.runs = std::atoi(argv[i + 1]);
        else if (name == "--folder")
            options.folder = argv[i + 1];
        else
            return false;
    }
    return argc % 2 == 1 && options.files > 0 && options.runs > 0;
}

// What a pass found: files whose title came from the ID3v2 tag (the ID3v1 title, which
// FileRef falls back on, is "Track n"), so that both readers can be seen to work.
using Pass = std::function<int(const std::vector<std::string>&)>;

bool fromID3v2(const std::string& title) {
    return title.rfind("Track number ", 0) == 0;
}

int fileRefPass(const std::vector<std::string>& paths) {
    int titled = 0;
    std::size_t sink = 0;
    for (const std::string& path : paths) {
        const TagLib::FileRef ref(path.c_str(), false); // no audio properties
        if (ref.isNull() || !ref.tag())
            continue;
        const TagLib::Tag& tag = *ref.tag();
        titled += fromID3v2(tag.title().to8Bit(true)) ? 1 : 0;
        sink += tag.artist().size() + tag.album().size() + tag.genre().size() +
                tag.comment().size() + tag.year();
    }
    return sink == std::size_t(-1) ? -1 : titled;
}

int ourPass(const std::vector<std::string>& paths) {
    int titled = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st {};
        if (fd < 0)
            continue;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            const ID3v2Fields fields = readID3v2At(fd, st.st_size);
            char v1[TagSize];
            const bool hasV1 = st.st_size >= TagSize &&
                               ::pread(fd, v1, TagSize, st.st_size - TagSize) == TagSize &&
                               std::memcmp(v1, "TAG", 3) == 0;
            titled += hasV1 && fields.title && fromID3v2(fields.title->toStdString()) ? 1 : 0;
        }
        ::close(fd);
    }
    return titled;
}

double secondsOf(const Pass& pass, const std::vector<std::string>& paths, int& found) {
    const auto start = std::chrono::steady_clock::now();
    found = pass(paths);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The player's own scan of folder with the ID3v2 setting on, as the catalogue tool runs it.
double scanSeconds(const std::string& folder, int readers, int& rows) {
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan(catalogue, groups);
    scan.setTagReading({DefaultTagCodePage, true});
    ReadAheadOptions options;
    options.threads = readers;
    scan.setReadAhead(options);
    ScanObserver quiet;
    const QString path = QString::fromStdString(folder);
    const auto start = std::chrono::steady_clock::now();
    scan.run(path, folderPrefixFor(path), FilePattern(), quiet);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rows = catalogue.rowCount();
    return seconds;
}

// The scan with the ID3v2 setting on beside the FileRef loop over the same files.
void compareScan(const std::string& folder, const std::vector<std::string>& paths, int runs) {
    int found = 0;
    std::vector<double> ref;
    for (int run = 0; run < runs; ++run)
        ref.push_back(secondsOf(fileRefPass, paths, found));
    const double r = median(ref);
    std::printf("The folder scan with id3v2=1 (%zu files, median of %d warm runs)\n", paths.size(),
                runs);
    std::printf("  TagLib::FileRef loop %8.3f s\n", r);
    for (const int readers : {0, 2, 4, ReadAheadOptions::Auto}) {
        std::vector<double> times;
        int rows = 0;
        for (int run = 0; run < runs; ++run)
            times.push_back(scanSeconds(folder, readers, rows));
        const double t = median(times);
        std::printf("  scan, %-14s %8.3f s  ratio to FileRef %6.3f  (%d rows)\n",
                    readers == ReadAheadOptions::Auto
                        ? "readers chosen"
                        : (std::to_string(readers) + " readers").c_str(),
                    t, t / r, rows);
    }
}

// Times TagLib's FileRef and our reader over paths, alternately, and prints the medians.
void compare(const char* title, const std::vector<std::string>& paths, int runs) {
    int foundRef = 0, foundOurs = 0;
    secondsOf(fileRefPass, paths, foundRef); // warm the page cache and both code paths
    secondsOf(ourPass, paths, foundOurs);
    std::vector<double> ref, ours;
    for (int run = 0; run < runs; ++run) {
        ref.push_back(secondsOf(fileRefPass, paths, foundRef));
        ours.push_back(secondsOf(ourPass, paths, foundOurs));
    }
    const double r = median(ref), o = median(ours);
    std::printf("%s (%zu files, median of %d warm runs)\n", title, paths.size(), runs);
    std::printf("  TagLib::FileRef      %8.3f s  %6.2f us/file  (%d titles from ID3v2)\n", r,
                r * 1e6 / double(paths.size()), foundRef);
    std::printf("  readID3v2At + ID3v1  %8.3f s  %6.2f us/file  (%d titles from ID3v2)\n", o,
                o * 1e6 / double(paths.size()), foundOurs);
    std::printf("  ratio ours / FileRef %8.3f\n", o / r);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--files N] [--runs N] [--folder DIR]\n", argv[0]);
        return 2;
    }
    ::mkdir(options.folder.c_str(), 0755);
    const auto tagged = bench::ensureID3v2Library(options.folder + "/id3v2", options.files, true);
    const auto untagged =
        bench::ensureID3v2Library(options.folder + "/plain", options.files, false);
    if (tagged.empty() || untagged.empty()) {
        std::fprintf(stderr, "cannot write the files under %s\n", options.folder.c_str());
        return 1;
    }
    compare("Files with an ID3v2.3 tag", tagged, options.runs);
    compare("Files without an ID3v2 tag (TagLib is never reached by ours)", untagged, options.runs);
    compareScan(options.folder + "/id3v2", tagged, options.runs);
    return 0;
}
