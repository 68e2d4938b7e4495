// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The folder walk against trees built to trap it: webs of links, links into /proc and
// /sys, paths longer than PATH_MAX and names beginning with the bytes EF BB BF.
#include "base/nativepath.h"
#include "catalogue/filelisting.h"
#include "catalogue/folderscan.h"
#include "catalogue/nativefolder.h"
#include "catalogue/pseudofilesystem.h"
#include "scanoutcome.h"
#include "support/datarow.h"
#include "tags/genre.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// Counts the scan's yields and stops it past a bound, so that a walk that would run for
// ever (or for hours) ends the test with a failure instead.
class BoundedObserver : public ScanObserver {
public:
    BoundedObserver(FolderScan& scan, int bound) : m_scan(scan), m_bound(bound) {}
    int yields = 0;
    void letEventsRun() override {
        if (++yields > m_bound)
            m_scan.stop();
    }

private:
    FolderScan& m_scan;
    int m_bound;
};

struct Scan : ScanRig {
    FolderScan::Result result = FolderScan::Result::Finished;
    int yields = 0;

    Scan(const QString& folder, int yieldBound) {
        BoundedObserver observer(scan, yieldBound);
        result = scan.run(folder, folderPrefixFor(folder), FilePattern(), observer);
        yields = observer.yields;
    }
};

// Folders d0..d<last>, each with one music file t<i>.mp3 and two links, x and y, to the
// next folder: 2^last routes lead from d0 to the last folder.
void makeLinkWeb(const QByteArray& root, int last) {
    for (int i = 0; i <= last; ++i) {
        const QByteArray folder = root + "/d" + QByteArray::number(i);
        QVERIFY(writeMusicFile(folder + "/t" + QByteArray::number(i) + ".mp3", 200));
        if (i == last)
            break;
        const QByteArray next = "../d" + QByteArray::number(i + 1);
        QCOMPARE(::symlink(next.constData(), (folder + "/x").constData()), 0);
        QCOMPARE(::symlink(next.constData(), (folder + "/y").constData()), 0);
    }
}

