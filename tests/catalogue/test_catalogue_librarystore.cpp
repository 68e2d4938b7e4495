// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The kept library's store: a kept scan reads back as the catalogue tool prints that scan; a
// store that cannot be used is set aside; a write killed half-way leaves a whole store; the
// store is its user's alone.
#include "base/nativepath.h"
#include "catalogue/backgroundscan.h"
#include "catalogue/librarystore.h"
#include "cataloguejson.h"
#include "keptlibrary.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/processrun.h"
#include "support/temporarytree.h"
#include "web/stderrcapture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

QStringList rowsOf(const Catalogue& catalogue) {
    QStringList rows;
    for (int r = 0; r < catalogue.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            cells << catalogue.cell(c, r);
        rows << cells.join(QChar(u'|'));
    }
    return rows;
}

// What is easy to get wrong: names that are not UTF-8, Japanese names and Shift-JIS tags, a
// folder holding only a folder, one artist spelt abc and ABC, "Classic Rock" met before
// "Rock", files without a tag or too short for one, a file tagged with ID3v2 alone.
void writeOddLibrary(const QByteArray& root) {
    QVERIFY(writeMusicFile(root + "/a.mp3", 200, tagOf("One", "abc", "Album A", "1999", 1)));
    QVERIFY(writeMusicFile(root + "/b.mp3", 200, tagOf("Two", "ABC", "Album B", "2000", 17)));
    QVERIFY(writeMusicFile(root + "/untagged.mid", 200));
    QVERIFY(writeMusicFile(root + "/short.wav", 60));
    QVERIFY(writeMusicFile(root + "/Only/Sub/deep.mp3", 200, tagOf("Deep", "x", "Album A")));
    QVERIFY(writeMusicFile(root + "/\xff\xfe folder/\x82\xa0 song.mp3", 150, tagOf("", "Art")));
    QVERIFY(writeMusicFile(root + "/日本語/歌.mp3", 200,
                           tagOf("\x89\xcc", "\x83\x65\x83\x58\x83\x67", "\x89\xcc", "2024", 8)));
    const QByteArray id3v2Only =
        id3v2::tag(3, id3v2::sixFrames(3, id3v2::Utf16Bom,
                                       {"Whole title", "Björk", "Post", "1995", "(17)", ""}));
    QVERIFY(writeNativeFile(root + "/v2.mp3", id3v2Only + musicBytes(600)));
}

enum Damage {
    NoStore,
    Garbage,
    Truncated,
    OtherSchema,
    OtherVersion,
    OtherKey,
    RowOfNoFolder,
    RowMissing
};

bool runSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(pathToNative(path).constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Leaves at path what damage names.
bool spoil(const LibraryStore& store, const QString& path, Damage damage) {
    Catalogue kept;
    fillNumbered(kept, 1);
    LibraryKey otherKey = numberedKey();
    otherKey.id3v2 = true;
    switch (damage) {
    case NoStore:
        return true;
    case Garbage:
        return writeFile(path, QByteArray(20000, 'x'));
    case Truncated:
        return store.save(numberedKey(), kept) &&
               ::truncate(pathToNative(path).constData(), QFileInfo(path).size() / 2) == 0;
    case OtherSchema:
        return runSql(path, "CREATE TABLE songs(title TEXT)");
    case OtherVersion:
        return store.save(numberedKey(), kept) &&
               runSql(path, "UPDATE meta SET value = value + 1 WHERE name = 'format'");
    case OtherKey:
        return store.save(otherKey, kept) && QFile::rename(store.pathFor(otherKey), path);
    case RowOfNoFolder:
        return store.save(numberedKey(), kept) &&
               runSql(path, "UPDATE tracks SET folder = 999 WHERE id = 5");
    case RowMissing:
        return store.save(numberedKey(), kept) && runSql(path, "DELETE FROM tracks WHERE id = 10");
    }
    return false;
}

// In octal, as chmod takes it: "600".
QString modeOf(const QString& path) {
    struct stat info {};
    if (::stat(pathToNative(path).constData(), &info) != 0)
        return QStringLiteral("none");
    return QString::number(info.st_mode & 07777, 8);
}

} // namespace

