// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The settings file on disk: which files a write may replace (links, other users' files,
// read-only files), leftovers of killed writes, and two writers at once.
#include "base/settings.h"
#include "base/settingsfile.h"
#include "support/datarow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {

constexpr uid_t nobody = 65534;
const QByteArray settingsText = "[init]\nalph=100\n";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// A pid that certainly ran and has ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

bool makeOld(const QString& path) {
    const timeval hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    return ::utimes(native(path).constData(), hourAgo) == 0;
}

enum class Place {
    OwnFile,
    OwnLink,
    ReadOnlyFile,
    OtherUsersFile,
    LinkToOtherUsersFile,
    LinkMadeByOtherUser,
    LinkToNonSettingsFile,
    DanglingLink,
};

} // namespace

Q_DECLARE_METATYPE(Place)

class SettingsFileTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Builds the case in the temporary folder; returns the file the link leads to (or the
    // settings file itself) and the bytes it must keep when the write is refused.
    QString build(Place place, const QString& settings) {
        const QString target = path("elsewhere.ini");
        const bool root = ::geteuid() == 0;
        switch (place) {
        case Place::OwnFile:
        case Place::ReadOnlyFile:
        case Place::OtherUsersFile:
            putFile(settings, settingsText);
            if (place == Place::ReadOnlyFile)
                ::chmod(native(settings).constData(), 0444);
            if (place == Place::OtherUsersFile && root)
                ::chown(native(settings).constData(), nobody, nobody);
            return settings;
        case Place::DanglingLink:
            QFile::link(target, settings);
            return target;
        case Place::LinkToNonSettingsFile:
            putFile(target, "root:x:0:0:root:/root:/bin/bash\n");
            QFile::link(target, settings);
            return target;
        default:
            putFile(target, settingsText);
            QFile::link(target, settings);
            if (place == Place::LinkToOtherUsersFile && root)
                ::chown(native(target).constData(), nobody, nobody);
            if (place == Place::LinkMadeByOtherUser && root)
                ::lchown(native(settings).constData(), nobody, nobody);
            return target;
        }
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Only this user's own regular file, not read-only, is rewritten; a link of this user's
    // to such a settings file is followed and stays a link. Everything refused is left
    // exactly as it was, and a link never creates the file it points to.
    void writesOnlyTheUsersOwnSettingsFile_data() {
        QTest::addColumn<Place>("place");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("needsRoot"); // changing a file's owner needs root
        dataRow("own file", Place::OwnFile, true, false);
        dataRow("link to own settings file", Place::OwnLink, true, false);
        dataRow("read-only file", Place::ReadOnlyFile, false, false);
        dataRow("another user's file", Place::OtherUsersFile, false, true);
        dataRow("link to another user's file", Place::LinkToOtherUsersFile, false, true);
        dataRow("link made by another user", Place::LinkMadeByOtherUser, false, true);
        dataRow("link to a file that is no settings file", Place::LinkToNonSettingsFile, false,
                false);
        dataRow("link to no file", Place::DanglingLink, false, false);
    }
    void writesOnlyTheUsersOwnSettingsFile() {
        QFETCH(Place, place);
        QFETCH(bool, written);
        QFETCH(bool, needsRoot);
        if (needsRoot && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        const QString settings = path("Sonavue.ini");
        const QString target = build(place, settings);
        const QByteArray before = fileBytes(target);
        struct stat old {};
        ::lstat(native(target).constData(), &old);

        QCOMPARE(writeIniValue(settings, "init", "alph", "200"), written);
        QCOMPARE(writeIniValue(settings, "init", "alph", "201"), written);
        const bool link = place != Place::OwnFile && place != Place::ReadOnlyFile &&
                          place != Place::OtherUsersFile;
        QCOMPARE(QFileInfo(settings).isSymLink(), link);
        if (written) {
            QCOMPARE(fileBytes(target), QByteArray("[init]\nalph=201\n"));
            return;
        }
        QCOMPARE(fileBytes(target), before);
        struct stat now {};
        ::lstat(native(target).constData(), &now);
        QCOMPARE(now.st_ino, old.st_ino);
        QCOMPARE(now.st_mode, old.st_mode);
        QCOMPARE(now.st_uid, old.st_uid);
        QCOMPARE(QDir(m_dir->path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // A write killed mid-way leaves its temporary file; the next start removes those whose
    // writer is gone (or that are too old to be anyone's write in progress), and nothing else.
    void leftoversOfKilledWritesGo() {
        const QString settings = path("Sonavue.ini");
        QVERIFY(putFile(settings, settingsText));
        const QString dead = QString::number(endedProcess());
        const QString alive = QString::number(::getpid());
        const QStringList gone = {".Sonavue.ini." + dead + ".0.tmp",
                                  ".Sonavue.ini." + dead + ".17.tmp",
                                  ".Sonavue.ini." + alive + ".3.tmp"}; // made old below
        const QStringList kept = {".Sonavue.ini." + alive + ".4.tmp",  // a write in progress
                                  ".Other.ini." + dead + ".0.tmp",     // another file's
                                  ".Sonavue.ini." + dead + ".x.tmp",   // not our name
                                  "Sonavue.ini." + dead + ".0.tmp", "notes.txt"};
        for (const QString& name : gone + kept)
            QVERIFY(putFile(path(name), "partial"));
        QVERIFY(makeOld(path(gone.last())));
        // A link named like a leftover is not a file of ours to remove.
        QVERIFY(QFile::link(path("notes.txt"), path(".Sonavue.ini." + dead + ".9.tmp")));

        removeLeftoverRewrites(native(settings));

        for (const QString& name : gone)
            QVERIFY2(!QFileInfo::exists(path(name)), qPrintable(name));
        for (const QString& name : kept)
            QVERIFY2(QFileInfo::exists(path(name)), qPrintable(name));
        QVERIFY(QFileInfo(path(".Sonavue.ini." + dead + ".9.tmp")).isSymLink());
        QCOMPARE(fileBytes(settings), settingsText);
    }

    // Leftovers of a linked settings file lie beside its target.
    void leftoversBesideTheLinkTarget() {
        QVERIFY(QDir().mkpath(path("real")));
        QVERIFY(putFile(path("real/Sonavue.ini"), settingsText));
        QVERIFY(QFile::link(path("real/Sonavue.ini"), path("Sonavue.ini")));
        const QString leftover =
            path("real/.Sonavue.ini." + QString::number(endedProcess()) + ".0.tmp");
        QVERIFY(putFile(leftover, "partial"));
        removeLeftoverRewrites(native(path("Sonavue.ini")));
        QVERIFY(!QFileInfo::exists(leftover));
    }

    // Two writers (two players of one user) writing different keys at the same time: each
    // read-modify-write sees the other's keys, so none is lost.
    void twoWritersLoseNoKey() {
        const QString settings = path("Sonavue.ini");
        QVERIFY(putFile(settings, "[init]\n"));
        constexpr int keysEach = 60;
        const auto writer = [&settings](char name) {
            for (int i = 0; i < keysEach; ++i)
                writeIniValue(settings, "init", QStringLiteral("%1%2").arg(name).arg(i),
                              QString::number(i));
        };
        std::thread first(writer, 'a');
        std::thread second(writer, 'b');
        first.join();
        second.join();
        QStringList lost;
        for (const char name : {'a', 'b'})
            for (int i = 0; i < keysEach; ++i) {
                const QString key = QStringLiteral("%1%2").arg(name).arg(i);
                if (readIniValue(settings, "init", key, "<lost>") != QString::number(i))
                    lost << key;
            }
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(' ')));
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_base_settingsfile.moc"
