// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Where the settings file lives: beside the program when the user may write there, else in
// the user's configuration folder, where a file beside the read-only program supplies the
// starting values; named after the executable; a lost write is said once.
#include "base/settings.h"
#include "support/datarow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {

struct ProbeRun {
    int exitCode = -1;
    QStringList lines; // standard output
    QString errors;    // standard error
};

// Runs a copy of the probe. As root it runs as the unprivileged user "nobody": root may
// write into any folder, and the read-only case is about the users who may not.
ProbeRun runProbe(const QString& probe, const QStringList& arguments, const QString& home) {
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("HOME", home);
    run.setProcessEnvironment(env);
    QStringList command = QStringList{probe} + arguments;
    if (::geteuid() == 0)
        command =
            QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    run.start(command.takeFirst(), command);
    ProbeRun result;
    if (!run.waitForFinished(20000))
        return result;
    result.exitCode = run.exitCode();
    result.lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n');
    result.errors = QString::fromUtf8(run.readAllStandardError());
    return result;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

constexpr auto openToAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
const auto writableToAll = QFileDevice::Permissions(0x7777);
constexpr auto readOnlyToAll = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

} // namespace

class SettingsLocationTest : public QObject {
    Q_OBJECT

    QString m_probe;
    QTemporaryDir m_root;
    QString m_program; // a program folder of the test's own (writable by the probe's user),
                       // holding a copy of the probe
    QString m_home;    // the probe user's home, writable by that user

private slots:
    void initTestCase() {
        m_probe = QCoreApplication::applicationDirPath() + "/settings_location_probe";
        QVERIFY(QFile::exists(m_probe));
        QVERIFY(m_root.isValid());
        QVERIFY(QFile::setPermissions(m_root.path(), openToAll));
    }

    void init() {
        static int round = 0;
        const QString base = m_root.filePath(QString::number(++round));
        m_program = base + "/program";
        m_home = base + "/home";
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(QDir().mkpath(m_home));
        QVERIFY(QFile::setPermissions(base, openToAll));
        QVERIFY(QFile::setPermissions(m_program, writableToAll));
        QVERIFY(QFile::setPermissions(m_home, writableToAll));
        QVERIFY(QFile::copy(m_probe, m_program + "/probe"));
    }

    void cleanup() { QFile::setPermissions(m_program, writableToAll); }

