// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The folder scan on real folder trees: rows, group lists, the Linux file-system rules,
// yields and a second scan superseding a running one.
#include "base/nativepath.h"
#include "catalogue/folderscan.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "tags/genre.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

struct Scanned : ScanRig {
    FolderScan::Result result = FolderScan::Result::Finished;
};

std::unique_ptr<Scanned> scanned(const QString& folder,
                                 const QString& pattern = filePatternFor(true, true, true),
                                 ScanObserver* observer = nullptr) {
    auto s = std::make_unique<Scanned>();
    ScanObserver quiet;
    s->result = s->scan.run(folder, folderPrefixFor(folder), FilePattern(pattern),
                            observer ? *observer : quiet);
    return s;
}

template <class Folder> // QTemporaryDir or TemporaryTree
QByteArray native(const Folder& dir) {
    return pathToNative(dir.path());
}

// The same tree as a list of full paths, for comparing two scans' rows.
QStringList allRows(const Scanned& s) {
    QStringList out;
    for (int r = 0; r < s.catalogue.rowCount(); ++r)
        out << s.row(r).join(QChar(u'|'));
    return out;
}

} // namespace

class TestFolderScan : public QObject {
    Q_OBJECT

private slots:

    // Untagged music files in a tree: which folders join the folder list, and the rows in
    // order (a path below the music folder; the title is the file's name).
    void folderListAndRows_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("rows");
        const QString initial = filePatternFor(true, true, true);
        dataRow("folder list and row order", initial,
                QStringList{"b.mp3", "A.mp3", "C.mp3", "A/a.mp3", "B/C/c.mp3",
                            "B/C/Deep/readme.txt"}, // no music: no entry
                QStringList{"", "A/", "B/C/"},
                QStringList{"A.mp3", "b.mp3", "C.mp3", "A/a.mp3", "B/C/c.mp3"});
        dataRow("hidden names are skipped", initial,
                QStringList{".hidden.mp3", ".cache/x.mp3", "Shown/.y.mp3", "Shown/y.mp3"},
                QStringList{"Shown/"}, QStringList{"Shown/y.mp3"});
        dataRow("folder named like a music file", initial, QStringList{"x.mp3/inside.wav", "z.mp3"},
                QStringList{"", "x.mp3/"}, QStringList{"z.mp3", "x.mp3/inside.wav"});
        dataRow("upper-case extensions", initial,
                QStringList{"a.MP3", "b.MID", "c.Wav", "d.mP3", "e.JPG"}, QStringList{""},
                QStringList{"a.MP3", "b.MID", "c.Wav", "d.mP3"});
        const QStringList mixedTypes{"a.mp3", "b.mid", "c.wav", "OnlyMidi/d.mid"};
        dataRow("every music type", initial, mixedTypes, QStringList{"", "OnlyMidi/"}, mixedTypes);
        dataRow("pattern of MP3 alone", filePatternFor(true, false, false), mixedTypes,
                QStringList{""}, QStringList{"a.mp3"});
    }
    void folderListAndRows() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, rows);
        QTemporaryDir dir;
        for (const QString& file : files)
            QVERIFY(writeMusicFile(native(dir) + "/" + pathToNative(file), 200));

        const auto s = scanned(dir.path(), pattern);
        QCOMPARE(s->result, FolderScan::Result::Finished);
        QCOMPARE(s->group(GroupFolder), folders);
        QStringList paths, titles;
        for (const QString& row : rows) {
            paths << dir.path() + "/" + row;
            titles << row.section(QLatin1Char('/'), -1);
        }
        QCOMPARE(s->column(ColPath), paths);
        QCOMPARE(s->column(ColTitle), titles);
        for (int r = 0; r < s->catalogue.rowCount(); ++r)
            QCOMPARE(s->catalogue.rowOfPath(s->catalogue.cell(ColPath, r)), r);
    }
    void progressReportsInDesignOrder() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/x.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Z/y.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Z/z.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Empty/none.txt", 200));

        RecordingObserver observer;
        scanned(dir.path(), filePatternFor(true, true, true), &observer);
        // One yield per folder of the walk (root, Z, Empty), then two per folder while reading.
        QCOMPARE(observer.events,
                 QStringList({"yield", "yield", "yield", "select", "start 2", "yield", "folder 0 1",
                              "file 0", "read 0", "yield", "yield", "folder 1 2", "file 0",
                              "file 1", "read 1", "yield", "finished"}));
    }
    void columnsOfTaggedAndUntaggedFiles() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        TagFields full = tagOf("Song" + QByteArray(26, '\0'), "  Artist\0x", "Album  ", "1999", 17);
        full.artist = QByteArray("Artist\0Two", 10);
        full.comment = "note";
        QVERIFY(writeMusicFile(root + "/1 tagged.mp3", 300, full));
        QVERIFY(writeMusicFile(root + "/2 untagged.mp3", 300));
        const QByteArray longName = "3 a file name of forty characters ok.mp3";
        QCOMPARE(longName.size(), 40);
        QVERIFY(writeMusicFile(root + "/" + longName, 300, tagOf(QByteArray(30, ' '), "A")));
        QVERIFY(writeMusicFile(root + "/4 genre.mp3", 300, tagOf("T", {}, {}, {}, 255)));
        // Shift-JIS text ("テスト", then "ｱ" padded with spaces) is decoded, then cleaned.
        QVERIFY(writeMusicFile(root + "/5 sjis.mp3", 300,
                               tagOf("\x83\x65\x83\x58\x83\x67", " \xb1  ", "\x83\x65\0\0 ")));

        const auto s = scanned(dir.path());
        QCOMPARE(s->catalogue.rowCount(), 5);
        const QString prefix = dir.path() + "/";
        QCOMPARE(s->row(0), QStringList({prefix + "1 tagged.mp3", "Song", "Album", "Artist Two",
                                         "1999", "Rock", "note", ""}));
        QCOMPARE(s->row(1), QStringList({prefix + "2 untagged.mp3", "2 untagged.mp3", "", "", "",
                                         "", "", ""}));
        QCOMPARE(s->catalogue.cell(ColTitle, 2), QString::fromLatin1(longName.left(30)).trimmed());
        QCOMPARE(s->catalogue.cell(ColArtist, 2), QStringLiteral("A"));
        QCOMPARE(s->catalogue.cell(ColGenre, 3), QStringLiteral("Anime(J)"));
        QCOMPARE(s->catalogue.cell(ColTitle, 4), QString::fromUtf8("テスト"));
        QCOMPARE(s->catalogue.cell(ColArtist, 4), QString::fromUtf8("ｱ"));
        QCOMPARE(s->catalogue.cell(ColAlbum, 4), QString::fromUtf8("テ"));
        QCOMPARE(s->catalogue.cell(ColGenre, 4), QStringLiteral("Blues"));
        for (int r = 0; r < 5; ++r)
            QVERIFY(s->catalogue.cell(ColReserved, r).isNull());
    }
    void groupListsHoldDistinctValues() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/A/1.mp3", 200, tagOf("t", "abc", "Zeta", "2001", 1)));
        QVERIFY(writeMusicFile(root + "/A/2.mp3", 200, tagOf("t", "ABC", "Mid", "1999", 17)));
        QVERIFY(writeMusicFile(root + "/A/3.mp3", 200, tagOf("t", "bob", "zeta", "1999", 1)));
        QVERIFY(writeMusicFile(root + "/B/1.mp3", 200, tagOf("t", "Alice", "Alpha", "", 17)));
        QVERIFY(writeMusicFile(root + "/B/2.mp3", 200, tagOf("t", "", "", "2000", 0)));

        const auto s = scanned(dir.path());
        QCOMPARE(s->group(GroupAlbum), QStringList({"Zeta", "Mid", "Alpha"}));
        QCOMPARE(s->group(GroupArtist), QStringList({"abc", "Alice", "bob"}));
        QCOMPARE(s->group(GroupYear), QStringList({"1999", "2000", "2001"}));
        QCOMPARE(s->group(GroupGenre), QStringList({"Blues", "Classic Rock", "Rock"}));
        QVERIFY(s->group(GroupAll).isEmpty());
        // Rows keep their own spelling; only the group list holds the first one met.
        QCOMPARE(s->catalogue.cell(ColArtist, 1), QStringLiteral("ABC"));
    }
    void shortFilesAndTaggedMidi() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        // 100 bytes that even begin with "TAG": too short to hold a record.
        QVERIFY(writeNativeFile(root + "/a small.mp3", "TAG" + QByteArray(97, 'x')));
        QVERIFY(writeMusicFile(root + "/b exact.mp3", 0, tagOf("Exact", "E")));
        QVERIFY(writeMusicFile(root + "/c song.mid", 500, tagOf("Midi title", "M")));
        QVERIFY(writeMusicFile(root + "/d sound.wav", 500));

        const auto s = scanned(dir.path());
        QCOMPARE(s->column(ColTitle),
                 QStringList({"a small.mp3", "Exact", "Midi title", "d sound.wav"}));
        QCOMPARE(s->column(ColArtist), QStringList({"", "E", "M", ""}));
        QCOMPARE(s->group(GroupArtist), QStringList({"E", "M"}));
    }
    void noMusicFileAtAll() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/cover.jpg", 200));
        QVERIFY(writeMusicFile(root + "/Sub/notes.txt", 200));

        RecordingObserver observer;
        const auto s = scanned(dir.path(), filePatternFor(true, true, true), &observer);
        QCOMPARE(s->result, FolderScan::Result::Finished);
        QCOMPARE(s->catalogue.rowCount(), 0);
        for (int g = 0; g < GroupCount; ++g)
            QCOMPARE(s->groups[g].count(), 0);
        QCOMPARE(observer.events, QStringList({"yield", "yield"})); // the walk only
    }
    void scanEmptiesEarlierCatalogue() {
        QTemporaryDir full, other, empty;
        QVERIFY(writeMusicFile(native(full) + "/A/1.mp3", 200, tagOf("t", "abc", "al", "1990", 3)));
        QVERIFY(writeMusicFile(native(other) + "/2.mp3", 200, tagOf("t", "ABC", "AL", "1990", 3)));

        Scanned s;
        ScanObserver quiet;
        QCOMPARE(s.scan.run(full.path(), full.path() + "/", FilePattern(), quiet),
                 FolderScan::Result::Finished);
        QCOMPARE(s.catalogue.rowCount(), 1);
        // While the new scan walks its folders, the last scan's rows are still there to be shown
        // and played; the first read of a tag comes after they are gone.
        RecordingObserver walking;
        QStringList seenInTheWalk;
        walking.onYield = [&](int) {
            if (!walking.events.contains(QStringLiteral("select")))
                seenInTheWalk << s.column(ColPath);
        };
        // A new scan forgets the values seen before: ABC is new to it.
        s.scan.run(other.path(), other.path() + "/", FilePattern(), walking);
        QVERIFY(!seenInTheWalk.isEmpty());
        QCOMPARE(seenInTheWalk.first(), full.path() + "/A/1.mp3");
        QCOMPARE(seenInTheWalk.last(), full.path() + "/A/1.mp3");
        QCOMPARE(s.column(ColPath), QStringList({other.path() + "/2.mp3"}));
        QCOMPARE(s.group(GroupArtist), QStringList({"ABC"}));
        QCOMPARE(s.group(GroupAlbum), QStringList({"AL"}));
        QCOMPARE(s.group(GroupFolder), QStringList({""}));

        s.scan.run(empty.path(), empty.path() + "/", FilePattern(), quiet);
        QCOMPARE(s.catalogue.rowCount(), 0);
        for (int g = 0; g < GroupCount; ++g)
            QCOMPARE(s.groups[g].count(), 0);
        QCOMPARE(s.catalogue.rowOfPath(other.path() + "/2.mp3"), -1);
    }

    void linkedFoldersAreWalkedOnce() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/A/a.mp3", 200));
        QVERIFY(writeMusicFile(root + "/B/b.mp3", 200));
        QCOMPARE(::symlink("..", (root + "/A/up").constData()), 0);
        QCOMPARE(::symlink(".", (root + "/A/self").constData()), 0);
        QCOMPARE(::symlink(root.constData(), (root + "/B/root").constData()), 0);
        QCOMPARE(::symlink("../A", (root + "/B/toA").constData()), 0); // a sibling
        QCOMPARE(::symlink("../A", (root + "/B/againA").constData()), 0);

        // Subfolders are walked from the last listed: B first, and in B toA before againA.
        // A folder is walked once per scan, under the path that reaches it first: A is
        // listed as B/toA/, not again as B/againA/ or A/.
        const auto s = scanned(dir.path());
        QCOMPARE(s->group(GroupFolder), QStringList({"B/", "B/toA/"}));
        QCOMPARE(s->column(ColTitle), QStringList({"b.mp3", "a.mp3"}));
    }
    void specialFilesAreNeverListed() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QCOMPARE(::mkfifo((root + "/fifo.mp3").constData(), 0644), 0);
        QCOMPARE(::symlink("fifo.mp3", (root + "/tofifo.mp3").constData()), 0);
        QCOMPARE(::symlink("/dev/null", (root + "/device.mp3").constData()), 0);
        QVERIFY(writeMusicFile(root + "/real.mp3", 200));
        // A scan that opened the FIFO for reading would block here for ever.
        const auto s = scanned(dir.path());
        QCOMPARE(s->column(ColTitle), QStringList({"real.mp3"}));
    }
    void namesThatAreNotUtf8() {
        TemporaryTree dir; // names QDir cannot remove
        const QByteArray root = native(dir);
        const QByteArray untagged = root + "/caf\xe9.mp3";
        const QByteArray tagged = root + "/\xff\xfe folder/\x82\xa0 song.mp3";
        QVERIFY(writeMusicFile(untagged, 150));
        QVERIFY(writeMusicFile(tagged, 150, tagOf(QByteArray(30, '\0'), "Art")));

        const auto s = scanned(dir.path());
        QCOMPARE(s->catalogue.rowCount(), 2);
        const QString replacement(QChar::ReplacementCharacter);
        QCOMPARE(s->catalogue.cell(ColTitle, 0), "caf" + replacement + ".mp3");
        QCOMPARE(s->catalogue.cell(ColTitle, 1), replacement + replacement + " song.mp3");
        QCOMPARE(s->group(GroupFolder),
                 QStringList({"", QString(QChar(0xDCFF)) + QChar(0xDCFE) + " folder/"}));
        // The path in column 0 gives back the very bytes, so the file opens again.
        QCOMPARE(pathToNative(s->catalogue.cell(ColPath, 0)), untagged);
        QCOMPARE(pathToNative(s->catalogue.cell(ColPath, 1)), tagged);
        QCOMPARE(readNativeFile(pathToNative(s->catalogue.cell(ColPath, 1))).size(), 150 + 128);
    }
    void folderVanishingDuringWalkIsSkipped() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/A/a.mp3", 200));
        QVERIFY(writeMusicFile(root + "/M/m.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Z/z.mp3", 200));
        RecordingObserver observer;
        // Subfolders are walked from the last listed; the second yield comes just before Z
        // is opened: Z is listed but can no longer be read, and the walk goes on with M, A.
        observer.onYield = [&](int yield) {
            if (yield == 2)
                QVERIFY(QDir(dir.path() + "/Z").removeRecursively());
        };
        const auto s = scanned(dir.path(), filePatternFor(true, true, true), &observer);
        QCOMPARE(s->result, FolderScan::Result::Finished);
        QCOMPARE(s->group(GroupFolder), QStringList({"A/", "M/"}));
        QCOMPARE(s->column(ColTitle), QStringList({"a.mp3", "m.mp3"}));
    }
    void folderVanishingBeforeReadingGivesNoRows() {
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/A/a.mp3", 200));
        QVERIFY(writeMusicFile(root + "/B/b.mp3", 200));
        QVERIFY(writeMusicFile(root + "/C/c.mp3", 200));
        RecordingObserver observer;
        observer.onYield = [&](int) {
            if (observer.events.contains(QStringLiteral("read 0")) &&
                QDir(dir.path() + "/B").exists())
                QVERIFY(QDir(dir.path() + "/B").removeRecursively());
        };
        const auto s = scanned(dir.path(), filePatternFor(true, true, true), &observer);
        QCOMPARE(s->result, FolderScan::Result::Finished);
        QCOMPARE(s->column(ColTitle), QStringList({"a.mp3", "c.mp3"}));
        QVERIFY(observer.events.contains(QStringLiteral("folder 1 0")));
    }
    void unreadableFolderIsSkipped() {
        if (::geteuid() == 0)
            QSKIP("root reads every folder whatever its mode; the vanishing-folder test covers "
                  "a folder that cannot be opened");
        QTemporaryDir dir;
        const QByteArray root = native(dir);
        QVERIFY(writeMusicFile(root + "/A/a.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Locked/l.mp3", 200));
        QVERIFY(writeMusicFile(root + "/Z/z.mp3", 200));
        QCOMPARE(::chmod((root + "/Locked").constData(), 0), 0);
        const auto s = scanned(dir.path());
        ::chmod((root + "/Locked").constData(), 0755);
        QCOMPARE(s->group(GroupFolder), QStringList({"A/", "Z/"}));
        QCOMPARE(s->column(ColTitle), QStringList({"a.mp3", "z.mp3"}));
    }

    void secondScanSupersedesRunningOne_data() {
        QTest::addColumn<int>("atYield");
        QTest::addColumn<int>("intervalMs");
        // The walk of the tree below yields at the music folder, B, then A; yields 4 on are
        // the reading loop's: before and after the music folder's one row, then A's.
        dataRow("first yield of the walk", 1, NoTimedYields);
        dataRow("deep in the walk", 3, NoTimedYields);
        dataRow("before the first folder's rows", 4, NoTimedYields);
        dataRow("between folders", 5, NoTimedYields);
        dataRow("inside a folder (after A's second row)", 9, 0);
    }
    void secondScanSupersedesRunningOne() {
        QFETCH(int, atYield);
        QFETCH(int, intervalMs);
        QTemporaryDir first, second;
        for (const char* path : {"/1.mp3", "/A/2.mp3", "/A/3.mp3", "/A/4.mp3", "/B/5.mp3"})
            QVERIFY(writeMusicFile(native(first) + path, 200, tagOf("t", "first", "one", "1", 2)));
        for (const char* path : {"/x.mp3", "/Y/y.mp3"})
            QVERIFY(
                writeMusicFile(native(second) + path, 200, tagOf("t", "second", "two", "2", 3)));

        Scanned s;
        s.scan.setYieldIntervalMs(intervalMs);
        RecordingObserver outer;
        FolderScan::Result inner = FolderScan::Result::Superseded;
        bool runningInside = false;
        outer.onYield = [&](int yield) {
            if (yield != atYield)
                return;
            runningInside = s.scan.running();
            ScanObserver quiet;
            inner = s.scan.run(second.path(), second.path() + "/", FilePattern(), quiet);
        };
        const FolderScan::Result result =
            s.scan.run(first.path(), first.path() + "/", FilePattern(), outer);

        QCOMPARE(result, FolderScan::Result::Superseded);
        QCOMPARE(inner, FolderScan::Result::Finished);
        QVERIFY(runningInside);
        QVERIFY(!s.scan.running());
        QCOMPARE(outer.yields, atYield);
        QCOMPARE(outer.events.last(), QStringLiteral("yield")); // nothing reported after it
        const auto fresh = scanned(second.path());
        QCOMPARE(allRows(s), allRows(*fresh));
        for (int g = 0; g < GroupCount; ++g)
            QCOMPARE(s.group(g), fresh->group(g));
    }
    void yieldsInsideLargeFolder_data() {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<bool>("afterEveryRow");
        dataRow("interval passed after every row", 0, true);
        dataRow("interval never passes", NoTimedYields, false);
    }
    void yieldsInsideLargeFolder() {
        QFETCH(int, intervalMs);
        QFETCH(bool, afterEveryRow);
        QTemporaryDir dir;
        const int files = 60;
        for (int i = 0; i < files; ++i)
            QVERIFY(writeMusicFile(native(dir) + "/Big/" + QByteArray::number(1000 + i) + ".mp3",
                                   200, tagOf("Title " + QByteArray::number(i), "Artist")));

        Scanned s;
        s.scan.setYieldIntervalMs(intervalMs);
        RecordingObserver observer;
        int incompleteRows = 0;
        observer.onYield = [&](int) {
            // Whatever runs here sees only whole rows.
            for (int r = 0; r < s.catalogue.rowCount(); ++r)
                if (s.catalogue.cell(ColPath, r).isEmpty() ||
                    s.catalogue.cell(ColArtist, r).isEmpty())
                    ++incompleteRows;
        };
        QCOMPARE(s.scan.run(dir.path(), dir.path() + "/", FilePattern(), observer),
                 FolderScan::Result::Finished);
        QCOMPARE(s.catalogue.rowCount(), files);
        QCOMPARE(incompleteRows, 0);
        const int walkYields = 2, readingYields = 2; // root and Big; one music folder
        QCOMPARE(observer.yields, walkYields + readingYields + (afterEveryRow ? files : 0));
        if (afterEveryRow) {
            // Each row is followed by its progress report and then a yield.
            const int first = int(observer.events.indexOf(QStringLiteral("file 0")));
            QCOMPARE(observer.events.mid(first, 4),
                     QStringList({"file 0", "yield", "file 1", "yield"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "test_catalogue_folderscan.moc"
