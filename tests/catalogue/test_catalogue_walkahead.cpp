// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Folders listed ahead of the walk on worker threads: the walk must come out the same with
// any number of listers, however tangled the tree, and a scan stopped or superseded during
// the walk must leave no lister running.
#include "catalogue/diskpace.h"
#include "catalogue/walkahead.h"
#include "scanoutcome.h"

#include <QTemporaryDir>
#include <QTest>
#include <chrono>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// Folders linked to each other every way, so that listers racing ahead meet most folders
// first by another path than the walk does.
void writeLinkWeb(const QByteArray& root, int folders) {
    for (int i = 0; i < folders; ++i) {
        const QByteArray folder = root + "/D" + QByteArray::number(i);
        QVERIFY(writeMusicFile(folder + "/song.mp3", 150,
                               tagOf("Song " + QByteArray::number(i), "Artist")));
        QVERIFY(writeMusicFile(folder + "/Inner/deep.mp3", 150));
    }
    for (int i = 0; i < folders; ++i)
        for (int j = 0; j < folders; ++j)
            QCOMPARE(::symlink(("../D" + QByteArray::number(j)).constData(),
                               (root + "/D" + QByteArray::number(i) + "/to" + QByteArray::number(j))
                                   .constData()),
                     0);
}

QStringList listingNames(const NameList& names) {
    QStringList out;
    for (int i = 0; i < names.count(); ++i)
        out << names.name(i);
    return out;
}

} // namespace

class TestWalkAhead : public QObject {
    Q_OBJECT

private slots:
    void theDiskIsJudgedByMostListings_data() {
        QTest::addColumn<QList<int>>("micros"); // each listing's time, in order
        QTest::addColumn<int>("entries");       // each listed folder's entries
        QTest::addColumn<bool>("meanWaited");
        QTest::addColumn<bool>("mostWaited");
        QList<int> fromMemory(16, 18);
        QList<int> preempted = fromMemory;
        preempted[3] = 4000;              // held up once while another program ran
        QList<int> halfCold = fromMemory; // 9 of 16 cold
        for (int k = 0; k < 9; ++k)
            halfCold[k] = 900;
        QTest::newRow("from memory") << fromMemory << 12 << false << false;
        QTest::newRow("from memory, held up once") << preempted << 12 << true << false;
        QTest::newRow("cold disk") << QList<int>(16, 900) << 12 << true << true;
        QTest::newRow("most folders cold") << halfCold << 12 << true << true;
        QTest::newRow("big folders from memory") << QList<int>(16, 400) << 1000 << false << false;
        // only the last 16 listings are judged
        QTest::newRow("cold, then from memory")
            << QList<int>(16, 900) + fromMemory << 12 << true << false;
    }
    void theDiskIsJudgedByMostListings() {
        QFETCH(QList<int>, micros);
        QFETCH(int, entries);
        QFETCH(bool, meanWaited);
        QFETCH(bool, mostWaited);
        DiskPace pace;
        for (const int us : micros) {
            pace.addListing(std::chrono::microseconds(us));
            pace.addEntries(entries);
        }
        QCOMPARE(pace.waitedForTheDisk(), meanWaited);
        QCOMPARE(pace.mostRecentListingsWaited(), mostWaited);
    }
    void linkWebWalksTheSameWithAnyListers() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        writeLinkWeb(root, 6);
        writeHostileLibrary(root + "/Hostile");
        const Outcome alone = scanWith(dir.path(), readers(0, 4096, 0));
        QCOMPARE(alone.result, FolderScan::Result::Finished);
        // Each real folder once: 6 songs, 6 inner songs, the hostile library's 45.
        QCOMPARE(alone.rows.count(), 6 + 6 + 45);
        // The races differ from run to run: many runs give them room to show.
        for (int run = 0; run < 15; ++run) {
            for (const int listers : {1, 4}) {
                compareScans(scanWith(dir.path(), readers(run % 3, 4096, listers)), alone);
                if (QTest::currentTestFailed())
                    return;
            }
        }
        ::chmod((root + "/Hostile/Locked").constData(), 0755);
    }
    // Taken in the walk's order, every listing is the folder's own, whether a worker made it
    // or take() did; a folder missing or unreadable says so.
    void takeGivesWhatTheFolderHolds() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        writeWideTree(root, 300);
        QCOMPARE(::mkfifo((root + "/A1/B1/pipe.mp3").constData(), 0644), 0);
        const FilePattern pattern;
        WalkAhead ahead(pattern, WalkAhead::Limits{1024, 32768});
        ahead.startWorkers(3);
        const auto always = [](const NativeFolder::Stamp&) { return true; };
        FolderListing top = ahead.take(root, 0, always);
        QCOMPARE(top.outcome, FolderListing::Outcome::Listed);
        QCOMPARE(top.subfolders.count(), 10);
        for (int a = top.subfolders.count() - 1; a >= 0; --a) {
            const QByteArray artist = root + "/" + top.subfolders.native(a);
            const FolderListing albums = ahead.take(artist, 1, always);
            QCOMPARE(albums.outcome, FolderListing::Outcome::Listed);
            QCOMPARE(albums.subfolders.count(), 30);
            for (int b = albums.subfolders.count() - 1; b >= 0; --b) {
                const FolderListing album =
                    ahead.take(artist + "/" + albums.subfolders.native(b), 2, always);
                QCOMPARE(album.outcome, FolderListing::Outcome::Listed);
                QCOMPARE(listingNames(album.files), QStringList({"t.mp3"})); // no FIFO
                QVERIFY(album.subfolders.isEmpty());
            }
        }
        QCOMPARE(ahead.take(root + "/missing", 1, always).outcome,
                 FolderListing::Outcome::Unreadable);
        ahead.stop();
        QCOMPARE(ahead.runningWorkers(), 0);
    }
    // The window's unload during the walk: the listers end before stop() returns, and the
    // scan gives way without writing a row.
    void stopDuringTheWalkEndsTheListers() {
        QTemporaryDir dir;
        writeWideTree(pathToNative(dir.path()), 300);
        const int before = threadsOfProcess();
        ScanRig rig(readers(2, 4096, 4));
        FolderScan& scan = rig.scan;
        RecordingObserver observer;
        int listersBefore = -1, listersAfter = -1;
        observer.onYield = [&](int yield) {
            if (yield != 40) // well inside the walk: 311 folders
                return;
            listersBefore = scan.runningReaders();
            scan.stop();
            listersAfter = scan.runningReaders();
            QTRY_COMPARE(threadsOfProcess(), before);
        };
        QCOMPARE(scan.run(dir.path(), dir.path() + "/", FilePattern(), observer),
                 FolderScan::Result::Superseded);
        QCOMPARE(listersBefore, 4);
        QCOMPARE(listersAfter, 0);
        QCOMPARE(rig.catalogue.rowCount(), 0);
        QCOMPARE(observer.yields, 40);
    }
};

QTEST_GUILESS_MAIN(TestWalkAhead)
#include "test_catalogue_walkahead.moc"
