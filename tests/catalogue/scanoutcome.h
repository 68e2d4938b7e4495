// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the tests of the scan's worker threads: a scan's whole outcome (rows, group
// lists, observer calls) to compare between thread counts, and a library that traps a walk.
#include "base/nativepath.h"
#include "catalogue/folderscan.h"
#include "catalogue/tagreadahead.h"
#include "recordingobserver.h"
#include "support/modeltesters.h"
#include "support/musicfiles.h"
#include "support/temporarytree.h"

#include <QDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue::testing {

constexpr int NoTimedYields = 1000000;

// What a scan produced: every row, every group list and every observer call.
struct Outcome {
    FolderScan::Result result = FolderScan::Result::Finished;
    QStringList rows;
    QList<QStringList> groups;
    QStringList events;
};

// A scan over a fresh catalogue, yielding only between folders, with the given threads;
// its group lists under the model tester.
struct ScanRig {
    explicit ScanRig(const ReadAheadOptions& options = {}) {
        scan.setYieldIntervalMs(NoTimedYields);
        scan.setReadAhead(options);
    }
    Catalogue catalogue;
    GroupLists groups;
    FolderScan scan{catalogue, groups};
    ModelTesters testers{groups};

    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < catalogue.rowCount(); ++r)
            out << catalogue.cell(c, r);
        return out;
    }
    QStringList row(int r) const {
        QStringList out;
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            out << catalogue.cell(c, r);
        return out;
    }
    QStringList group(int g) const { return groups[g].entries(); }
};

inline Outcome scanWith(const QString& folder, const ReadAheadOptions& options) {
    ScanRig rig(options);
    RecordingObserver observer;
    Outcome out;
    out.result = rig.scan.run(folder, folderPrefixFor(folder), FilePattern(), observer);
    for (int r = 0; r < rig.catalogue.rowCount(); ++r)
        out.rows << rig.row(r).join(QChar(u'|'));
    for (int g = 0; g < GroupCount; ++g)
        out.groups << rig.group(g);
    out.events = observer.events;
    return out;
}

inline ReadAheadOptions readers(int threads, int capacity = 4096, int listers = 0) {
    ReadAheadOptions options;
    options.threads = threads;
    options.capacity = capacity;
    options.listingThreads = listers;
    return options;
}

inline int threadsOfProcess() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .count());
}

// Albums of tagged and untagged files over several folders, with the trees that trap a
// walk: a link cycle, a FIFO and a device named like music, names that are not UTF-8,
// files too short for a tag.
inline void writeHostileLibrary(const QByteArray& root) {
    for (int a = 0; a < 6; ++a) {
        const QByteArray album =
            root + "/Artist " + QByteArray::number(a % 2) + "/Album " + QByteArray::number(a);
        for (int t = 0; t < 7; ++t) {
            const QByteArray title = "Song " + QByteArray::number(t);
            const auto tag = t == 3
                                 ? std::nullopt
                                 : std::optional(tagOf(title, "Artist " + QByteArray::number(a % 2),
                                                       "Album " + QByteArray::number(a),
                                                       QByteArray::number(1990 + a), a * 7));
            QVERIFY(writeMusicFile(album + "/" + QByteArray::number(t) + ".mp3", 300, tag));
        }
    }
    QVERIFY(writeMusicFile(root + "/short.mp3", 60));
    QVERIFY(writeMusicFile(root + "/\xff\xfe folder/\x82\xa0 song.mp3", 150, tagOf("", "Art")));
    QVERIFY(writeMusicFile(root + "/caf\xe9.wav", 150));
    QCOMPARE(::mkfifo((root + "/fifo.mp3").constData(), 0644), 0);
    QCOMPARE(::symlink("/dev/null", (root + "/device.mid").constData()), 0);
    QCOMPARE(::symlink("..", (root + "/Artist 0/up").constData()), 0);
    QCOMPARE(::symlink(".", (root + "/Artist 1/self").constData()), 0);
    if (::geteuid() != 0) { // root reads every folder whatever its mode
        QVERIFY(writeMusicFile(root + "/Locked/l.mp3", 200));
        QCOMPARE(::chmod((root + "/Locked").constData(), 0), 0);
    }
}

// A finished scan of folder that read tags as reading says, with the given tag readers.
inline std::unique_ptr<ScanRig> scanned(const QString& folder, const TagReading& reading,
                                        int readers, const FilePattern& pattern = FilePattern()) {
    ReadAheadOptions options;
    options.threads = readers;
    auto rig = std::make_unique<ScanRig>(options);
    rig->scan.setTagReading(reading);
    ScanObserver quiet;
    rig->scan.run(folder, folderPrefixFor(folder), pattern, quiet);
    return rig;
}

// Cells first to last of row r; a path is cut to its file name.
inline QStringList cellsOf(const Catalogue& catalogue, int r, int first, int last) {
    QStringList out;
    for (int c = first; c <= last; ++c)
        out << (c == ColPath ? catalogue.cell(c, r).section(QLatin1Char('/'), -1)
                             : catalogue.cell(c, r));
    return out;
}

// The same rows, group lists and observer calls.
inline void compareScans(const Outcome& ahead, const Outcome& alone) {
    QCOMPARE(ahead.result, alone.result);
    QCOMPARE(ahead.rows, alone.rows);
    QCOMPARE(ahead.groups, alone.groups);
    QCOMPARE(ahead.events, alone.events);
}

// Ten folders of many one-file folders each (folders + 11 folders in all).
inline void writeWideTree(const QByteArray& root, int folders) {
    for (int i = 0; i < folders; ++i)
        QVERIFY(writeMusicFile(root + "/A" + QByteArray::number(i % 10) + "/B" +
                                   QByteArray::number(i) + "/t.mp3",
                               150, tagOf("t", "a")));
}

} // namespace sonavue::testing