class TestLibraryStore : public QObject {
    Q_OBJECT

private slots:
    void keptScanReadsBackAsTheToolPrintsIt_data() {
        QTest::addColumn<bool>("id3v2");
        dataRow("ID3v1", false);
        dataRow("ID3v2 as well", true);
    }
    void keptScanReadsBackAsTheToolPrintsIt() {
        QFETCH(bool, id3v2);
        TemporaryTree music; // removes names that are not UTF-8
        QTemporaryDir stores;
        writeOddLibrary(pathToNative(music.path()));
        const QString prefix = folderPrefixFor(music.path());
        const auto scan = scanned(music.path(), {DefaultTagCodePage, id3v2}, 0);
        const LibraryKey key{music.path(), prefix, FilePattern().text(), DefaultTagCodePage, id3v2};
        const LibraryStore store(stores.path() + "/library");
        // A clone is what is saved; the scan's own rows go meanwhile.
        Catalogue clone = scan->catalogue.clone();
        clone.setStamp(1, {1000, 2, 3, 4}); // files just written have none to keep
        scan->catalogue.clear();
        QVERIFY(store.save(key, clone));

        // What the catalogue and the lists held before gives way.
        Catalogue catalogue;
        GroupLists groups;
        catalogue.setCell(ColTitle, catalogue.appendRow(), "left over");
        groups[GroupArtist].add("left over");
        QVERIFY(store.load(key, catalogue, groups));
        QVERIFY(sameStamps(catalogue, clone)); // and the files' stamps come back with the rows

        QStringList arguments{music.path()};
        if (id3v2)
            arguments.prepend("--id3v2");
        const ProcessRun tool = runProcess(builtProgram("sonavue-catalogue"), arguments, 30000);
        QCOMPARE(tool.exitCode, 0);
        QVERIFY(tool.out.contains("\\udcff\\udcfe folder/")); // the odd names were scanned
        QCOMPARE(QByteArray::fromStdString(catalogueJson(prefix, catalogue, groups)).split('\n'),
                 tool.out.split('\n'));
    }

    void unusableStoreIsSetAside_data() {
        QTest::addColumn<int>("damage");
        QTest::addColumn<bool>("setAside");
        dataRow("no store", int(NoStore), false);
        dataRow("garbage bytes", int(Garbage), true);
        dataRow("truncated", int(Truncated), true);
        dataRow("a database of another schema", int(OtherSchema), true);
        dataRow("another format version", int(OtherVersion), true);
        dataRow("another key", int(OtherKey), true);
        dataRow("a row naming no folder", int(RowOfNoFolder), true);
        dataRow("a row missing", int(RowMissing), true);
    }
    void unusableStoreIsSetAside() {
        QFETCH(int, damage);
        QFETCH(bool, setAside);
        QTemporaryDir stores;
        const LibraryStore store(stores.path());
        const QString path = store.pathFor(numberedKey());
        QVERIFY(spoil(store, path, Damage(damage)));

        Catalogue catalogue;
        GroupLists groups;
        catalogue.setCell(ColTitle, catalogue.appendRow(), "left over");
        groups[GroupArtist].add("left over");
        {
            StderrCapture err;
            QVERIFY(!store.load(numberedKey(), catalogue, groups));
            const QByteArray lines = err.text();
            QCOMPARE(lines.count('\n'), setAside ? 1 : 0);
            QVERIFY(lines.isEmpty() || lines.startsWith("sonavue: the kept library "));
        }
        QCOMPARE(rowsOf(catalogue), QStringList("|left over||||||"));
        QCOMPARE(groups[GroupArtist].entries(), QStringList("left over"));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QFile::exists(path + ".damaged"), setAside);

