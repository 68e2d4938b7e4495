// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// A scan on its own thread brings a library up to date, and the browsing model takes its result
// in place of the shown one without moving what the user sees.
#include "base/nativepath.h"
#include "catalogue/backgroundscan.h"
#include "catalogue/browsingmodel.h"
#include "catalogue/folderscan.h"
#include "catalogue/trackfinder.h"
#include "support/datarow.h"
#include "support/musicfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

enum Change {
    Added,
    Removed,
    Rewritten,
    RewrittenTimeBack,
    Renamed,
    FolderRenamed,
    FolderMovedIn,
    ReplacedByLink,
    ReplacedByFifo
};

struct Library {
    QTemporaryDir dir;
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel browsing{catalogue, groups};
    BackgroundScan background;

    Library() {
        browsing.setFolderPrefix(folderPrefixFor(dir.path()));
        add("A/a1.mp3", "One", "Ann");
        add("A/a2.mp3", "Two", "Ann");
        add("B/b1.mp3", "Three", "Bob");
        add("C/c1.mp3", "Four", "Cid");
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    // Sets the file's modification time seconds back (every file's an hour back).
    void age(const char* name = nullptr, int seconds = 3600) const {
        const QStringList names = name
                                      ? QStringList{QString::fromUtf8(name)}
                                      : QStringList{"A/a1.mp3", "A/a2.mp3", "B/b1.mp3", "C/c1.mp3"};
        for (const QString& n : names)
            QVERIFY(setModifiedSecondsAgo(dir.filePath(n), seconds));
    }
    void add(const char* name, const QByteArray& title, const QByteArray& artist) {
        QVERIFY(writeMusicFile(path(name), 200, tagOf(title, artist)));
    }
    BackgroundScan::Request request() const {
        return {dir.path(), browsing.folderPrefix(), browsing.filePattern(), {}, {}, {}};
    }
    void scanHere() { scanInto(catalogue, groups); }
    // A scan here into target, reading tags as reading says, on threads readers (0: the
    // scan's own), taking unchanged files' rows from known.
    void scanInto(Catalogue& target, GroupLists& lists, const TagReading& reading = {},
                  int readers = ReadAheadOptions::Auto,
                  std::shared_ptr<const Catalogue> known = nullptr) const {
        FolderScan scan(target, lists);
        scan.setTagReading(reading);
        ReadAheadOptions options;
        options.threads = readers;
        scan.setReadAhead(options);
        if (known)
            scan.setKnownFiles(std::make_shared<const KnownFiles>(std::move(known)));
        ScanObserver quiet;
        QCOMPARE(scan.run(dir.path(), browsing.folderPrefix(), browsing.filePattern(), quiet),
                 FolderScan::Result::Finished);
    }
    std::shared_ptr<ScannedLibrary> scanBehind(bool comparedWithShown = false) {
        QSignalSpy finished(&background, &BackgroundScan::finished);
        BackgroundScan::Request r = request();
        if (comparedWithShown)
            r.shown = std::make_shared<const Catalogue>(catalogue.clone());
        background.start(r);
        if (!finished.wait(30000))
            return nullptr;
        return finished.at(0).at(0).value<std::shared_ptr<ScannedLibrary>>();
    }
    void replaceWith(ScannedLibrary& scanned) {
        browsing.replaceLibrary([&] {
            catalogue.swap(scanned.catalogue);
            for (int g = 0; g < GroupCount; ++g)
                groups[g].takeEntriesFrom(scanned.groups[g]);
        });
    }
    QString selectedPath() const {
        const std::optional<int> row = browsing.selectedRow();
        return row ? browsing.rowPath(*row) : QString();
    }
};

} // namespace

