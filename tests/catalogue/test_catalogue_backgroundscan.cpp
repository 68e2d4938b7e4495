// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// A scan on its own thread brings a library up to date, and the browsing model takes its result
// in place of the shown one without moving what the user sees.
#include "catalogue/backgroundscan.h"
#include "catalogue/browsingmodel.h"
#include "catalogue/folderscan.h"
#include "catalogue/trackfinder.h"
#include "support/musicfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

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
    void add(const char* name, const QByteArray& title, const QByteArray& artist) {
        QVERIFY(writeMusicFile(path(name), 200, tagOf(title, artist)));
    }
    BackgroundScan::Request request() const {
        return {dir.path(), browsing.folderPrefix(), browsing.filePattern(), {}, {}, {}};
    }
    void scanHere() {
        FolderScan scan(catalogue, groups);
        ScanObserver quiet;
        QCOMPARE(scan.run(dir.path(), browsing.folderPrefix(), browsing.filePattern(), quiet),
                 FolderScan::Result::Finished);
    }
    std::shared_ptr<ScannedLibrary> scanBehind() {
        QSignalSpy finished(&background, &BackgroundScan::finished);
        background.start(request());
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
