// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Benchmark: the kept library at 100,000 files. Beside the catalogue tool's warm scan of the
// same library (the reference, in the same run): the store's load (what a start waits for),
// its size per track, a reconcile of the unchanged library on its own thread, and the longest
// pause of the event loop while it runs and while a changed library replaces the shown one.
#include "../scan/benchlibrary.h"
#include "catalogue/backgroundscan.h"
#include "catalogue/browsingmodel.h"
#include "catalogue/librarystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

using namespace sonavue;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The longest time the event loop went without running a 1 ms timer while work ran.
class PauseWatch {
public:
    PauseWatch() {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { mark(); });
        m_tick.start();
        m_clock.start();
    }
    void mark() { m_longest = std::max(m_longest, m_clock.restart()); }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

std::shared_ptr<ScannedLibrary> scanBehind(BackgroundScan& scan, const BackgroundScan::Request& r,
                                           double& seconds, qint64& pauseMs) {
    std::shared_ptr<ScannedLibrary> result;
    QEventLoop loop;
    const auto connection =
        QObject::connect(&scan, &BackgroundScan::finished, [&](std::shared_ptr<ScannedLibrary> l) {
            result = std::move(l);
            loop.quit();
        });
    PauseWatch pauses;
    QElapsedTimer clock;
    clock.start();
    scan.start(r);
    loop.exec();
    seconds = double(clock.nsecsElapsed()) / 1e9;
    pauses.mark();
    pauseMs = pauses.longestMs();
    QObject::disconnect(connection);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString base = QStringLiteral("%1/sonavue-scan-bench/lib-100000")
                             .arg(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp")));
    QDir().mkpath(QFileInfo(base).path());
    if (!bench::ensureLibrary(base.toStdString(), 100000)) {
        std::fprintf(stderr, "cannot write the library in %s\n", qPrintable(base));
        return 1;
    }
    const int runs = 5;
    QTemporaryDir storeFolder;
    const LibraryStore store(storeFolder.path());
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel browsing(catalogue, groups);
    browsing.setFolderPrefix(folderPrefixFor(base));
    BackgroundScan::Request request{base, browsing.folderPrefix(), browsing.filePattern(), {}, {},
                                    {}};
    const LibraryKey key{
        base, browsing.folderPrefix(), browsing.filePattern().text(), DefaultTagCodePage, false, 0};
    BackgroundScan scan;

    std::vector<double> tool, load, reconcile, copies;
    std::vector<double> reconcilePause, replacePause;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess toolRun;
        toolRun.setStandardOutputFile(QProcess::nullDevice());
        toolRun.start(QStringLiteral(SONAVUE_CATALOGUE_TOOL), {base});
        toolRun.waitForFinished(-1);
        tool.push_back(double(clock.nsecsElapsed()) / 1e9);

        double seconds = 0;
        qint64 pause = 0;
        // As the keeper asks: compared on the scan's thread with a copy of the shown rows.
        clock.restart();
        request.shown = std::make_shared<const Catalogue>(catalogue.clone());
        copies.push_back(double(clock.nsecsElapsed()) / 1e6);
        auto scanned = scanBehind(scan, request, seconds, pause);
        if (run == 0) { // the shown library, and its store
            catalogue.swap(scanned->catalogue);
            for (int g = 0; g < GroupCount; ++g)
                groups[g].takeEntriesFrom(scanned->groups[g]);
            store.save(key, catalogue.clone());
            continue;
        }
        reconcile.push_back(seconds);
        reconcilePause.push_back(double(pause));
        if (scanned->changed || !sameLibrary(catalogue, groups, *scanned))
            std::printf("  MISMATCH: the unchanged library scanned differently\n");

        Catalogue kept;
        GroupLists keptGroups;
        clock.restart();
        store.load(key, kept, keptGroups);
        load.push_back(double(clock.nsecsElapsed()) / 1e9);

        // A replacement as the window takes it: every row shown.
        browsing.showAllTracks();
        browsing.selectTrack(50000);
        clock.restart();
        browsing.replaceLibrary([&] {
            catalogue.swap(scanned->catalogue);
            for (int g = 0; g < GroupCount; ++g)
                groups[g].takeEntriesFrom(scanned->groups[g]);
        });
        replacePause.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const qint64 storeBytes = QFileInfo(store.pathFor(key)).size();
    const double toolSeconds = median(tool);
    std::printf("kept library, %d rows, median of %d runs:\n", catalogue.rowCount(), runs - 1);
    std::printf("  catalogue tool, warm scan (reference): %.3f s\n", toolSeconds);
    std::printf("  store load (the start's wait):          %.3f s\n", median(load));
    std::printf("  store on disk: %lld bytes, %.1f bytes per track\n",
                static_cast<long long>(storeBytes), double(storeBytes) / catalogue.rowCount());
    std::printf("  reconcile, unchanged (own thread):      %.3f s = %.2fx the tool\n",
                median(reconcile), median(reconcile) / toolSeconds);
    std::printf("    copying the shown rows for it (window's thread): %.1f ms\n", median(copies));
    std::printf("  longest event-loop pause meanwhile:     %.0f ms\n", median(reconcilePause));
    std::printf("  replacing the shown library (all rows shown): %.1f ms\n", median(replacePause));
    return 0;
}
