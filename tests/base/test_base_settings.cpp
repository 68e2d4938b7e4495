// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The settings file: reading, writing, keeping the rest of the file, safe replacement.
#include "base/nativepath.h"
#include "base/settings.h"
#include "support/datarow.h"
#include "support/musicfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
QString folderBeforeApp; // programFolder() as seen before the application object existed

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QVERIFY(writeFile(path, bytes));
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void missingFileGivesDefaults() {
        QCOMPARE(readIniValue(iniPath(), "init", "color", "&Hffffff"), QString("&Hffffff"));
        QCOMPARE(readIniValue(iniPath(), "init", "Folder", ""), QString());
        QVERIFY(!QFile::exists(iniPath())); // reading creates nothing
    }
    void firstWriteCreatesFileAndSection() {
        QVERIFY(writeIniValue(iniPath(), "init", "alph", "200"));
        QCOMPARE(fileBytes(iniPath()), QByteArray("[init]\nalph=200\n"));
        QVERIFY(writeIniValue(iniPath(), "init", "back", "0"));
        QVERIFY(writeIniValue(iniPath(), "init", "alph", "64"));
        QCOMPARE(fileBytes(iniPath()), QByteArray("[init]\nalph=64\nback=0\n"));
        QCOMPARE(readIniValue(iniPath(), "init", "alph", "250"), QString("64"));
        QCOMPARE(readIniValue(iniPath(), "init", "back", "1"), QString("0"));
        // A key of another section is not this one's.
        QCOMPARE(readIniValue(iniPath(), "other", "alph", "x"), QString("x"));
    }
    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // the default is always "DEFAULT"
        const QString d = "DEFAULT";
        const auto row = [](const char* name, const QByteArray& file, const QString& key,
                            const QString& expected, const QString& section = "init") {
            dataRow(name, file, section, key, expected);
        };
        row("plain", "[init]\ncolor=255\n", "color", "255");
        row("empty value is not the default", "[init]\nFolder=\n", "Folder", "");
        row("missing key", "[init]\nalph=1\n", "back", d);
        row("case-insensitive names", "[INIT]\nFOLDER=/music\n", "Folder", "/music");
        row("spaces around name and value", "  [ init ]  \n  alph  =   120   \n", "alph", "120");
        row("double quotes", "[init]\nk=\"  padded  \"\n", "k", "  padded  ");
        row("single quotes", "[init]\nk='x y'\n", "k", "x y");
        row("only one pair of quotes", "[init]\nk=\"\"x\"\"\n", "k", "\"x\"");
        row("unbalanced quote kept", "[init]\nk=\"x\n", "k", "\"x");
        row("mixed quotes kept", "[init]\nk=\"x'\n", "k", "\"x'");
        row("value holds equals", "[init]\nk=a=b==c\n", "k", "a=b==c");
        row("crlf line ends", "[init]\r\nalph=99\r\nback=0\r\n", "alph", "99");
        row("no newline at end", "[init]\nalph=99", "alph", "99");
        row("byte-order mark", "\xEF\xBB\xBF[init]\nalph=7\n", "alph", "7");
        row("byte-order mark opening a value",
            "\xEF\xBB\xBF[init]\nalph=\xEF\xBB\xBF"
            "7\n",
            "alph", QString(QChar(0xFEFF)) + "7");
        row("byte-order mark opening a key is part of its name",
            "[init]\n\xEF\xBB\xBF"
            "alph=7\n",
            "alph", d);
        row("key before any section", "alph=1\n[init]\nback=0\n", "alph", d);
        row("first of two keys wins", "[init]\nk=first\nk=second\n", "k", "first");
        row("section repeated later", "[init]\na=1\n[x]\nk=no\n[init]\nk=yes\n", "k", "yes");
        row("nul ends the value", QByteArray("[init]\nk=ab\0cd\n", 15), "k", "ab");
        row("utf-8 value", "[init]\nFolder=/音楽/邦楽\n", "Folder",
            QString::fromUtf8("/音楽/邦楽"));
        row("300 characters cut to 255", "[init]\nk=" + QByteArray(300, 'x') + "\n", "k",
            QString(255, QLatin1Char('x')));
        row("300 japanese characters cut to 255",
            "[init]\nk=" + QString(300, QChar(0x97F3)).toUtf8() + "\n", "k",
            QString(255, QChar(0x97F3)));
        row("section without closing bracket", "[init\nk=v\n", "k", "v");
        row("line without equals is no key", "[init]\nk\n", "k", d);
    }
    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        putFile(iniPath(), file);
        QCOMPARE(readIniValue(iniPath(), section, key, "DEFAULT"), expected);
    }
    void roundTrip_data() {
        QTest::addColumn<QString>("value");
        dataRow("plain", "250");
        dataRow("empty", "");
        dataRow("leading spaces", "  lead");
        dataRow("trailing spaces", "trail  ");
        dataRow("tab", "\tx");
        dataRow("quoted", "\"quoted\"");
        dataRow("single quoted", "'single'");
        dataRow("one quote", "\"");
        dataRow("equals signs", "a=b=c");
        dataRow("negative number", "-1");
        dataRow("japanese folder", QString::fromUtf8("/home/u/音楽 フォルダ"));
        // A folder name that is not UTF-8 is kept byte for byte.
        dataRow("raw bytes in a path", pathFromNative(QByteArray("/m/\xff\xfe-x")));
        dataRow("255 characters", QString(255, QLatin1Char('z')));
        // A value may begin with U+FEFF; it is the value's, not a mark of the file.
        dataRow("leading byte-order mark", QString(QChar(0xFEFF)) + "x");
        dataRow("only a byte-order mark", QString(QChar(0xFEFF)));
        dataRow("byte-order mark in quotes", QString(QChar(0xFEFF)) + " padded ");
    }
    void roundTrip() {
        QFETCH(QString, value);
        putFile(iniPath(), "[init]\nother=1\n");
        QVERIFY(writeIniValue(iniPath(), "init", "k", value));
        QCOMPARE(readIniValue(iniPath(), "init", "k", "DEFAULT"), value);
        // Written again over itself: still one line, still the same value.
        QVERIFY(writeIniValue(iniPath(), "init", "k", value));
        QCOMPARE(readIniValue(iniPath(), "init", "k", "DEFAULT"), value);
        QCOMPARE(fileBytes(iniPath()).count("\nk="), 1);
        QCOMPARE(readIniValue(iniPath(), "init", "other", "DEFAULT"), QString("1"));
    }
    void writeKeepsOtherLines_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray mixed = "; comment\n"
                                 "stray=before any section\n"
                                 "\n"
                                 "[Other]\n"
                                 "Folder=keep me\n"
                                 "[INIT]\n"
                                 "  COLOR = 255  \n"
                                 "junk line without equals\n"
                                 "\n"
                                 "[tail]\n"
                                 "x=1\n";
        const auto row = [](const char* name, const QByteArray& before, const QString& key,
                            const QString& value,
                            const QByteArray& after) { dataRow(name, before, key, value, after); };
        row("replace keeps key spelling and every other line", mixed, "color", "-1",
            QByteArray(mixed).replace("  COLOR = 255  \n", "  COLOR =-1\n"));
        row("append after the section's last line", mixed, "back", "0",
            QByteArray(mixed).replace("junk line without equals\n",
                                      "junk line without equals\nback=0\n"));
        row("crlf file stays crlf", "[init]\r\nalph=1\r\n\r\n[x]\r\ny=2\r\n", "Fontsize", "2",
            "[init]\r\nalph=1\r\nFontsize=2\r\n\r\n[x]\r\ny=2\r\n");
        row("crlf replace keeps its ending", "[init]\r\nalph=1\r\n", "alph", "200",
            "[init]\r\nalph=200\r\n");
        row("last line without newline", "[init]\nalph=1", "back", "1", "[init]\nalph=1\nback=1\n");
        row("replace last line without newline", "[init]\nalph=1", "alph", "2", "[init]\nalph=2");
        row("new section after other text", "[x]\ny=2", "alph", "3", "[x]\ny=2\n[init]\nalph=3\n");
        row("byte-order mark kept", "\xEF\xBB\xBF[init]\na=1\n", "a", "2",
            "\xEF\xBB\xBF[init]\na=2\n");
        row("leading spaces written in quotes", "[init]\n", "k", " x", "[init]\nk=\" x\"\n");
    }
    void writeKeepsOtherLines() {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        putFile(iniPath(), before);
        QVERIFY(writeIniValue(iniPath(), "init", key, value));
        QCOMPARE(fileBytes(iniPath()), after);
        QCOMPARE(readIniValue(iniPath(), "init", key, "DEFAULT"), value);
    }
    void damagedFileNeverBreaks_data() {
        QTest::addColumn<QByteArray>("file");
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919 + 13) % 256);
        dataRow("binary junk", junk);
        dataRow("junk with a section inside",
                QByteArray(junk).insert(2000, "\n[init]\nk=inside\n"));
        dataRow("one very long line", QByteArray(2 * 1024 * 1024, '['));
        dataRow("very long key line", "[init]\n" + QByteArray(1024 * 1024, 'k') + "=v\n");
        dataRow("millions of empty lines", QByteArray(4 * 1024 * 1024, '\n'));
        dataRow("only carriage returns", QByteArray(1000, '\r'));
        dataRow("empty file", QByteArray());
        dataRow("nuls", QByteArray(100, '\0'));
    }
    void damagedFileNeverBreaks() {
        QFETCH(QByteArray, file);
        putFile(iniPath(), file);
        const QString before = readIniValue(iniPath(), "init", "k", "DEFAULT");
        QVERIFY(before == QLatin1String("DEFAULT") || before == QLatin1String("inside"));
        QCOMPARE(readIniValue(iniPath(), "init", "alph", "250"), QString("250"));

        QVERIFY(writeIniValue(iniPath(), "init", "alph", "128"));
        QCOMPARE(readIniValue(iniPath(), "init", "alph", "250"), QString("128"));
        QCOMPARE(readIniValue(iniPath(), "init", "k", "DEFAULT"), before);
        // Nothing of the old file is lost: its bytes are all still there, in order.
        const QByteArray now = fileBytes(iniPath());
        QVERIFY(now.size() > file.size());
        qsizetype at = 0;
        for (char c : file) {
            at = now.indexOf(c, at);
            QVERIFY(at >= 0);
            ++at;
        }
    }
    void refusedWritesLeaveFileAlone_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const QString& section, const QString& key,
                            const QString& value) { dataRow(name, section, key, value); };
        row("newline in value", "init", "Folder", "/a\nb");
        row("carriage return in value", "init", "Folder", "/a\rb");
        row("nul in value", "init", "Folder", QString("a") + QChar(0));
        row("equals in key", "init", "a=b", "1");
        row("empty key", "init", "", "1");
        row("bracket in section", "in]it", "k", "1");
        row("empty section", "", "k", "1");
        row("spaced key", "init", " k", "1");
    }
    void refusedWritesLeaveFileAlone() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[init]\nFolder=/music\n";
        putFile(iniPath(), before);
        QVERIFY(!writeIniValue(iniPath(), section, key, value));
        QCOMPARE(fileBytes(iniPath()), before);
    }
    void failedWriteKeepsOldFile() {
        // A file-size limit makes the disk "full" for this process, even when run as root.
        const QByteArray before = "[init]\nFolder=/music\nalph=200\n";
        putFile(iniPath(), before);
        struct rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 64;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written =
            writeIniValue(iniPath(), "init", "Folder", QString(200, QLatin1Char('m')));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QCOMPARE(fileBytes(iniPath()), before);
        // No temporary file is left behind.
        QCOMPARE(QDir(m_dir->path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden),
                 QStringList{});
    }
    void writeIntoImpossibleFolder() {
        putFile(m_dir->filePath("afile"), "x");
        const QString inside = m_dir->filePath("afile/Sonavue.ini");
        QVERIFY(!writeIniValue(inside, "init", "k", "v"));
        QCOMPARE(readIniValue(inside, "init", "k", "DEFAULT"), QString("DEFAULT"));
        QCOMPARE(fileBytes(m_dir->filePath("afile")), QByteArray("x"));
        QVERIFY(!writeIniValue(m_dir->filePath("no/such/folder/Sonavue.ini"), "init", "k", "v"));
    }
    void writeKeepsPermissionsAndLinks() {
        putFile(iniPath(), "[init]\nk=1\n");
        QCOMPARE(::chmod(QFile::encodeName(iniPath()).constData(), 0640), 0);
        QVERIFY(writeIniValue(iniPath(), "init", "k", "2"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(iniPath()).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);

        // A settings file that is a link to another file stays a link.
        const QString link = m_dir->filePath("Linked.ini");
        QVERIFY(QFile::link(iniPath(), link));
        QVERIFY(writeIniValue(link, "init", "k", "3"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readIniValue(iniPath(), "init", "k", "DEFAULT"), QString("3"));
    }
    void specialFilesAreNotSettings() {
        // A FIFO or a folder in the settings file's place: reads give defaults at once, writes
        // are refused and the thing is left as it is.
        const QString fifo = m_dir->filePath("Fifo.ini");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(readIniValue(fifo, "init", "k", "DEFAULT"), QString("DEFAULT"));
        QVERIFY(!writeIniValue(fifo, "init", "k", "v"));
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        const QString folder = m_dir->filePath("Folder.ini");
        QVERIFY(QDir(m_dir->path()).mkdir("Folder.ini"));
        QCOMPARE(readIniValue(folder, "init", "k", "DEFAULT"), QString("DEFAULT"));
        QVERIFY(!writeIniValue(folder, "init", "k", "v"));
        QVERIFY(QFileInfo(folder).isDir());
    }
    void programFolderAndSettingsFile() {
        const QString folder = programFolder();
        QCOMPARE(folder, QCoreApplication::applicationDirPath());
        QVERIFY(!folder.endsWith(QLatin1Char('/')));
        // Without an application object the executable's own folder is found the same way.
        QCOMPARE(folderBeforeApp, folder);

        // A name of our own so that no other test's settings are touched.
        const QString app = QStringLiteral("SettingsTest%1").arg(::getpid());
        const QString path = settingsFilePath(app);
        QCOMPARE(path, folder + "/" + app + ".ini");
        QFile::remove(path);
        QCOMPARE(readSetting(app, "init", "alph", 250), QString("250"));
        QCOMPARE(readSetting(app, "init", "color", -1), QString("-1"));
        QCOMPARE(readSetting(app, "init", "Folder", "/doc"), QString("/doc"));
        QVERIFY(writeSetting(app, "init", "Folder", "/music"));
        QCOMPARE(readSetting(app, "init", "folder", "/doc"), QString("/music"));
        QCOMPARE(fileBytes(path), QByteArray("[init]\nFolder=/music\n"));
        QVERIFY(QFile::remove(path));
    }

private:
    QString iniPath() const { return m_dir->filePath("Sonavue.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char** argv) {
    folderBeforeApp = programFolder();
    QCoreApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_base_settings.moc"
