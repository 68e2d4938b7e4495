// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The folder chooser: where the dialog opens, and which choices count as folders.
#include "support/datarow.h"
#include "ui/settings/folderchooser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using sonavue::testing::dataRow;

Q_DECLARE_METATYPE(sonavue::FolderCheck)

class FolderChooserTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QDir root(m_dir.path());
        QVERIFY(root.mkpath(QStringLiteral("Music/Jazz")));
        QVERIFY(root.mkdir(QStringLiteral("a")));
        QVERIFY(root.mkdir(QStringLiteral("ab")));
        QVERIFY(root.mkdir(QStringLiteral("locked")));
        QVERIFY(root.mkdir(QStringLiteral("with space ")));
        QFile file(path(QStringLiteral("song.mp3")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::link(path(QStringLiteral("Music")), path(QStringLiteral("linked"))));
        QVERIFY(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling"))));
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
        QCOMPARE(::chmod(QFile::encodeName(path(QStringLiteral("locked"))).constData(), 0), 0);
        // A folder path of more than 255 characters.
        QString relative;
        for (int i = 0; i < 5; ++i)
            relative += QLatin1Char('/') + QString(60, QLatin1Char('d' + i));
        QVERIFY(root.mkpath(relative.mid(1)));
        m_longPath = m_dir.path() + relative;
        QVERIFY(m_longPath.size() > 255);
    }
    void dialogStart_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("expectedStart");
        QTest::addColumn<QString>("answer");
        const QString music = path(QStringLiteral("Music"));
        dataRow("existing folder", music, music, path(QStringLiteral("Music/Jazz")));
        dataRow("spaces around", "  " + music + "   ", music, music);
        dataRow("empty", "", "", music);
        dataRow("only spaces", "    ", "", music);
        dataRow("missing folder", path(QStringLiteral("nowhere")), "", music);
        dataRow("a file", path(QStringLiteral("song.mp3")), "", music);
        dataRow("cancelled", music, music, "");
        // Only spaces are trimmed: a trailing tab leaves a name that is no folder.
        dataRow("tab is not trimmed", music + "\t", "", music);
    }
    void dialogStart() {
        QFETCH(QString, initial);
        QFETCH(QString, expectedStart);
        QFETCH(QString, answer);
        QWidget owner;
        int calls = 0;
        QWidget* seenOwner = nullptr;
        QString seenTitle, seenStart;
        const FolderDialog fake = [&](QWidget* o, const QString& title, const QString& start) {
            ++calls;
            seenOwner = o;
            seenTitle = title;
            seenStart = start;
            return answer;
        };
        QCOMPARE(browseForFolder(&owner, initial, fake), answer);
        QCOMPARE(calls, 1);
        QCOMPARE(seenOwner, &owner);
        QCOMPARE(seenTitle, QStringLiteral("フォルダを指定してください。"));
        QCOMPARE(seenStart, expectedStart);
    }
    void check_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<FolderCheck>("expected");
        dataRow("folder", path(QStringLiteral("Music")), FolderCheck::Valid);
        dataRow("folder with trailing separator", path(QStringLiteral("Music/")),
                FolderCheck::Valid);
        dataRow("one-character name", path(QStringLiteral("a")), FolderCheck::Valid);
        dataRow("two-character name", path(QStringLiteral("ab")), FolderCheck::Valid);
        dataRow("root", "/", FolderCheck::Valid);
        dataRow("name ending in a space", path(QStringLiteral("with space ")), FolderCheck::Valid);
        dataRow("link to a folder", path(QStringLiteral("linked")), FolderCheck::Valid);
        dataRow("path over 255 characters", QString(), FolderCheck::Valid);
        dataRow("missing", path(QStringLiteral("nowhere")), FolderCheck::NotAFolder);
        dataRow("file", path(QStringLiteral("song.mp3")), FolderCheck::NotAFolder);
        dataRow("pipe", path(QStringLiteral("pipe")), FolderCheck::NotAFolder);
        dataRow("dangling link", path(QStringLiteral("dangling")), FolderCheck::NotAFolder);
        dataRow("empty", QString(""), FolderCheck::NotAFolder);
        dataRow("unreadable", path(QStringLiteral("locked")), FolderCheck::Unreadable);
    }
    void check() {
        QFETCH(QString, chosen);
        QFETCH(FolderCheck, expected);
        if (QByteArray(QTest::currentDataTag()) == "path over 255 characters")
            chosen = m_longPath;
        if (expected == FolderCheck::Unreadable && ::geteuid() == 0)
            QSKIP("the superuser reads every folder");
        QCOMPARE(checkChosenFolder(chosen), expected);
    }

private:
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    QTemporaryDir m_dir;
    QString m_longPath;
};

QTEST_MAIN(FolderChooserTest)
#include "test_ui_parts_folderchooser.moc"
