// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The music folder watched with real inotify on real files: each kind of change is told, a
// burst once, folders made or moved in are watched in turn and folders moved out are not,
// and where changes cannot be told the watcher says why and looks periodically.
#include "catalogue/folderwatcher.h"
#include "catalogue/folderwatchplacer.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

enum class Change {
    FileAdded,
    FileRemoved,
    FileRenamed,
    FileRewritten,
    FileTouched,
    FolderAdded,
    HiddenAndVisibleFolderAdded,
    FolderMovedIn,
    FolderMovedOut,
    FolderRenamed,
};

bool writeFile(const QString& path, const QByteArray& bytes = "ID3 abcd") {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// root: Album/a.mp3, Album/Disc/, a hidden folder and a link to a folder (neither watched);
// beside it: Moving/Inner/.
struct Library {
    QTemporaryDir dir;
    QString root = dir.path() + "/Music";
    QString outside = dir.path() + "/Outside";
    Library() {
        QDir().mkpath(root + "/Album/Disc");
        QDir().mkpath(root + "/.cache/Inside");
        QDir().mkpath(outside + "/Moving/Inner");
        writeFile(root + "/Album/a.mp3");
        QFile::link(outside, root + "/Link");
    }
};

void make(Change change, const Library& lib) {
    const QString album = lib.root + "/Album";
    switch (change) {
    case Change::FileAdded:
        QVERIFY(writeFile(album + "/new.mp3"));
        break;
    case Change::FileRemoved:
        QVERIFY(QFile::remove(album + "/a.mp3"));
        break;
    case Change::FileRenamed:
        QVERIFY(QFile::rename(album + "/a.mp3", album + "/b.mp3"));
        break;
    case Change::FileRewritten: { // the same size, no truncation: only the write tells
        const int fd = ::open(QFile::encodeName(album + "/a.mp3").constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::pwrite(fd, "ID3 dcba", 8, 0), 8);
        QCOMPARE(::close(fd), 0);
        break;
    }
    case Change::FileTouched:
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(album + "/a.mp3").constData(), nullptr, 0),
                 0);
        break;
    case Change::FolderAdded:
        QVERIFY(QDir().mkdir(lib.root + "/New"));
        QVERIFY(writeFile(lib.root + "/New/one.mp3") && writeFile(lib.root + "/New/two.mp3"));
        break;
    case Change::HiddenAndVisibleFolderAdded:
        QVERIFY(QDir().mkdir(lib.root + "/.trash") && QDir().mkdir(lib.root + "/New"));
        break;
    case Change::FolderMovedIn:
        QVERIFY(QDir().rename(lib.outside + "/Moving", lib.root + "/Moving"));
        break;
    case Change::FolderMovedOut:
        QVERIFY(QDir().rename(album, lib.outside + "/Album"));
        break;
    case Change::FolderRenamed:
        QVERIFY(QDir().rename(album, lib.root + "/Renamed"));
        break;
    }
}

FolderWatcher::Options fast() {
    FolderWatcher::Options options;
    options.quietMs = 50;
    options.longestMs = 1000;
    return options;
}

} // namespace

