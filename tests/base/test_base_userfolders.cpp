// The documents folder as the Linux desktop names it.
#include "base/userfolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;

class UserFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void personalFolder_data();
    void personalFolder();
    void defaultMusicFolder_data();
    void defaultMusicFolder();
    void unknownIdsAreEmpty_data();
    void unknownIdsAreEmpty();
    void trimAtNul_data();
    void trimAtNul();

private:
    void writeUserDirs(const QByteArray& documentsLine);

    QTemporaryDir m_home;
    QByteArray m_oldHome, m_oldConfig;
};

void UserFoldersTest::initTestCase() {
    QVERIFY(m_home.isValid());
    m_oldHome = qgetenv("HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(".config")));
    QVERIFY(QDir(m_home.path()).mkpath(".config"));
}

void UserFoldersTest::cleanupTestCase() {
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

void UserFoldersTest::writeUserDirs(const QByteArray& documentsLine) {
    QFile file(m_home.filePath(".config/user-dirs.dirs"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("# written by the test\n");
    if (!documentsLine.isEmpty())
        file.write(documentsLine + "\n");
}

void UserFoldersTest::personalFolder_data() {
    QTest::addColumn<QByteArray>("userDirsLine"); // XDG_DOCUMENTS_DIR line, or empty
    QTest::addColumn<QString>("create");          // folder below home to create, or empty
    QTest::addColumn<QString>("expected");        // below home; empty means home itself
    QTest::newRow("xdg folder") << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"") << "Papers"
                                << "Papers";
    QTest::newRow("japanese name")
        << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"")
        << QString::fromUtf8("ドキュメント") << QString::fromUtf8("ドキュメント");
    QTest::newRow("trailing separator")
        << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papers/\"") << "Papers"
        << "Papers";
    QTest::newRow("xdg folder missing")
        << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Gone\"") << QString() << QString();
    QTest::newRow("no xdg entry, Documents exists") << QByteArray() << "Documents"
                                                    << "Documents";
    QTest::newRow("no xdg entry, nothing exists") << QByteArray() << QString() << QString();
}

void UserFoldersTest::personalFolder() {
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

void UserFoldersTest::defaultMusicFolder_data() {
    QTest::addColumn<QString>("create"); // folders below home, separated by ","
    QTest::addColumn<QString>("expected");
    QTest::newRow("music folder first") << "Music,Documents"
                                        << "Music";
    QTest::newRow("no music folder: documents") << "Documents"
                                                << "Documents";
    QTest::newRow("neither: home") << ""
                                   << "";
}

void UserFoldersTest::defaultMusicFolder() {
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

void UserFoldersTest::unknownIdsAreEmpty_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("-1") << -1;
    QTest::newRow("3 (control panel, virtual)") << 3;
    QTest::newRow("9999") << 9999;
}

void UserFoldersTest::unknownIdsAreEmpty() {
    QFETCH(int, id);
    QVERIFY(specialFolderPath(id).isEmpty());
}

void UserFoldersTest::trimAtNul_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing nuls")
        << QString("/home/u/Documents") + QString(5, QChar(0)) << "/home/u/Documents";
    QTest::newRow("nul inside") << QString("ab") + QChar(0) + "cd"
                                << "ab";
    QTest::newRow("no nul") << "plain"
                            << "plain";
    QTest::newRow("nul first") << QString(QChar(0)) + "x"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
}

void UserFoldersTest::trimAtNul() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(sonavue::trimAtNul(text), expected);
}

QTEST_GUILESS_MAIN(UserFoldersTest)
#include "test_base_userfolders.moc"
