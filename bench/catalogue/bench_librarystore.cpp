// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Benchmark: the kept library of 100,000 tracks with typical tags (albums of ten tracks, one
// in six Japanese, a year and a genre per album, a comment on a quarter of the tracks). Prints the
// time to clone the catalogue, to save it into a new store and over an old one, to load it with its
// group lists (what the window waits for at start-up), and its bytes per track on disk. Usage:
// sonavue-bench-librarystore [TRACKS] [FOLDER]  (FOLDER: where the store is written, by default a
// temporary folder)
#include "catalogue/librarystore.h"
#include "findlibrary.h"
#include "tags/genre.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using namespace sonavue;

namespace {

// A year and a genre per album, as tags have them, and a comment on some tracks.
void addAlbumTags(Catalogue& catalogue) {
    std::mt19937 random(20260102);
    QString genre, year;
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        if (r % 10 == 0) {
            genre = genreName(static_cast<unsigned char>(random() % 148));
            year = QString::number(1960 + random() % 66);
        }
        catalogue.setCell(ColGenre, r, genre);
        catalogue.setCell(ColYear, r, year);
        if (random() % 4 == 0)
            catalogue.setCell(ColComment, r,
                              QStringLiteral("Ripped from CD, track %1").arg(r % 10 + 1));
    }
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int tracks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    Catalogue catalogue;
    bench::fillFindLibrary(catalogue, tracks);
    addAlbumTags(catalogue);

    const LibraryStore store(folder);
    const LibraryKey key{QStringLiteral("/music"), QStringLiteral("/music/"),
                         QStringLiteral("*.MP3;*.mid;*.wav")};
    QElapsedTimer timer;
    timer.start();
    const Catalogue clone = catalogue.clone();
    const double cloneMs = double(timer.nsecsElapsed()) / 1e6;

    std::vector<double> saves, loads;
    for (int i = 0; i < 3; ++i) {
        timer.restart();
        if (!store.save(key, clone))
            return 1;
        saves.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    int rows = 0, artists = 0;
    for (int i = 0; i < 5; ++i) {
        Catalogue loaded;
        GroupLists groups;
        timer.restart();
        if (!store.load(key, loaded, groups))
            return 1;
        loads.push_back(double(timer.nsecsElapsed()) / 1e6);
        rows = loaded.rowCount();
        artists = groups[GroupArtist].count();
    }
    const qint64 bytes = QFileInfo(store.pathFor(key)).size();
    std::printf("kept library of %d tracks (%d loaded, %d artists) in %s\n", tracks, rows, artists,
                qPrintable(folder));
    std::printf("clone:                 %8.1f ms\n", cloneMs);
    std::printf("save into a new store: %8.1f ms\n", saves[0]);
    std::printf("save over the old one: %8.1f ms (median of %zu)\n",
                median({saves.begin() + 1, saves.end()}), saves.size() - 1);
    std::printf("load with group lists: %8.1f ms (median of %zu, best %.1f)\n", median(loads),
                loads.size(), *std::min_element(loads.begin(), loads.end()));
    std::printf("on disk:               %8lld bytes, %.1f bytes per track\n",
                static_cast<long long>(bytes), double(bytes) / tracks);
    return 0;
}