        // The library is kept again from the next save on.
        Catalogue kept;
        fillNumbered(kept, 2);
        QVERIFY(store.save(numberedKey(), kept));
        QVERIFY(store.load(numberedKey(), catalogue, groups));
        QCOMPARE(rowsOf(catalogue), rowsOf(kept));
    }

    void saveSetsAsideWhatIsNoDatabase() {
        QTemporaryDir stores;
        const LibraryStore store(stores.path());
        const QString path = store.pathFor(numberedKey());
        QVERIFY(spoil(store, path, Garbage));
        Catalogue kept, loaded;
        GroupLists groups;
        fillNumbered(kept, 3);
        StderrCapture err;
        QVERIFY(store.save(numberedKey(), kept));
        QCOMPARE(err.text().count('\n'), 1);
        QVERIFY(QFile::exists(path + ".damaged"));
        QVERIFY(store.load(numberedKey(), loaded, groups));
        QCOMPARE(rowsOf(loaded), rowsOf(kept));
    }

    // Stores unused for a month go at the next save; one loaded lately stays, as do the
    // newer ones and what is not a store.
    void unusedStoresGoAtTheNextSave() {
        QTemporaryDir stores;
        const LibraryStore store(stores.path());
        Catalogue kept;
        GroupLists groups;
        fillNumbered(kept, 3);
        const auto keyOf = [](TagCodePage codePage) {
            LibraryKey key = numberedKey();
            key.codePage = codePage;
            return key;
        };
        const LibraryKey inUse = keyOf(TagCodePage::ShiftJis),
                         loadedLately = keyOf(TagCodePage::Western),
                         unused = keyOf(TagCodePage::Utf8), fresh = keyOf(TagCodePage::Auto);
        for (const LibraryKey& key : {inUse, loadedLately, unused, fresh})
            QVERIFY(store.save(key, kept));
        const QString aside = store.pathFor(unused) + ".damaged",
                      notAStore = stores.filePath("notes");
        QVERIFY(QFile::copy(store.pathFor(unused), aside) && QFile::copy(aside, notAStore));
        const timespec monthsAgo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 40 * 86400, 0}};
        for (const QString& path : {store.pathFor(inUse), store.pathFor(loadedLately),
                                    store.pathFor(unused), aside, notAStore})
            QCOMPARE(::utimensat(AT_FDCWD, pathToNative(path).constData(), monthsAgo, 0), 0);
        QVERIFY(store.load(loadedLately, kept, groups));
        QVERIFY(store.save(inUse, kept));
        QStringList left = QDir(stores.path()).entryList(QDir::Files);
        QStringList expected = {QFileInfo(store.pathFor(inUse)).fileName(),
                                QFileInfo(store.pathFor(loadedLately)).fileName(),
                                QFileInfo(store.pathFor(fresh)).fileName(), "notes"};
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
    }

    // A writer saving catalogue after catalogue is killed, at each round later into a
    // save; the store then holds the last catalogue it saved whole, or the one it was
    // saving when its save was over before the kill.
    void killedWriteLeavesAWholeStore() {
        QTemporaryDir stores;
        const LibraryStore store(stores.path());
        const QString journal = store.pathFor(numberedKey()) + "-journal";
        constexpr int Rounds = 12;
        int next = 1, killedMidWrite = 0;
        for (int round = 0; round < Rounds; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationDirPath() + "/librarystore_writer",
                         {stores.path(), QString::number(next)});
            QVERIFY(writer.waitForStarted());
            QVERIFY(writer.waitForReadyRead(60000)); // one save of this writer is over
            // The kill moment is what varies, not a wait for an outcome: a write under way
            // (its journal is there), then round milliseconds later.
            const QDeadlineTimer deadline(60000);
            while (!QFile::exists(journal) && !deadline.hasExpired())
                QThread::usleep(100);
            QThread::usleep(unsigned(round) * 1000);
            killedMidWrite += QFile::exists(journal) ? 1 : 0;
            QCOMPARE(::kill(pid_t(writer.processId()), SIGKILL), 0);
            QVERIFY(writer.waitForFinished());
            const QList<QByteArray> saved = writer.readAllStandardOutput().trimmed().split('\n');
            const int last = saved.last().toInt();

            Catalogue loaded;
            GroupLists groups;
            QVERIFY(store.load(numberedKey(), loaded, groups));
            const int k = loaded.cell(ColComment, 0).toInt();
            QVERIFY2(k == last || k == last + 1,
                     qPrintable(QString("%1 after %2").arg(k).arg(last)));
            Catalogue expected;
            fillNumbered(expected, k);
            QCOMPARE(rowsOf(loaded), rowsOf(expected));
            next = last + 2;
        }
        qInfo("%d of %d kills came while a write was under way", killedMidWrite, Rounds);
    }

    void storeIsItsUsersAlone_data() {
        QTest::addColumn<bool>("thereBefore");
        dataRow("made by the save", false);
        dataRow("there before, open to all", true);
    }
    void storeIsItsUsersAlone() {
        QFETCH(bool, thereBefore);
        QTemporaryDir root;
        const QString folder = root.path() + "/cache/library";
        const LibraryStore store(folder);
        const QString path = store.pathFor(numberedKey());
        if (thereBefore) {
            QVERIFY(writeFile(path, QByteArray()));
            QCOMPARE(::chmod(pathToNative(folder).constData(), 0777), 0);
            QCOMPARE(::chmod(pathToNative(path).constData(), 0666), 0);
        }
        Catalogue kept;
        fillNumbered(kept, 1);
        const mode_t umaskBefore = ::umask(0); // the modes must not come from the umask
        const bool saved = store.save(numberedKey(), kept);
        ::umask(umaskBefore);
        QVERIFY(saved);
        QCOMPARE(modeOf(folder), QStringLiteral("700"));
        QCOMPARE(modeOf(path), QStringLiteral("600"));
    }
};

QTEST_GUILESS_MAIN(TestLibraryStore)
#include "test_catalogue_librarystore.moc"