class TestFolderWatcher : public QObject {
    Q_OBJECT

private slots:
    void changeIsTold_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("watchedAfter");
        QTest::addColumn<QString>("thenMake"); // a folder made in a folder watched since
        dataRow("file added", Change::FileAdded, 3, QString());
        dataRow("file removed", Change::FileRemoved, 3, QString());
        dataRow("file renamed", Change::FileRenamed, 3, QString());
        dataRow("file rewritten", Change::FileRewritten, 3, QString());
        dataRow("file touched", Change::FileTouched, 3, QString());
        dataRow("folder added", Change::FolderAdded, 4, QString("New/Deeper"));
        dataRow("hidden folder not watched", Change::HiddenAndVisibleFolderAdded, 4, QString());
        dataRow("folder moved in", Change::FolderMovedIn, 5, QString("Moving/Inner/Deeper"));
        dataRow("folder moved out", Change::FolderMovedOut, 1, QString());
        dataRow("folder renamed", Change::FolderRenamed, 3, QString("Renamed/Disc2"));
    }
    void changeIsTold() {
        QFETCH(Change, change);
        QFETCH(int, watchedAfter);
        QFETCH(QString, thenMake);
        const Library lib;
        FolderWatcher watcher(fast());
        QSignalSpy placed(&watcher, &FolderWatcher::watchesPlaced);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        watcher.watch(lib.root);
        QVERIFY(placed.wait());
        QCOMPARE(watcher.watchedFolders(), 3);

        make(change, lib);
        QTRY_VERIFY(changed.count() >= 1);
        QTRY_COMPARE(watcher.watchedFolders(), watchedAfter);
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(watcher.watchedFolders(), watchedAfter);
        if (!thenMake.isEmpty()) { // seen only through the new watch, placed where it is now
            const int before = changed.count();
            QVERIFY(QDir().mkdir(lib.root + '/' + thenMake));
            QTRY_COMPARE(watcher.watchedFolders(), watchedAfter + 1);
            QTRY_VERIFY(changed.count() > before);
        }
        QVERIFY(!watcher.periodic());
    }

    // Changed after the library shown was read but before the watches were placed: the
    // folders' times tell it (the library's folders were last changed an hour before).
    void changeBeforeTheWatchIsTold_data() {
        QTest::addColumn<std::optional<Change>>("change");
        dataRow("nothing changed", std::optional<Change>());
        dataRow("file added", std::optional(Change::FileAdded));
        dataRow("file renamed", std::optional(Change::FileRenamed));
        dataRow("folder added", std::optional(Change::FolderAdded));
        dataRow("folder moved in", std::optional(Change::FolderMovedIn));
    }
    void changeBeforeTheWatchIsTold() {
        QFETCH(std::optional<Change>, change);
        const Library lib;
        const auto anHourAgo = FolderWatcher::Clock::now() - std::chrono::hours(1);
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {FolderWatcher::Clock::to_time_t(anHourAgo), 0}};
        for (const char* folder : {"", "/Album", "/Album/Disc"})
            QCOMPARE(
                ::utimensat(AT_FDCWD, QFile::encodeName(lib.root + folder).constData(), times, 0),
                0);
        const auto read = FolderWatcher::Clock::now() - std::chrono::minutes(1);
        if (change)
            make(*change, lib);
        FolderWatcher::Options options = fast();
        options.quietMs = 0; // told at the first turn of the event loop after the placing
        FolderWatcher watcher(options);
        QSignalSpy placed(&watcher, &FolderWatcher::watchesPlaced);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        watcher.watch(lib.root, read);
        QVERIFY(placed.wait());
        QCoreApplication::processEvents();
        QCOMPARE(changed.count(), change ? 1 : 0);
    }

    // Twenty files copied one by one, the watcher reading each as it comes: one signal.
    void burstIsToldOnce() {
        const Library lib;
        FolderWatcher::Options options;
        options.quietMs = 1000; // generous: a loaded machine may stall between two copies
        options.longestMs = 60000;
        FolderWatcher watcher(options);
        QSignalSpy placed(&watcher, &FolderWatcher::watchesPlaced);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        watcher.watch(lib.root);
        QVERIFY(placed.wait());
        for (int i = 0; i < 20; ++i) {
            QVERIFY(writeFile(lib.root + QStringLiteral("/Album/%1.mp3").arg(i)));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(changed.count(), 1);
        // The next change is a burst of its own, the first one said no more.
        QVERIFY(writeFile(lib.root + "/Album/last.mp3"));
        QTRY_COMPARE(changed.count(), 2);
    }

    // More events than the system queues, while the watcher cannot read them.
    void overflowTellsOnceAndTurnsPeriodic() {
        const Library lib;
        QFile limit("/proc/sys/fs/inotify/max_queued_events");
        QVERIFY(limit.open(QIODevice::ReadOnly));
        const int queued = limit.readAll().trimmed().toInt();
        FolderWatcher watcher(fast());
        QSignalSpy placed(&watcher, &FolderWatcher::watchesPlaced);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        QSignalSpy periodic(&watcher, &FolderWatcher::becamePeriodic);
        watcher.watch(lib.root);
        QVERIFY(placed.wait());
        const QByteArray album = QFile::encodeName(lib.root + "/Album/");
        for (int i = 0; i <= queued; ++i) { // each makes two events: made, closed
            const int fd =
                ::open((album + QByteArray::number(i)).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QTRY_COMPARE(periodic.count(), 1);
        QVERIFY(periodic.at(0).at(0).toString().contains("max_queued_events"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(watcher.periodic());
        QCOMPARE(watcher.watchedFolders(), 0);
    }

    void watchLimitTurnsPeriodic() {
        const Library lib; // five folders: the top, Album, Disc, and two more
        QVERIFY(QDir().mkpath(lib.root + "/Other/More"));
        FolderWatcher::Options options = fast();
        options.watchLimit = 2;
        FolderWatcher watcher(options);
        QSignalSpy periodic(&watcher, &FolderWatcher::becamePeriodic);
        watcher.watch(lib.root);
        QVERIFY(periodic.wait());
        QVERIFY(periodic.at(0).at(0).toString().contains("fs.inotify.max_user_watches"));
        QVERIFY(watcher.periodic());
    }

    // No file is touched: every changed() comes from the periodic look.
    void fileSystemWithoutEventsIsLookedAtPeriodically() {
        const Library lib;
        QByteArray asked;
        FolderWatcher::Options options = fast();
        options.checkMs = 20;
        options.sendsNoEvents = [&asked](const QByteArray& folder) {
            asked = folder;
            return true;
        };
        FolderWatcher watcher(options);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        QSignalSpy periodic(&watcher, &FolderWatcher::becamePeriodic);
        watcher.watch(lib.root);
        QVERIFY(periodic.wait());
        QCOMPARE(asked, QFile::encodeName(lib.root));
        QTRY_VERIFY(changed.count() >= 2);
        watcher.stop();
        QVERIFY(!watcher.watching() && !watcher.periodic());
        // The judge by type: NFS, CIFS and FUSE send none, ext4 and tmpfs do.
        for (const unsigned long type : {0x6969UL, 0xFF534D42UL, 0x65735546UL})
            QVERIFY(fileSystemSendsNoEvents(type));
        QVERIFY(!fileSystemSendsNoEvents(0xEF53) && !fileSystemSendsNoEvents(0x01021994));
    }

    void watchedFolderMovedAwayIsToldAndLookedAt() {
        const Library lib;
        FolderWatcher watcher(fast());
        QSignalSpy placed(&watcher, &FolderWatcher::watchesPlaced);
        QSignalSpy changed(&watcher, &FolderWatcher::changed);
        QSignalSpy periodic(&watcher, &FolderWatcher::becamePeriodic);
        watcher.watch(lib.root);
        QVERIFY(placed.wait());
        QVERIFY(QDir().rename(lib.root, lib.root + "2"));
        QTRY_COMPARE(periodic.count(), 1);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFolderWatcher)
#include "test_catalogue_folderwatcher.moc"
