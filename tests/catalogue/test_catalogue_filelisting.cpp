// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// File-type patterns and the folder and file listings on a real folder.
#include "base/nativepath.h"
#include "catalogue/filelisting.h"
#include "catalogue/grouplist.h"
#include "catalogue/nativefolder.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/temporarytree.h"
#include "tags/containertags.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

class TestFileListing : public QObject {
    Q_OBJECT

private slots:
    void patternFor_data() {
        QTest::addColumn<bool>("mp3");
        QTest::addColumn<bool>("mid");
        QTest::addColumn<bool>("wav");
        QTest::addColumn<unsigned>("extraTypes");
        QTest::addColumn<QString>("pattern");
        dataRow("all", true, true, true, 0u, "*.MP3;*.mid;*.wav");
        dataRow("mp3 alone", true, false, false, 0u, "*.MP3");
        dataRow("mp3 and wav", true, false, true, 0u, "*.MP3;*.wav");
        dataRow("mid alone", false, true, false, 0u, ";*.mid");
        dataRow("none", false, false, false, 0u, "");
        dataRow("opt-in types after the boxes", true, false, true, unsigned(ExtraM4a | ExtraOgg),
                "*.MP3;*.wav;*.ogg;*.m4a");
        dataRow("every type", true, true, true, AllExtraTypes,
                "*.MP3;*.mid;*.wav;*.flac;*.ogg;*.opus;*.m4a");
        dataRow("opt-in types alone", false, false, false, unsigned(ExtraFlac), ";*.flac");
    }
    void patternFor() {
        QFETCH(bool, mp3);
        QFETCH(bool, mid);
        QFETCH(bool, wav);
        QFETCH(unsigned, extraTypes);
        QFETCH(QString, pattern);
        QCOMPARE(filePatternFor(mp3, mid, wav, extraTypes), pattern);
    }
    void patternMatches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        const QString all = filePatternFor(true, true, true);
        dataRow("lower mp3", all, "a.mp3", true);
        dataRow("upper MP3", all, "A.MP3", true);
        dataRow("mixed Mid", all, "song.Mid", true);
        dataRow("upper WAV", all, "x.WAV", true);
        dataRow("other type", all, "cover.jpg", false);
        dataRow("extension only inside", all, "a.mp3.part", false);
        dataRow("no dot", all, "mp3", false);
        dataRow("initial pattern", FilePattern().text(), "b.MID", true);
        dataRow("mp3 alone skips mid", filePatternFor(true, false, false), "b.mid", false);
        dataRow("mp3 alone skips wav", filePatternFor(true, false, false), "b.wav", false);
        dataRow("mp3 alone takes mp3", filePatternFor(true, false, false), "b.mp3", true);
        dataRow("empty pattern", "", "a.mp3", false);
        dataRow("star", "*", "anything", true);
        dataRow("star dot star", "*.*", "x", true);
        dataRow("wildcard", "a?.mp3", "AB.MP3", true);
        dataRow("wildcard miss", "a?.mp3", "abc.mp3", false);
        dataRow("non-ASCII name", all, QString::fromUtf8("曲.mp3"), true);
        dataRow("non-ASCII extension", QString::fromUtf8("*.ÄX"), QString::fromUtf8("a.äx"), true);
    }
    void patternMatches() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        const FilePattern filePattern(pattern);
        QCOMPARE(filePattern.matches(name), matches);
        const QByteArray native = pathToNative(name);
        QCOMPARE(filePattern.matchesNative(native.constData(), std::size_t(native.size())),
                 matches);
    }
    void listsRegularMusicFilesInOrder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray root = pathToNative(dir.path());
        for (const char* name : {"b.mp3", "A.MP3", "c.Wav", "cover.jpg", ".hidden.mp3", "d.mid"})
            QVERIFY(writeMusicFile(root + "/" + name, 10));
        QVERIFY(writeMusicFile(root + "/real.bin", 10));
        QCOMPARE(::symlink("real.bin", (root + "/link.mp3").constData()), 0);
        QCOMPARE(::symlink("missing", (root + "/dangling.mp3").constData()), 0);
        QCOMPARE(::mkfifo((root + "/fifo.mp3").constData(), 0644), 0);
        QCOMPARE(::mkdir((root + "/folder.mp3").constData(), 0755), 0);

        bool ok = false;
        const QStringList files = listFiles(dir.path(), FilePattern(), &ok);
        QVERIFY(ok);
        QCOMPARE(files, QStringList({"A.MP3", "b.mp3", "c.Wav", "d.mid", "link.mp3"}));
        QCOMPARE(listFiles(dir.path(), FilePattern(filePatternFor(true, false, false))),
                 QStringList({"A.MP3", "b.mp3", "link.mp3"}));
    }
    void listsSubfoldersInOrder() {
        TemporaryTree dir; // names QDir cannot remove
        QVERIFY(dir.isValid());
        const QByteArray root = pathToNative(dir.path());
        for (const char* name : {"beta", "Alpha", "gamma.mp3", ".hidden"})
            QCOMPARE(::mkdir((root + "/" + name).constData(), 0755), 0);
        QCOMPARE(::symlink("beta", (root + "/delta").constData()), 0);
        QVERIFY(writeMusicFile(root + "/file.mp3", 10));
        QCOMPARE(::mkdir((root + "/\xff").constData(), 0755), 0);

        bool ok = false;
        const QStringList folders = listSubfolders(dir.path() + "/", &ok);
        QVERIFY(ok);
        const QString base = dir.path() + "/";
        QCOMPARE(folders, QStringList({base + "Alpha", base + "beta", base + "delta",
                                       base + "gamma.mp3", base + QChar(0xDCFF)}));
        QCOMPARE(pathToNative(folders.last()), root + "/\xff");
    }
    void missingFolderListsNothing() {
        QTemporaryDir dir;
        bool ok = true;
        QVERIFY(listFiles(dir.path() + "/missing", FilePattern(), &ok).isEmpty());
        QVERIFY(!ok);
        ok = true;
        QVERIFY(listSubfolders(dir.path() + "/missing", &ok).isEmpty());
        QVERIFY(!ok);
        QVERIFY(writeMusicFile(dir.path() + "/plain.mp3", 10));
        QVERIFY(listFiles(dir.path() + "/plain.mp3", FilePattern(), &ok).isEmpty());
        QVERIFY(!ok);
    }
    // Plain ASCII names are sorted by their bytes: the order must be the text order of the
    // group lists, alone and mixed with names that are not ASCII, and name() must give the
    // text whether the list kept it or not.
    void namesSortAsTheirText() {
        // Letters around the case boundary, the punctuation between 'Z' and 'a', digits,
        // prefixes of one another, UTF-8 and bytes that are not UTF-8.
        const QList<QByteArray> alphabet = {"a",
                                            "A",
                                            "b",
                                            "B",
                                            "z",
                                            "Z",
                                            "_",
                                            "[",
                                            "`",
                                            "{",
                                            "~",
                                            "0",
                                            "9",
                                            " ",
                                            "-",
                                            ".",
                                            "\xc3\xa9",
                                            "\xc3\x89",
                                            "\xe3\x81\x82",
                                            "\xff"};
        QRandomGenerator random(20261207);
        for (int round = 0; round < 400; ++round) {
            const bool asciiOnly = round % 2 == 0;
            QList<QByteArray> names;
            for (int n = 0; n < 12; ++n) {
                QByteArray name;
                const int length = 1 + int(random.bounded(5));
                for (int k = 0; k < length; ++k)
                    name += alphabet[int(random.bounded(asciiOnly ? 16 : alphabet.size()))];
                if (!names.contains(name))
                    names << name;
            }
            NameList list;
            for (const QByteArray& name : names)
                list.add(name.constData(), std::size_t(name.size()));
            list.sort();
            QStringList expected;
            for (const QByteArray& name : names)
                expected << pathFromNative(name.constData(), name.size());
            std::stable_sort(expected.begin(), expected.end(), lessAscending);
            QStringList sorted, fromBytes;
            for (int i = 0; i < list.count(); ++i) {
                sorted << list.name(i);
                fromBytes << pathFromNative(list.native(i), list.nativeSize(i));
            }
            QCOMPARE(sorted, expected);
            QCOMPARE(fromBytes, expected);
            list.releaseNames();
            for (int i = 0; i < list.count(); ++i)
                QCOMPARE(list.name(i), expected[i]);
        }
    }
};

QTEST_GUILESS_MAIN(TestFileListing)
#include "test_catalogue_filelisting.moc"
