// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The documents folder as the Linux desktop names it.
#include "base/userfolders.h"
#include "support/datarow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using sonavue::testing::dataRow;

class UserFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        m_oldHome = qgetenv("HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(".config")));
        QVERIFY(QDir(m_home.path()).mkpath(".config"));
    }
    void cleanupTestCase() {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    void personalFolder_data() {
        QTest::addColumn<QByteArray>("userDirsLine"); // XDG_DOCUMENTS_DIR line, or empty
        QTest::addColumn<QString>("create");          // folder below home to create, or empty
        QTest::addColumn<QString>("expected");        // below home; empty means home itself
        dataRow("xdg folder", QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papers\""), "Papers", "Papers");
        dataRow("japanese name", QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\""),
                QString::fromUtf8("ドキュメント"), QString::fromUtf8("ドキュメント"));
        dataRow("trailing separator", QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papers/\""), "Papers",
                "Papers");
        dataRow("xdg folder missing", QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Gone\""), QString(),
                QString());
        dataRow("no xdg entry, Documents exists", QByteArray(), "Documents", "Documents");
        dataRow("no xdg entry, nothing exists", QByteArray(), QString(), QString());
    }
    void personalFolder() {
        QFETCH(QByteArray, userDirsLine);
        QFETCH(QString, create);
        QFETCH(QString, expected);
        for (const QString& name : QDir(m_home.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (name != QLatin1String(".config"))
                QVERIFY(QDir(m_home.filePath(name)).removeRecursively());
        writeUserDirs(userDirsLine);
        if (!create.isEmpty())
            QVERIFY(QDir(m_home.path()).mkpath(create));

        const QString want = expected.isEmpty() ? m_home.path() : m_home.filePath(expected);
        QCOMPARE(sonavue::personalFolder(), want);
        QCOMPARE(specialFolderPath(PersonalFolderId), want);
        QVERIFY(!sonavue::personalFolder().endsWith(QLatin1Char('/')));
        QVERIFY(!sonavue::personalFolder().contains(QChar(0)));
    }
    void defaultMusicFolder_data() {
        QTest::addColumn<QString>("create"); // folders below home, separated by ","
        QTest::addColumn<QString>("expected");
        dataRow("music folder first", "Music,Documents", "Music");
        dataRow("no music folder: documents", "Documents", "Documents");
        dataRow("neither: home", "", "");
    }
    void defaultMusicFolder() {
        QFETCH(QString, create);
        QFETCH(QString, expected);
        for (const QString& name : QDir(m_home.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (name != QLatin1String(".config"))
                QVERIFY(QDir(m_home.filePath(name)).removeRecursively());
        writeUserDirs(QByteArray());
        for (const QString& folder : create.split(QLatin1Char(','), Qt::SkipEmptyParts))
            QVERIFY(QDir(m_home.path()).mkpath(folder));
        QCOMPARE(sonavue::defaultMusicFolder(),
                 expected.isEmpty() ? m_home.path() : m_home.filePath(expected));
    }
    void unknownIdsAreEmpty_data() {
        QTest::addColumn<int>("id");
        dataRow("-1", -1);
        dataRow("3 (control panel, virtual)", 3);
        dataRow("9999", 9999);
    }
    void unknownIdsAreEmpty() {
        QFETCH(int, id);
        QVERIFY(specialFolderPath(id).isEmpty());
    }
    void trimAtNul_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        dataRow("trailing nuls", QString("/home/u/Documents") + QString(5, QChar(0)),
                "/home/u/Documents");
        dataRow("nul inside", QString("ab") + QChar(0) + "cd", "ab");
        dataRow("no nul", "plain", "plain");
        dataRow("nul first", QString(QChar(0)) + "x", "");
        dataRow("empty", "", "");
    }
    void trimAtNul() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(sonavue::trimAtNul(text), expected);
    }

private:
    void writeUserDirs(const QByteArray& documentsLine) {
        QFile file(m_home.filePath(".config/user-dirs.dirs"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("# written by the test\n");
        if (!documentsLine.isEmpty())
            file.write(documentsLine + "\n");
    }

    QTemporaryDir m_home;
    QByteArray m_oldHome, m_oldConfig;
};

QTEST_GUILESS_MAIN(UserFoldersTest)
#include "test_base_userfolders.moc"
