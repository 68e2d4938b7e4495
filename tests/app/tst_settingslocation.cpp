// Where the settings file lives: beside the program when that folder is writable or already
// holds the file, else in the user's configuration folder; reads and writes agree.
#include "app/settings.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace sonavue;

class SettingsLocationTest : public QObject {
    Q_OBJECT

private slots:
    void rule_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("portable");
        QTest::newRow("writable folder") << true << false << true;
        QTest::newRow("read-only folder holding the file") << false << true << true;
        QTest::newRow("read-only folder without the file") << false << false << false;
    }
    void rule() {
        QFETCH(bool, writable);
        QFETCH(bool, fileThere);
        QFETCH(bool, portable);
        QTemporaryDir folder;
        if (fileThere) {
            QFile file(folder.filePath("Sonavue.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString path =
            settingsFilePathFor(folder.path(), "Sonavue", writable, "/home/u/.config");
        QCOMPARE(path, portable ? folder.filePath("Sonavue.ini")
                                : QStringLiteral("/home/u/.config/Sonavue/Sonavue.ini"));
    }

    void configFolderFollowsXdg() {
        qputenv("XDG_CONFIG_HOME", "/elsewhere/conf");
        QCOMPARE(userConfigFolder(), QStringLiteral("/elsewhere/conf"));
        qputenv("XDG_CONFIG_HOME", "relative/ignored");
        qputenv("HOME", "/home/someone");
        QCOMPARE(userConfigFolder(), QStringLiteral("/home/someone/.config"));
    }

    // The real program folder made read-only, with the probe run as a plain user (tests run
    // as root in CI, and root may write anywhere).
    void readOnlyProgramFolderUsesTheConfigFolder() {
        const QString probe = QCoreApplication::applicationDirPath() + "/settings_location_probe";
        QVERIFY(QFile::exists(probe));
        QTemporaryDir root;
        QVERIFY(QFile::setPermissions(
            root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                             QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
        const QString program = root.path() + "/program";
        const QString config = root.path() + "/config";
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QDir().mkpath(config));
        QVERIFY(QFile::copy(probe, program + "/probe"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner |
                                                   QFile::ReadOther | QFile::ExeOther |
                                                   QFile::ReadGroup | QFile::ExeGroup));
        QVERIFY(QFile::setPermissions(config, QFileDevice::Permissions(0x7777)));

        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("HOME", config);
        run.setProcessEnvironment(env);
        QStringList command{program + "/probe", "kept"};
        if (geteuid() == 0)
            command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} +
                      command;
        run.start(command.takeFirst(), command);
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.value(0), config + "/Sonavue/Sonavue.ini");
        QCOMPARE(lines.value(1), QStringLiteral("kept"));
        QVERIFY(QFile::exists(config + "/Sonavue/Sonavue.ini"));
        QVERIFY(!QFile::exists(program + "/Sonavue.ini"));
    }
};

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "tst_settingslocation.moc"