class TestBackgroundScan : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::shared_ptr<ScannedLibrary>>(); }

    // What the thread finds is what a scan here finds; an unchanged folder gives the same.
    void findsWhatAScanHereFinds() {
        Library lib;
        lib.scanHere();
        const auto unchanged = lib.scanBehind();
        QVERIFY(unchanged);
        QVERIFY(sameLibrary(lib.catalogue, lib.groups, *unchanged));
        QVERIFY(QFile::remove(lib.path("B/b1.mp3")));
        lib.add("A/a0.mp3", "Zero", "Bob");
        lib.add("D/d1.mp3", "Five", "Dee");
        const auto changed = lib.scanBehind();
        QVERIFY(changed);
        QVERIFY(!sameLibrary(lib.catalogue, lib.groups, *changed));
        lib.scanHere();
        QVERIFY(sameLibrary(lib.catalogue, lib.groups, *changed));
    }

    void onlyNewAndChangedFilesAreRead_data() {
        QTest::addColumn<int>("readers");
        QTest::addColumn<bool>("judgedPerFolder");
        dataRow("read by the scan's thread", 0, false);
        dataRow("read ahead", 2, false);
        dataRow("read by the scan's thread, code page judged per folder", 0, true);
        dataRow("read ahead, code page judged per folder", 2, true);
    }
    // A file whose stamp is the same is not read again: its row comes from the known rows,
    // marked here so that it shows. Where the code page is judged from a folder's records, a
    // folder with a new or changed file, or one fewer, is read whole. With the true rows known, the
    // result is what a scan that reads everything finds.
    void onlyNewAndChangedFilesAreRead() {
        QFETCH(int, readers);
        QFETCH(bool, judgedPerFolder);
        const TagReading reading{judgedPerFolder ? TagCodePage::Auto : DefaultTagCodePage};
        Library lib;
        lib.add("D/d1.mp3", "Dee one", "Dee");
        lib.add("D/d2.mp3", "Dee two", "Dee");
        for (const char* name : {"A/a1.mp3", "A/a2.mp3", "B/b1.mp3", "C/c1.mp3", "D/d1.mp3"})
            lib.age(name);
        lib.scanInto(lib.catalogue, lib.groups, reading, readers);
        const auto marked = std::make_shared<Catalogue>(lib.catalogue.clone());
        for (int r = 0; r < marked->rowCount(); ++r)
            marked->setCell(ColTitle, r, QStringLiteral("Kept"));
        lib.add("A/a3.mp3", "New", "Ann");
        lib.add("B/b1.mp3", "Three again", "Bob");
        QVERIFY(QFile::remove(lib.path("D/d2.mp3"))); // D/d1.mp3 unchanged, alone now

        Catalogue brought;
        GroupLists lists;
        lib.scanInto(brought, lists, reading, readers, marked);
        QStringList titles;
        for (int r = 0; r < brought.rowCount(); ++r)
            titles << brought.cell(ColTitle, r);
        const QStringList folderA =
            judgedPerFolder ? QStringList{"One", "Two", "New"} : QStringList{"Kept", "Kept", "New"};
        const QString folderD =
            judgedPerFolder ? QStringLiteral("Dee one") : QStringLiteral("Kept");
        QCOMPARE(titles, (folderA + QStringList{"Three again", "Kept", folderD}));

        // The rows of before, true for the files that did not change.
        const auto before = std::make_shared<const Catalogue>(lib.catalogue.clone());
        ScannedLibrary everything;
        lib.scanInto(everything.catalogue, everything.groups, reading, readers);
        lib.scanInto(brought, lists, reading, readers, before);
        QVERIFY(sameLibrary(brought, lists, everything));
        QVERIFY(sameStamps(brought, everything.catalogue));
    }

    void everyChangeIsFound_data() {
        QTest::addColumn<int>("change");
        dataRow("a file added", int(Added));
        dataRow("a file removed", int(Removed));
        dataRow("a file rewritten in place", int(Rewritten));
        dataRow("a file rewritten, its modification time put back", int(RewrittenTimeBack));
        dataRow("a file renamed", int(Renamed));
        dataRow("a folder renamed", int(FolderRenamed));
        dataRow("a folder moved in", int(FolderMovedIn));
        dataRow("a file replaced by a link to another", int(ReplacedByLink));
        dataRow("a file replaced by a FIFO", int(ReplacedByFifo));
    }
    // The look over a library of old files, after one change: it finds what a scan that reads
    // everything finds, and sees the change.
    void everyChangeIsFound() {
        QFETCH(int, change);
        Library lib;
        QTemporaryDir outside;
        QVERIFY(writeMusicFile(outside.filePath("E/e1.mp3"), 200, tagOf("Six", "Eve")));
        lib.age();
        lib.scanHere();
        const auto shown = std::make_shared<const Catalogue>(lib.catalogue.clone());
        const QByteArray c1 = pathToNative(lib.path("C/c1.mp3"));
        struct stat before {};
        QVERIFY(::stat(c1.constData(), &before) == 0);
        switch (Change(change)) {
        case Added:
            lib.add("B/b2.mp3", "Five", "Bob");
            break;
        case Removed:
            QVERIFY(QFile::remove(lib.path("A/a2.mp3")));
            break;
        case Rewritten:
            lib.add("C/c1.mp3", "Four again", "Cid");
            break;
        case RewrittenTimeBack: {
            lib.add("C/c1.mp3", "Four again", "Cid");
            const timespec times[2] = {before.st_atim, before.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, c1.constData(), times, 0) == 0);
            break;
        }
        case Renamed:
            QVERIFY(QFile::rename(lib.path("A/a1.mp3"), lib.path("A/a0.mp3")));
            break;
        case FolderRenamed:
            QVERIFY(QDir(lib.dir.path()).rename("B", "D"));
            break;
        case FolderMovedIn:
            QVERIFY(QDir().rename(outside.filePath("E"), lib.path("E")));
            break;
        case ReplacedByLink:
            QVERIFY(QFile::remove(lib.path("C/c1.mp3")));
            QVERIFY(QFile::link(lib.path("A/a1.mp3"), lib.path("C/c1.mp3")));
            break;
        case ReplacedByFifo:
            QVERIFY(QFile::remove(lib.path("C/c1.mp3")));
            QVERIFY(::mkfifo(c1.constData(), 0644) == 0);
            break;
        }
        ScannedLibrary looked, everything;
        lib.scanInto(looked.catalogue, looked.groups, {}, ReadAheadOptions::Auto, shown);
        lib.scanInto(everything.catalogue, everything.groups);
        QVERIFY(sameLibrary(looked.catalogue, looked.groups, everything));
        QVERIFY(sameStamps(looked.catalogue, everything.catalogue));
        QVERIFY(!sameRows(*shown, looked.catalogue));
    }

    // A file touched (its contents read the same) counts as a change, so that its new stamp
    // is kept; a look with nothing changed finds no change.
    void aTouchedFileIsAChange() {
        Library lib;
        lib.age();
        lib.scanHere();
        QVERIFY(lib.scanBehind(true) && !lib.scanBehind(true)->changed);
        lib.age("C/c1.mp3", 600);
        const auto touched = lib.scanBehind(true);
        QVERIFY(touched && touched->changed);
        QVERIFY(sameRows(lib.catalogue, touched->catalogue));
        lib.replaceWith(*touched);
        QVERIFY(!lib.scanBehind(true)->changed);
    }

    // A file modified a moment ago may be written again within its time stamp's grain: its
    // stamp is not kept, so the next look reads it, whatever its stamp then.
    void aFileJustModifiedIsReadAgain() {
        Library lib;
        lib.age();
        lib.age("B/b1.mp3", 0);
        Catalogue scanned;
        GroupLists lists;
        lib.scanInto(scanned, lists);
        QVERIFY(scanned.stamp(0).known());
        QVERIFY(!scanned.stamp(2).known()); // B/b1.mp3
    }

    // The new rows replace the shown ones; the lists keep their entries selected and remembered,
    // the track list is filled again the same way with its selected track, and nothing is
    // picked (the source list stays).
    void replacingKeepsWhatIsShown() {
        Library lib;
        lib.scanHere();
        lib.browsing.selectGroupEntry(GroupFolder, 1); // "B/"
        lib.browsing.selectGroupEntry(GroupArtist, 0); // "Ann": the artist list is the source
        lib.browsing.selectTrack(1);
        QCOMPARE(lib.selectedPath(), lib.path("A/a2.mp3"));
        lib.add("A/a0.mp3", "Zero", "Ann"); // a new track before the selected one
        lib.add("0/x.mp3", "Six", "Abe");   // a new first folder and first artist
        QVERIFY(QFile::remove(lib.path("C/c1.mp3")));
        const auto scanned = lib.scanBehind();
        QVERIFY(scanned);
        QSignalSpy refilled(&lib.browsing, &BrowsingModel::tracksRefilled);
        lib.replaceWith(*scanned);
        QCOMPARE(refilled.size(), 1);
        QCOMPARE(lib.browsing.sourceList(), int(GroupArtist));
        QCOMPARE(lib.groups[GroupArtist].at(lib.browsing.selectedGroupEntry(GroupArtist)),
                 QStringLiteral("Ann"));
        QCOMPARE(lib.groups[GroupArtist].at(lib.browsing.rememberedGroupEntry(GroupArtist)),
                 QStringLiteral("Ann"));
        QCOMPARE(lib.groups[GroupFolder].at(lib.browsing.selectedGroupEntry(GroupFolder)),
                 QStringLiteral("B/"));
        QCOMPARE(lib.browsing.trackTitles(), (QStringList{"Zero", "One", "Two"}));
        QCOMPARE(lib.selectedPath(), lib.path("A/a2.mp3"));
    }

    // An entry that went: a sorted list remembers the one before where it stood, so that play
    // goes on with the entry that followed it; a selected track that went leaves none selected.
    void goneEntriesAndTracks() {
        Library lib;
        lib.scanHere();
        lib.browsing.selectGroupEntry(GroupFolder, 1); // "B/"
        lib.browsing.selectTrack(0);
        QVERIFY(QFile::remove(lib.path("B/b1.mp3")));
        const auto scanned = lib.scanBehind();
        QVERIFY(scanned);
        lib.replaceWith(*scanned);
        QCOMPARE(lib.groups[GroupFolder].entries(), (QStringList{"A/", "C/"}));
        QCOMPARE(lib.browsing.rememberedGroupEntry(GroupFolder), 0);
        QCOMPARE(lib.browsing.selectedGroupEntry(GroupFolder), -1);
        QCOMPARE(lib.browsing.trackCount(), 0);
        QCOMPARE(lib.browsing.selectedTrack(), -1);
    }

    // An open find searches the new rows with its text and stays open; closing it brings back
    // the list from before, as it is now.
    void anOpenFindStaysOpen() {
        Library lib;
        lib.scanHere();
        TrackFinder finder(lib.browsing);
        lib.browsing.selectGroupEntry(GroupFolder, 0); // "A/"
        finder.open();
        finder.setText(QStringLiteral("t"));
        QCOMPARE(lib.browsing.trackTitles(), (QStringList{"Two", "Three"}));
        lib.browsing.selectTrack(1);
        lib.add("C/c2.mp3", "Ten", "Cid");
        lib.add("A/a3.mp3", "Nine", "Ann");
        const auto scanned = lib.scanBehind();
        QVERIFY(scanned);
        lib.replaceWith(*scanned);
        QVERIFY(finder.isOpen());
        QCOMPARE(lib.browsing.trackTitles(), (QStringList{"Two", "Three", "Ten"}));
        QCOMPARE(lib.selectedPath(), lib.path("B/b1.mp3"));
        finder.close();
        QCOMPARE(lib.browsing.trackTitles(), (QStringList{"One", "Two", "Nine"}));
    }

    // A scan stopped, or replaced by a newer one, never reports.
    void aStoppedScanNeverReports() {
        Library lib;
        for (int i = 0; i < 200; ++i)
            QVERIFY(writeMusicFile(lib.path("M") + QStringLiteral("/%1/t.mp3").arg(i), 200));
        QSignalSpy finished(&lib.background, &BackgroundScan::finished);
        lib.background.start(lib.request());
        lib.background.stop();
        lib.background.start(lib.request());
        QVERIFY(finished.wait(30000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        const auto scanned = finished.at(0).at(0).value<std::shared_ptr<ScannedLibrary>>();
        QCOMPARE(scanned->catalogue.rowCount(), 204);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundScan)
#include "test_catalogue_backgroundscan.moc"
