// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The kept library over real files, a real store and real folder watches: kept after a scan,
// shown at the next start as that scan left it, then brought up to date, and changes made
// while it runs brought in, a burst of them at once.
#include "catalogue/backgroundscan.h"
#include "core/librarykeeper.h"
#include "support/musicfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// One run of the player's library: its catalogue, lists, scan and keeper.
struct Run {
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel browsing{catalogue, groups};
    FolderScan scan{catalogue, groups};
    TagReading reading;
    LibraryKeeper keeper;

    Run(const QString& music, const QString& store, bool slowWatch = false)
        : keeper(catalogue, groups, browsing, scan, reading, options(store, slowWatch)) {
        browsing.setFolderPrefix(folderPrefixFor(music));
    }
    static LibraryKeeper::Options options(const QString& store, bool slowWatch) {
        LibraryKeeper::Options o;
        o.storeFolder = store;
        o.upToDateAfterMs = 0;
        o.watching.quietMs = 200;
        // The watches are placed well after a look of two files would have ended.
        if (slowWatch)
            o.watching.sendsNoEvents = [](const QByteArray&) {
                QThread::msleep(300);
                return false;
            };
        return o;
    }
    // The start-up: the kept library, or else a scan that is then kept.
    bool start(const QString& music) {
        if (keeper.showKept(music))
            return true;
        keeper.scanStarting();
        ScanObserver quiet;
        scan.run(music, browsing.folderPrefix(), browsing.filePattern(), quiet);
        keeper.scanned(music);
        return false;
    }
    QStringList titles() {
        browsing.showAllTracks();
        return browsing.trackTitles();
    }
};

struct Library {
    QTemporaryDir music, store;
    Library() {
        add("A/a1.mp3", "One");
        add("B/b1.mp3", "Two");
    }
    void add(const QString& name, const QByteArray& title) {
        QVERIFY(writeMusicFile(music.filePath(name), 200, tagOf(title)));
    }
    // Both files modified an hour ago (a file modified a moment ago keeps no stamp).
    void age() {
        for (const char* name : {"A/a1.mp3", "B/b1.mp3"})
            QVERIFY(setModifiedSecondsAgo(music.filePath(name), 3600));
    }
    // A run started after the one before it has ended (and written its store).
    std::unique_ptr<Run> start(bool expectKept, bool slowWatch = false) {
        auto run = std::make_unique<Run>(music.path(), store.path(), slowWatch);
        if (run->start(music.path()) != expectKept)
            return nullptr;
        return run;
    }
};

} // namespace

class TestLibraryKeeper : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::shared_ptr<ScannedLibrary>>(); }

    // The first start scans; the next shows what that scan kept, as a scan fills it, and then
    // brings in what changed meanwhile.
    void keptBetweenStarts() {
        Library lib;
        QVERIFY(lib.start(false));
        auto second = lib.start(true, true);
        QVERIFY(second);
        QCOMPARE(second->titles(), (QStringList{"One", "Two"}));
        QCOMPARE(second->groups[GroupFolder].entries(), (QStringList{"A/", "B/"}));
        QSignalSpy upToDate(&second->keeper, &LibraryKeeper::broughtUpToDate);
        QVERIFY(upToDate.wait(20000));
        QCOMPARE(upToDate.at(0).at(0).toBool(), false); // nothing had changed
        // The look came after every folder was watched: a file rewritten in place (its folder
        // unchanged) before its watch was placed was read by it.
        QCOMPARE(second->keeper.watcher().watchedFolders(), 3);
        second.reset();
        lib.add("C/c1.mp3", "Three");
        QVERIFY(QFile::remove(lib.music.filePath("A/a1.mp3")));
        auto third = lib.start(true);
        QVERIFY(third);
        QCOMPARE(third->titles(), (QStringList{"One", "Two"})); // as kept, at first
        QSignalSpy changed(&third->keeper, &LibraryKeeper::broughtUpToDate);
        QVERIFY(changed.wait(20000));
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        QCOMPARE(third->titles(), (QStringList{"Two", "Three"}));
        third.reset();
        auto fourth = lib.start(true); // the change was kept too
        QVERIFY(fourth);
        QCOMPARE(fourth->titles(), (QStringList{"Two", "Three"}));
    }

    // Across starts, the look reads only the files that changed: one whose stamp is the one
    // kept keeps its kept row (marked in the store here), one rewritten in place is read.
    void theLookReadsOnlyWhatChanged() {
        Library lib;
        lib.age();
        auto first = lib.start(false);
        QVERIFY(first);
        const LibraryKey key{lib.music.path(), first->browsing.folderPrefix(),
                             first->browsing.filePattern().text()};
        first.reset(); // its store is written
        const LibraryStore store(lib.store.path());
        Catalogue kept;
        GroupLists keptGroups;
        QVERIFY(store.load(key, kept, keptGroups));
        for (int r = 0; r < kept.rowCount(); ++r)
            kept.setCell(ColTitle, r, QStringLiteral("Kept"));
        QVERIFY(store.save(key, kept));
        lib.add("B/b1.mp3", "Two again"); // the same size: only its times and bytes differ
        auto next = lib.start(true);
        QVERIFY(next);
        QSignalSpy upToDate(&next->keeper, &LibraryKeeper::broughtUpToDate);
        QVERIFY(upToDate.wait(20000));
        QCOMPARE(next->titles(), (QStringList{"Kept", "Two again"}));
    }

    // While it runs, files copied into a new folder come in at once, as one change.
    void changesWhileRunning() {
        Library lib;
        auto run = lib.start(false);
        QVERIFY(run);
        // The music folder, A and B watched (the watches are placed on a thread of their own).
        QTRY_COMPARE_WITH_TIMEOUT(run->keeper.watcher().watchedFolders(), 3, 20000);
        QSignalSpy replaced(&run->keeper, &LibraryKeeper::broughtUpToDate);
        for (int i = 0; i < 20; ++i)
            lib.add(QStringLiteral("New/%1.mp3").arg(i, 2, 10, QLatin1Char('0')),
                    QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8());
        QTRY_COMPARE_WITH_TIMEOUT(run->catalogue.rowCount(), 22, 20000);
        QCOMPARE(replaced.size(), 1);
        QVERIFY(run->groups[GroupFolder].entries().contains(QStringLiteral("New/")));
    }

    // Stopped (the window unloads): nothing more is scanned or replaced.
    void nothingAfterStopping() {
        Library lib;
        auto run = lib.start(false);
        QVERIFY(run);
        // The music folder, A and B watched (the watches are placed on a thread of their own).
        QTRY_COMPARE_WITH_TIMEOUT(run->keeper.watcher().watchedFolders(), 3, 20000);
        run->keeper.stop();
        QSignalSpy replaced(&run->keeper, &LibraryKeeper::broughtUpToDate);
        lib.add("C/c1.mp3", "Three");
        QVERIFY(!replaced.wait(2000)); // a change would be told within this
        QCOMPARE(run->catalogue.rowCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestLibraryKeeper)
#include "test_core_librarykeeper.moc"
