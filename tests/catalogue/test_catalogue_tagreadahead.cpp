// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The tag read-ahead: worker threads read the trailing tag bytes ahead of the rows. The
// scan's results must not depend on how many readers there are, files changed under the
// readers must neither block nor be read wrongly, and a stopped or superseded scan must
// leave no reader running.
#include "base/nativepath.h"
#include "catalogue/folderscan.h"
#include "catalogue/tagreadahead.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "tags/genre.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

Q_DECLARE_METATYPE(sonavue::ReadAheadOptions)

namespace {

// One folder whose listing names the given files, as the walk left it just now.
std::vector<WalkedFolder> walkedNow(const QByteArray& folder, const QList<QByteArray>& names) {
    std::vector<WalkedFolder> out(1);
    WalkedFolder& w = out[0];
    w.path = folder;
    for (const QByteArray& name : names)
        w.files.add(name.constData(), std::size_t(name.size()));
    w.listed = NativeFolder(folder).stamp(w.stamp);
    return out;
}

} // namespace

class TestTagReadAhead : public QObject {
    Q_OBJECT

private slots:

    void sameScanWithAnyReaderCount() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        writeHostileLibrary(root);
        const Outcome alone = scanWith(dir.path(), readers(0));
        QCOMPARE(alone.result, FolderScan::Result::Finished);
        QCOMPARE(alone.rows.count(), 6 * 7 + 3);
        QVERIFY(alone.groups[GroupArtist].contains(QStringLiteral("Artist 1")));
        // One reader, many, and many with so little room that they wait on the rows; with and
        // without folders listed ahead of the walk.
        for (const ReadAheadOptions& options :
             {readers(1), readers(8), readers(8, 3), readers(3, 1), readers(1, 4096, 1),
              readers(8, 4096, 4), readers(3, 1, 2)}) {
            const Outcome ahead = scanWith(dir.path(), options);
            QCOMPARE(ahead.result, FolderScan::Result::Finished);
            QCOMPARE(ahead.rows, alone.rows);
            QCOMPARE(ahead.groups, alone.groups);
            QCOMPARE(ahead.events, alone.events);
        }
        ::chmod((root + "/Locked").constData(), 0755);
    }
    void tagsComeInListingOrder() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        QList<QByteArray> names;
        for (int i = 0; i < 50; ++i) {
            names << QByteArray::number(100 + i) + ".mp3";
            QVERIFY(writeMusicFile(root + "/" + names.last(), 200 + 37 * i, tagOf(names.last())));
        }
        ReadAheadOptions options = readers(6, 4);
        TagReadAhead reader(walkedNow(root, names), options);
        QVERIFY(reader.beginFolder(0));
        for (const QByteArray& name : names) {
            FileTagBytes tag;
            QVERIFY(reader.takeTag(tag));
            QCOMPARE(QByteArray(tag.tail + TitleField.offset), name);
        }
        FileTagBytes extra;
        QVERIFY(!reader.takeTag(extra)); // the folder's files are all taken
    }
    void filesChangedUnderTheReaders_data() {
        QTest::addColumn<bool>("fifo");
        dataRow("file replaced by a FIFO", true);
        dataRow("file deleted", false);
    }
    // The listing still names the file, but by the time a reader gets to it it is gone or a
    // FIFO (opening a FIFO to read would block for ever): that file reads as untagged, the
    // others as they are.
    void filesChangedUnderTheReaders() {
        QFETCH(bool, fifo);
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            QVERIFY(writeMusicFile(root + "/" + name, 200, tagOf(name, "Art")));
        for (const int threads : {1, 4}) {
            ReadAheadOptions options = readers(threads);
            bool changed = false; // set on a worker, read after takeTag has synchronised
            options.beforeRead = [&](const QByteArray&, const char* name) {
                if (std::strcmp(name, "b.mp3") != 0)
                    return;
                const QByteArray path = root + "/b.mp3";
                changed = ::unlink(path.constData()) == 0 &&
                          (!fifo || ::mkfifo(path.constData(), 0644) == 0);
            };
            // The listing is taken after the change so that it still holds: only the reader sees
            // it.
            TagReadAhead reader(walkedNow(root, {"a.mp3", "b.mp3", "c.mp3"}), options);
            QVERIFY(reader.beginFolder(0));
            FileTagBytes tag;
            QVERIFY(reader.takeTag(tag));
            QCOMPARE(QByteArray(tag.tail + TitleField.offset), QByteArray("a.mp3"));
            QVERIFY(!reader.takeTag(tag));
            QVERIFY(reader.takeTag(tag));
            QCOMPARE(QByteArray(tag.tail + TitleField.offset), QByteArray("c.mp3"));
            QVERIFY(changed);
            ::unlink((root + "/b.mp3").constData());
            QVERIFY(writeMusicFile(root + "/b.mp3", 200, tagOf("b.mp3", "Art")));
        }
    }
    // A file replaced by a FIFO, or deleted, after the readers have begun its folder and
    // before the rows are written: the folder's entries changed, so the rows come from a
    // fresh listing (FIFO left out) and the readers' results for the folder are dropped.
    void changedListingIsReadAfresh() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        QVERIFY(writeMusicFile(root + "/0.mp3", 200, tagOf("0", "0")));
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            QVERIFY(writeMusicFile(root + "/A/" + name, 200, tagOf(name, name)));
        for (const bool fifo : {true, false}) {
            ScanRig rig;
            Catalogue& catalogue = rig.catalogue;
            FolderScan& scan = rig.scan;
            std::promise<void> readingA;
            std::atomic_bool signalled = false;
            ReadAheadOptions options = readers(2);
            options.beforeRead = [&](const QByteArray&, const char* name) {
                if (std::strcmp(name, "a.mp3") == 0 && !signalled.exchange(true))
                    readingA.set_value();
            };
            scan.setReadAhead(options);
            RecordingObserver observer;
            const QByteArray b = root + "/A/b.mp3";
            observer.onYield = [&](int yield) {
                if (yield != 3) // the first yield of the rows, which begin with the music folder's
                    return;
                readingA.get_future().wait(); // the readers are inside A
                QCOMPARE(::unlink(b.constData()), 0);
                if (fifo)
                    QCOMPARE(::mkfifo(b.constData(), 0644), 0);
            };
            QCOMPARE(scan.run(dir.path(), dir.path() + "/", FilePattern(), observer),
                     FolderScan::Result::Finished);
            QStringList titles;
            for (int r = 0; r < catalogue.rowCount(); ++r)
                titles << catalogue.cell(ColTitle, r);
            QCOMPARE(titles, QStringList({"0", "a.mp3", "c.mp3"}));
            QCOMPARE(rig.group(GroupArtist), QStringList({"0", "a.mp3", "c.mp3"}));
            ::unlink(b.constData());
            QVERIFY(writeMusicFile(b, 200, tagOf("b.mp3", "b.mp3")));
        }
    }
    // The window's unload stops the scan inside a yield: the readers (waiting for room, as
    // the ring holds two results) end before stop() returns, and no row is written after.
    void stopEndsTheReaders() {
        QTemporaryDir dir;
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeMusicFile(pathToNative(dir.path()) + "/F" + QByteArray::number(i % 4) +
                                       "/" + QByteArray::number(i) + ".mp3",
                                   200, tagOf("t", "a")));
        const int before = threadsOfProcess();
        ScanRig rig(readers(4, 2));
        Catalogue& catalogue = rig.catalogue;
        FolderScan& scan = rig.scan;
        RecordingObserver observer;
        int readersBefore = -1, readersAfter = -1, rowsAtStop = -1;
        observer.onYield = [&](int) {
            if (rowsAtStop >= 0 || catalogue.rowCount() < 10)
                return;
            readersBefore = scan.runningReaders();
            scan.stop();
            readersAfter = scan.runningReaders();
            rowsAtStop = catalogue.rowCount();
            QTRY_COMPARE(threadsOfProcess(), before); // the system drops a joined thread soon after
        };
        QCOMPARE(scan.run(dir.path(), dir.path() + "/", FilePattern(), observer),
                 FolderScan::Result::Superseded);
        QCOMPARE(readersBefore, 4);
        QCOMPARE(readersAfter, 0);
        QCOMPARE(catalogue.rowCount(), rowsAtStop);
        QCOMPARE(observer.events.last(), QStringLiteral("yield"));
    }
    // A scan started inside a yield of a running one, while its tags are read or during its
    // walk: the older scan's workers end before the new scan starts its own, once the new scan
    // is done no worker is left, and the older scan writes nothing after giving way.
    void supersededScanEndsItsWorkers_data() {
        QTest::addColumn<ReadAheadOptions>("options");
        QTest::addColumn<bool>("duringTheWalk");
        dataRow("while tags are read", readers(4, 2), false);
        dataRow("during the walk", readers(2, 4096, 4), true);
    }
    void supersededScanEndsItsWorkers() {
        QFETCH(ReadAheadOptions, options);
        QFETCH(bool, duringTheWalk);
        QTemporaryDir first, second;
        writeWideTree(pathToNative(first.path()), 300);
        QVERIFY(writeMusicFile(pathToNative(second.path()) + "/x.mp3", 200, tagOf("x", "second")));
        const int before = threadsOfProcess();
        ScanRig rig(options);
        FolderScan& scan = rig.scan;
        RecordingObserver outer;
        int olderWorkers = -1;
        FolderScan::Result inner = FolderScan::Result::Superseded;
        outer.onYield = [&](int yield) {
            const bool due = duringTheWalk ? yield == 25 : rig.catalogue.rowCount() >= 10;
            if (olderWorkers >= 0 || !due)
                return;
            olderWorkers = scan.runningReaders();
            ScanObserver quiet;
            inner = scan.run(second.path(), second.path() + "/", FilePattern(), quiet);
            QCOMPARE(scan.runningReaders(), 0);
            QTRY_COMPARE(threadsOfProcess(), before);
        };
        QCOMPARE(scan.run(first.path(), first.path() + "/", FilePattern(), outer),
                 FolderScan::Result::Superseded);
        QCOMPARE(olderWorkers, 4);
        QCOMPARE(inner, FolderScan::Result::Finished);
        QCOMPARE(rig.catalogue.rowCount(), 1);
        QCOMPARE(rig.groups[GroupFolder].entries(), QStringList({QString()}));
        QCOMPARE(rig.groups[GroupArtist].entries(), QStringList({"second"}));
    }
};

QTEST_GUILESS_MAIN(TestTagReadAhead)
#include "test_catalogue_tagreadahead.moc"
