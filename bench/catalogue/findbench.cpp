// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Find as you type over a large catalogue built in memory.
//
//   sonavue-bench-find [--tracks N] [--rounds N]
//
// Fills a catalogue of N tracks (default 100,000; findlibrary.h), shows every row as the ALL
// tab does, opens the find (which makes the index) and types queries key by key, Latin and
// Japanese, then erases one key by key back to the list from before. Each key is timed from
// the change of the text to the track list model refilled with its first track selected;
// the median and the worst over all keys of all rounds (default 3) are printed (target
// < 30 ms), and the index's memory per track (target < 200 bytes). Beside them, as a
// reference, the same queries without the index: QString::contains ignoring case over the
// four texts of every row (no width, accent or kana folding).
#include "catalogue/browsingmodel.h"
#include "catalogue/trackfinder.h"
#include "findlibrary.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace sonavue;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    std::vector<double> keys;
    void print(const char* what) {
        std::sort(keys.begin(), keys.end());
        std::printf("  %s: %zu keys, median %.2f ms, worst %.2f ms\n", what, keys.size(),
                    keys[keys.size() / 2], keys.back());
    }
};

const QStringList Queries{QStringLiteral("night"),    QStringLiteral("the rain"),
                          QStringLiteral("さくら"),   QStringLiteral("ドライブ"),
                          QStringLiteral("ＬＯＶＥ"), QStringLiteral("zzq")};

// The rows without the index: case ignored, nothing else folded.
int referenceCount(const Catalogue& catalogue, const QString& text) {
    int found = 0;
    for (int row = 0; row < catalogue.rowCount(); ++row) {
        for (const int column : {ColTitle, ColArtist, ColAlbum, ColPath}) {
            if (catalogue.cell(column, row).contains(text, Qt::CaseInsensitive)) {
                ++found;
                break;
            }
        }
    }
    return found;
}

// Types each query key by key (then erases the first one), timing every key.
void typeQueries(BrowsingModel& browsing, TrackFinder& finder, Figures& figures) {
    int refills = 0;
    const auto connection =
        QObject::connect(&browsing, &BrowsingModel::tracksRefilled, [&refills] { ++refills; });
    const auto key = [&](const QString& text) {
        const int before = refills;
        const Clock::time_point start = Clock::now();
        finder.setText(text);
        figures.keys.push_back(msSince(start));
        if (refills != before + 1)
            std::printf("  MISSING REFILL at \"%s\"\n", qPrintable(text));
    };
    for (const QString& query : Queries) {
        for (qsizetype length = 1; length <= query.size(); ++length)
            key(query.left(length));
        std::printf("  \"%s\": %d tracks\n", qPrintable(query), browsing.trackCount());
    }
    for (qsizetype length = Queries.first().size(); length-- > 0;)
        key(Queries.first().left(length));
    QObject::disconnect(connection);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int tracks = 100000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--tracks"))
            tracks = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    Catalogue catalogue;
    GroupLists groups;
    Clock::time_point start = Clock::now();
    bench::fillFindLibrary(catalogue, tracks);
    std::printf("catalogue of %d tracks in memory (made in %.0f ms)\n", catalogue.rowCount(),
                msSince(start));
    BrowsingModel browsing(catalogue, groups);
    browsing.showAllTracks();
    TrackFinder finder(browsing);

    Figures find, reference;
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d\n", round + 1);
        finder.catalogueReplaced(); // as after a scan: the index is made again
        start = Clock::now();
        finder.open();
        std::printf("  index made at the find's opening in %.1f ms\n", msSince(start));
        typeQueries(browsing, finder, find);
        finder.close();
        if (browsing.trackCount() != catalogue.rowCount())
            std::printf("  NOT BACK to the list from before: %d tracks\n", browsing.trackCount());
    }
    for (const QString& query : Queries) {
        for (qsizetype length = 1; length <= query.size(); ++length) {
            start = Clock::now();
            referenceCount(catalogue, query.left(length));
            reference.keys.push_back(msSince(start));
        }
    }
    const std::size_t bytes = finder.index().memoryBytes();
    std::printf("\n%d tracks:\n", catalogue.rowCount());
    find.print("find, key to refilled track list (target < 30 ms)");
    reference.print("reference, contains() ignoring case over every row's texts, no index");
    std::printf("  index memory: %zu bytes, %.1f bytes per track (target < 200)\n", bytes,
                double(bytes) / catalogue.rowCount());
    return 0;
}
