// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Warming the music folder while the program starts: it must go through a tangled tree
// once per real folder, open nothing but regular files, stop at once when told, and leave
// the scan that follows exactly as it would be without it.
#include "catalogue/cachewarmer.h"
#include "scanoutcome.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

const WalkAhead::Limits Limits{1024, 32768};
const QString Pattern = filePatternFor(true, true, true);

// Twelve real folders, linked to each other every way, plus FIFOs named like music.
void writeTangledTree(const QByteArray& root) {
    for (int i = 0; i < 4; ++i) {
        const QByteArray folder = root + "/D" + QByteArray::number(i);
        QVERIFY(writeMusicFile(folder + "/A/a.mp3", 150, tagOf("a")));
        QVERIFY(writeMusicFile(folder + "/B/b.mp3", 150, tagOf("b")));
        QCOMPARE(::mkfifo((folder + "/A/pipe.mp3").constData(), 0644), 0);
        for (int j = 0; j < 4; ++j)
            QCOMPARE(::symlink(("../D" + QByteArray::number(j)).constData(),
                               (folder + "/to" + QByteArray::number(j)).constData()),
                     0);
        QCOMPARE(::symlink("/proc", (folder + "/proc").constData()), 0);
    }
}

} // namespace

class TestCacheWarmer : public QObject {
    Q_OBJECT

private slots:
    void tangledTreeIsWarmedOncePerFolder() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        writeTangledTree(root);
        const int before = threadsOfProcess();
        CacheWarmer warmer(root, Pattern, Limits, 6, CacheWarmer::Start::AtOnce);
        QTRY_COMPARE(warmer.runningWorkers(), 0); // done, the FIFOs not waited on
        // The music folder, four D folders and their A and B: /proc is never entered.
        QCOMPARE(warmer.foldersListed(), 1 + 4 * 3);
        warmer.stop();
        QTRY_COMPARE(threadsOfProcess(), before);
    }
    // Stopped while its threads are busy (two thousand folders take them a while): stop()
    // returns only once every thread has ended.
    void stopEndsEveryThread() {
        QTemporaryDir dir;
        writeWideTree(pathToNative(dir.path()), 2000);
        const int before = threadsOfProcess();
        CacheWarmer warmer(pathToNative(dir.path()), Pattern, Limits, 8,
                           CacheWarmer::Start::AtOnce);
        warmer.stop();
        QCOMPARE(warmer.runningWorkers(), 0);
        const int listed = warmer.foldersListed();
        QTRY_COMPARE(threadsOfProcess(), before);
        QCOMPARE(warmer.foldersListed(), listed); // nothing more after stop(), by any thread
    }
    // From memory the first thread finds nothing worth warming and all end by themselves; a
    // machine loaded enough to look like a cold disk warms the whole tree, and ends too. A
    // tree too small to judge the disk by is warmed whole, and no thread waits on after it.
    void warmDiskEndsTheWarmingByItself() {
        QTemporaryDir big, small;
        writeWideTree(pathToNative(big.path()), 200);
        writeWideTree(pathToNative(small.path()), 3);
        CacheWarmer warmer(pathToNative(big.path()), Pattern, Limits, 8);
        QTRY_COMPARE(warmer.runningWorkers(), 0);
        QVERIFY(warmer.foldersListed() >= 16);
        QVERIFY(warmer.foldersListed() <= 211);
        CacheWarmer smallWarmer(pathToNative(small.path()), Pattern, Limits, 8);
        QTRY_COMPARE(smallWarmer.runningWorkers(), 0);
        QCOMPARE(smallWarmer.foldersListed(), 1 + 3 + 3);
    }
    // The start-up warms the folder, then scans it: the scan ends the warming first and comes
    // out as a scan alone does.
    void scanAfterWarmingIsTheSame() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        writeTangledTree(root);
        writeHostileLibrary(root + "/Hostile");
        const Outcome alone = scanWith(dir.path(), readers(2, 4096, 0));
        QCOMPARE(alone.result, FolderScan::Result::Finished);
        const int before = threadsOfProcess();
        for (int run = 0; run < 5; ++run) {
            ScanRig rig(readers(2, 4096, 0));
            FolderScan& scan = rig.scan;
            scan.warmUp(dir.path(), Pattern);
            RecordingObserver observer;
            int workersAtFirstYield = -1;
            observer.onYield = [&](int yield) {
                if (yield == 1)
                    workersAtFirstYield = scan.runningReaders();
            };
            QCOMPARE(scan.run(dir.path(), dir.path() + "/", FilePattern(), observer),
                     FolderScan::Result::Finished);
            QCOMPARE(workersAtFirstYield, 0); // the warming ended before the walk began
            QStringList rows;
            for (int r = 0; r < rig.catalogue.rowCount(); ++r) {
                QStringList row;
                for (int c = 0; c < Catalogue::ColumnCount; ++c)
                    row << rig.catalogue.cell(c, r);
                rows << row.join(QChar(u'|'));
            }
            QCOMPARE(rows, alone.rows);
            QCOMPARE(observer.events, alone.events);
        }
        QTRY_COMPARE(threadsOfProcess(), before);
        ::chmod((root + "/Hostile/Locked").constData(), 0755);
    }
};

QTEST_GUILESS_MAIN(TestCacheWarmer)
#include "test_catalogue_cachewarmer.moc"