// Makes the folder name inside dirFd and returns it open (-1 on failure).
int makeFolderAt(int dirFd, const QByteArray& name) {
    ::mkdirat(dirFd, name.constData(), 0755);
    return ::openat(dirFd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool writeFileAt(int dirFd, const QByteArray& name, const QByteArray& content) {
    const int fd =
        ::openat(dirFd, name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    ::close(fd);
    return ok;
}

const QByteArray Bom = "\xEF\xBB\xBF";

} // namespace

class TestHostileFolders : public QObject {
    Q_OBJECT

private slots:
    void linkWebIsWalkedOncePerFolder() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        constexpr int Last = 20;
        makeLinkWeb(root, Last);
        // Every route walked would be 2^20 walks; each folder once is a few yields apiece.
        const Scan s(dir.path() + "/d0", 20 * (Last + 1));
        QCOMPARE(s.result, FolderScan::Result::Finished);
        QCOMPARE(s.catalogue.rowCount(), Last + 1);
        QSet<QString> files;
        for (const QString& title : s.column(ColTitle))
            files.insert(title);
        QCOMPARE(files.size(), Last + 1);
        // The walk takes the last listed subfolder first, so y reaches each folder first and
        // lists it; the routes through x are not walked again.
        const QStringList folders = s.groups[GroupFolder].entries();
        QCOMPARE(folders.size(), Last + 1);
        QCOMPARE(folders.first(), QString());
        QCOMPARE(folders.at(1), QStringLiteral("y/"));
        QCOMPARE(folders.last(), QStringLiteral("y/").repeated(Last));
    }
    void linksIntoPseudoFileSystemsAreNotWalked() {
        QTemporaryDir dir;
        const QByteArray root = pathToNative(dir.path());
        QVERIFY(writeMusicFile(root + "/song.mp3", 200));
        for (const char* target : {"/proc", "/sys", "/dev", "/proc/thread-self/root",
                                   "/proc/self/cwd", "/sys/fs/cgroup"}) {
            const QByteArray link = root + "/to" + QByteArray(target).replace('/', '_');
            QCOMPARE(::symlink(target, link.constData()), 0);
        }
        // /proc/thread-self/root leads to / and the others to thousands of folders.
        const Scan s(dir.path(), 200);
        QCOMPARE(s.result, FolderScan::Result::Finished);
        QCOMPARE(s.groups[GroupFolder].entries(), QStringList({QString()}));
        QCOMPARE(s.column(ColTitle), QStringList({"song.mp3"}));
    }
    void musicFolderOnPseudoFileSystem_data() {
        QTest::addColumn<QString>("folder");
        dataRow("proc", "/proc");
        dataRow("sys", "/sys");
        dataRow("a process's root", "/proc/self/root");
    }
    void musicFolderOnPseudoFileSystem() {
        QFETCH(QString, folder);
        const Scan s(folder, 100);
        QCOMPARE(s.result, FolderScan::Result::Finished);
        QCOMPARE(s.catalogue.rowCount(), 0);
        QVERIFY(s.yields <= 1); // the music folder itself, never entered
    }
    void fileSystemDecision_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("enter");
        dataRow("proc", "/proc", false);
        dataRow("sys", "/sys", false);
        dataRow("devpts", "/dev/pts", false);
        dataRow("root", "/", true);
        dataRow("temporary folder", QDir::tempPath(), true);
        // devtmpfs reports tmpfs's f_type: only the mount table tells it apart, and a
        // container's /dev may be a plain tmpfs.
        const QByteArray mounts = readNativeFile("/proc/self/mountinfo");
        struct stat st {};
        if (::stat("/dev", &st) == 0 && mountTypeOf(mounts, st.st_dev) == "devtmpfs")
            dataRow("devtmpfs", "/dev", false);
        if (::stat("/dev/shm", &st) == 0 && mountTypeOf(mounts, st.st_dev) == "tmpfs")
            dataRow("tmpfs", "/dev/shm", true);
    }
    void fileSystemDecision() {
        QFETCH(QString, folder);
        QFETCH(bool, enter);
        NativeFolder open(pathToNative(folder));
        if (!open.isOpen())
            QSKIP("the folder is not there on this machine");
        NativeFolder::Stamp stamp;
        QVERIFY(open.stamp(stamp));
        FileSystemFilter filter;
        QCOMPARE(filter.mayEnter(open.fd(), stamp.device), enter);
        QCOMPARE(filter.mayEnter(open.fd(), stamp.device), enter); // the remembered answer
    }
    void fileSystemNames() {
        for (const char* name : {"proc", "sysfs", "devtmpfs", "cgroup", "cgroup2", "debugfs",
                                 "tracefs", "securityfs", "pstore", "bpf", "configfs"})
            QVERIFY2(isPseudoFileSystemName(name), name);
        for (const char* name : {"ext4", "tmpfs", "nfs", "fuse.sshfs", "", "proc2"})
            QVERIFY2(!isPseudoFileSystemName(name), name);

        const QByteArray table = "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                                 "24 27 0:6 / /dev rw,relatime shared:2 - devtmpfs udev rw\n"
                                 "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                                 "broken line\n";
        QCOMPARE(mountTypeOf(table, makedev(0, 6)), QByteArray("devtmpfs"));
        QCOMPARE(mountTypeOf(table, makedev(254, 0)), QByteArray("ext4"));
        QCOMPARE(mountTypeOf(table, makedev(8, 1)), QByteArray());
    }
    void pathsLongerThanPathMax() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        // 24 folders of 200-byte names: the deepest file's path is past 4,800 bytes.
        constexpr int Levels = 24;
        const int top = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(top >= 0);
        QByteArray expectedMiddle, expectedDeep = root;
        int folder = top;
        for (int level = 0; level < Levels; ++level) {
            const QByteArray name = QByteArray(199, 'n') + char('a' + level);
            const int next = makeFolderAt(folder, name);
            if (folder != top)
                ::close(folder);
            QVERIFY(next >= 0);
            folder = next;
            expectedDeep += '/' + name;
            if (level == Levels / 2) {
                QVERIFY(writeFileAt(folder, "middle.mp3",
                                    QByteArray(100, 'm') + tagRecord(tagOf("Middle"))));
                expectedMiddle = expectedDeep + "/middle.mp3";
            }
        }
        QVERIFY(writeFileAt(folder, "deep.mp3", QByteArray(100, 'd') + tagRecord(tagOf("Deep"))));
        ::close(folder);
        expectedDeep += "/deep.mp3";
        QVERIFY(expectedDeep.size() > PATH_MAX);

        ::close(top);
        const Scan s(dir.path(), 1000);
        QCOMPARE(s.result, FolderScan::Result::Finished);
        // The titles come from the tags, so both files were read through their folders.
        QCOMPARE(s.column(ColTitle), QStringList({"Middle", "Deep"}));
        QCOMPARE(pathToNative(s.catalogue.cell(ColPath, 0)), expectedMiddle);
        QCOMPARE(pathToNative(s.catalogue.cell(ColPath, 1)), expectedDeep);
    }
    void treeTooDeepIsCut() {
        // The walk recurses and each level holds its path: an endless-looking chain of
        // folders is cut at 1,024 levels instead of exhausting the stack.
        TemporaryTree dir;
        int folder =
            ::open(pathToNative(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 1; level <= 1100 && folder >= 0; ++level) {
            const int next = makeFolderAt(folder, "a");
            ::close(folder);
            folder = next;
            if (level == 1024)
                QVERIFY(writeFileAt(folder, "last.mp3", "x"));
        }
        QVERIFY(folder >= 0);
        QVERIFY(writeFileAt(folder, "past.mp3", "x"));
        ::close(folder);

        const Scan s(dir.path(), 4000);
        QCOMPARE(s.result, FolderScan::Result::Finished);
        QCOMPARE(s.column(ColTitle), QStringList({"last.mp3"}));
        QCOMPARE(s.scan.foldersBeyondLimits(), 1);
    }
    void namesBeginningWithByteOrderMark() {
        TemporaryTree dir;
        const QByteArray root = pathToNative(dir.path());
        const QList<QByteArray> files = {
            root + "/" + Bom + "bom.mp3", root + "/" + Bom + "Album/" + Bom + Bom + "two.mp3",
            root + "/\xff" + Bom + "x.mp3", // escaped byte, then the mark
        };
        QVERIFY(writeMusicFile(files[0], 150));
        QVERIFY(writeMusicFile(files[1], 150, tagOf("Two")));
        QVERIFY(writeMusicFile(files[2], 150));

        const Scan s(dir.path(), 1000);
        const QChar mark(0xFEFF);
        QCOMPARE(s.groups[GroupFolder].entries(),
                 QStringList({"", mark + QStringLiteral("Album/")}));
        QCOMPARE(s.catalogue.rowCount(), 3);
        QSet<QByteArray> paths;
        for (const QString& path : s.column(ColPath)) {
            const QByteArray native = pathToNative(path);
            paths.insert(native);
            QCOMPARE(readNativeFile(native).size(), native.endsWith("two.mp3") ? 150 + 128 : 150);
        }
        QCOMPARE(paths, QSet<QByteArray>(files.begin(), files.end()));
        QVERIFY(s.column(ColTitle).contains(mark + QStringLiteral("bom.mp3")));
        QVERIFY(s.column(ColTitle).contains(QStringLiteral("Two")));
        // The listing functions keep the mark too.
        QCOMPARE(listSubfolders(dir.path()), QStringList({dir.path() + "/" + mark + "Album"}));
    }
};

QTEST_GUILESS_MAIN(TestHostileFolders)
#include "test_catalogue_hostilefolders.moc"