    void rule_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("startingValues");
        dataRow("writable program folder", true, "/opt/sv/Sonavue.ini", QString());
        dataRow("read-only program folder", false, "/home/u/.config/Sonavue/Sonavue.ini",
                "/opt/sv/Sonavue.ini");
    }
    void rule() {
        QFETCH(bool, writable);
        QFETCH(QString, file);
        QFETCH(QString, startingValues);
        const SettingsLocation location =
            settingsLocationFor("/opt/sv", "Sonavue", writable, "/home/u/.config");
        QCOMPARE(location.file, file);
        QCOMPARE(location.startingValues, startingValues);
        // The program in the root folder: one separator.
        QCOMPARE(settingsLocationFor("", "Sonavue", true, "/c").file, QString("/Sonavue.ini"));
    }

    void configFolderFollowsXdg() {
        qputenv("XDG_CONFIG_HOME", "/elsewhere/conf");
        QCOMPARE(userConfigFolder(), QStringLiteral("/elsewhere/conf"));
        qputenv("XDG_CONFIG_HOME", "relative/ignored");
        qputenv("HOME", "/home/someone");
        QCOMPARE(userConfigFolder(), QStringLiteral("/home/someone/.config"));
    }

    // A writable program folder (the build folder, a portable copy) keeps the file beside
    // the executable, named after it.
    void fileIsNamedAfterTheExecutable_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("iniName");
        dataRow("renamed copy", "MyPlayer", "MyPlayer.ini");
        dataRow("with an extension", "Player.bin", "Player.ini");
    }
    void fileIsNamedAfterTheExecutable() {
        QFETCH(QString, executable);
        QFETCH(QString, iniName);
        const QString renamed = m_program + "/" + executable;
        QVERIFY(QFile::rename(m_program + "/probe", renamed));
        const ProbeRun run = runProbe(renamed, {"-", "k=v", "?k"}, m_home);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(0), m_program + "/" + iniName);
        QCOMPARE(run.lines.value(1), QString("v"));
        QCOMPARE(fileBytes(m_program + "/" + iniName), QByteArray("[init]\nk=v\n"));
    }

    // Someone who could write there (root, once) left a settings file beside a program that
    // this user cannot write: it supplies the starting values, and the user's own changes
    // go to their configuration folder, where they are kept.
    void readOnlyProgramFolderGivesStartingValues() {
        const QString shared = m_program + "/Sonavue.ini";
        QVERIFY(writeFile(shared, "[init]\nalph=100\nFolder=/music\n"));
        QVERIFY(QFile::setPermissions(m_program, readOnlyToAll));
        const QString own = m_home + "/config/Sonavue/Sonavue.ini";

        ProbeRun run =
            runProbe(m_program + "/probe", {"Sonavue", "?alph", "alph=180", "?alph"}, m_home);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.mid(0, 3), (QStringList{own, "100", "180"}));
        QCOMPARE(run.errors, QString());
        // The user's file starts from the shared values; the shared file is untouched.
        QCOMPARE(fileBytes(own), QByteArray("[init]\nalph=180\nFolder=/music\n"));
        QCOMPARE(fileBytes(shared), QByteArray("[init]\nalph=100\nFolder=/music\n"));

        // From now on the user's own file counts, whatever the shared one says.
        QVERIFY(QFile::setPermissions(m_program, writableToAll));
        QVERIFY(writeFile(shared, "[init]\nalph=90\nback=0\n"));
        QVERIFY(QFile::setPermissions(m_program, readOnlyToAll));
        run = runProbe(m_program + "/probe", {"Sonavue", "?alph", "?back", "?Folder"}, m_home);
        QCOMPARE(run.lines.mid(1, 3), (QStringList{"180", "<none>", "/music"}));
    }

    // Nowhere to write: every change is lost, and the user is told so once, not per change.
    void lostWriteIsSaidOnce() {
        // A folder where the file should be: no user, not even root, can write the file.
        QVERIFY(QDir().mkpath(m_program + "/Sonavue.ini"));
        const ProbeRun run =
            runProbe(m_program + "/probe", {"Sonavue", "alph=100", "back=0", "?alph"}, m_home);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(1), QString("<none>"));
        QCOMPARE(run.errors.count("sonavue: cannot save settings to "), 1);
        QVERIFY2(run.errors.contains(m_program + "/Sonavue.ini"), qPrintable(run.errors));
        QVERIFY(QFileInfo(m_program + "/Sonavue.ini").isDir());
    }

    // A settings file its user made read-only is kept as it is, though the folder would let
    // a rename replace it; the user is told once that changes are not saved.
    void readOnlyFileIsKept() {
        const QString settings = m_program + "/Sonavue.ini";
        QVERIFY(writeFile(settings, "[init]\nalph=100\n"));
        QVERIFY(QFile::setPermissions(settings,
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (::geteuid() == 0) // the probe runs as nobody: the file is that user's own
            QCOMPARE(::chown(QFile::encodeName(settings).constData(), 65534, 65534), 0);
        const ProbeRun run =
            runProbe(m_program + "/probe", {"Sonavue", "alph=200", "back=0", "?alph"}, m_home);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(1), QString("100"));
        QCOMPARE(run.errors.count("cannot save settings"), 1);
        QVERIFY2(run.errors.contains("read-only"), qPrintable(run.errors));
        QCOMPARE(fileBytes(settings), QByteArray("[init]\nalph=100\n"));
        QCOMPARE(QFileInfo(settings).permissions() & QFile::WriteOwner, QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(SettingsLocationTest)
#include "test_base_settingslocation.moc"
