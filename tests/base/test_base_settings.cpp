// The settings file: reading, writing, keeping the rest of the file, safe replacement.
#include "base/nativepath.h"
#include "base/settings.h"

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

namespace {
QString folderBeforeApp; // programFolder() as seen before the application object existed

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void missingFileGivesDefaults();
    void firstWriteCreatesFileAndSection();
    void read_data();
    void read();
    void roundTrip_data();
    void roundTrip();
    void writeKeepsOtherLines_data();
    void writeKeepsOtherLines();
    void damagedFileNeverBreaks_data();
    void damagedFileNeverBreaks();
    void refusedWritesLeaveFileAlone_data();
    void refusedWritesLeaveFileAlone();
    void failedWriteKeepsOldFile();
    void writeIntoImpossibleFolder();
    void writeKeepsPermissionsAndLinks();
    void specialFilesAreNotSettings();
    void programFolderAndSettingsFile();

private:
    QString iniPath() const { return m_dir->filePath("Sonavue.ini"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void SettingsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void SettingsTest::missingFileGivesDefaults() {
    QCOMPARE(readIniValue(iniPath(), "init", "color", "&Hffffff"), QString("&Hffffff"));
    QCOMPARE(readIniValue(iniPath(), "init", "Folder", ""), QString());
    QVERIFY(!QFile::exists(iniPath())); // reading creates nothing
}

void SettingsTest::firstWriteCreatesFileAndSection() {
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

void SettingsTest::read_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // the default is always "DEFAULT"
    const QString d = "DEFAULT";
    QTest::newRow("plain") << QByteArray("[init]\ncolor=255\n") << "init"
                           << "color"
                           << "255";
    QTest::newRow("empty value is not the default") << QByteArray("[init]\nFolder=\n") << "init"
                                                    << "Folder"
                                                    << "";
    QTest::newRow("missing key") << QByteArray("[init]\nalph=1\n") << "init"
                                 << "back" << d;
    QTest::newRow("case-insensitive names") << QByteArray("[INIT]\nFOLDER=/music\n") << "init"
                                            << "Folder"
                                            << "/music";
    QTest::newRow("spaces around name and value")
        << QByteArray("  [ init ]  \n  alph  =   120   \n") << "init"
        << "alph"
        << "120";
    QTest::newRow("double quotes") << QByteArray("[init]\nk=\"  padded  \"\n") << "init"
                                   << "k"
                                   << "  padded  ";
    QTest::newRow("single quotes") << QByteArray("[init]\nk='x y'\n") << "init"
                                   << "k"
                                   << "x y";
    QTest::newRow("only one pair of quotes") << QByteArray("[init]\nk=\"\"x\"\"\n") << "init"
                                             << "k"
                                             << "\"x\"";
    QTest::newRow("unbalanced quote kept") << QByteArray("[init]\nk=\"x\n") << "init"
                                           << "k"
                                           << "\"x";
    QTest::newRow("mixed quotes kept") << QByteArray("[init]\nk=\"x'\n") << "init"
                                       << "k"
                                       << "\"x'";
    QTest::newRow("value holds equals") << QByteArray("[init]\nk=a=b==c\n") << "init"
                                        << "k"
                                        << "a=b==c";
    QTest::newRow("crlf line ends") << QByteArray("[init]\r\nalph=99\r\nback=0\r\n") << "init"
                                    << "alph"
                                    << "99";
    QTest::newRow("no newline at end") << QByteArray("[init]\nalph=99") << "init"
                                       << "alph"
                                       << "99";
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[init]\nalph=7\n") << "init"
                                     << "alph"
                                     << "7";
    QTest::newRow("byte-order mark opening a value")
        << QByteArray("\xEF\xBB\xBF[init]\nalph=\xEF\xBB\xBF"
                      "7\n")
        << "init"
        << "alph" << QString(QChar(0xFEFF)) + "7";
    QTest::newRow("byte-order mark opening a key is part of its name")
        << QByteArray("[init]\n\xEF\xBB\xBF"
                      "alph=7\n")
        << "init"
        << "alph" << d;
    QTest::newRow("key before any section") << QByteArray("alph=1\n[init]\nback=0\n") << "init"
                                            << "alph" << d;
    QTest::newRow("first of two keys wins") << QByteArray("[init]\nk=first\nk=second\n") << "init"
                                            << "k"
                                            << "first";
    QTest::newRow("section repeated later")
        << QByteArray("[init]\na=1\n[x]\nk=no\n[init]\nk=yes\n") << "init"
        << "k"
        << "yes";
    QTest::newRow("nul ends the value") << QByteArray("[init]\nk=ab\0cd\n", 15) << "init"
                                        << "k"
                                        << "ab";
    QTest::newRow("utf-8 value") << QByteArray("[init]\nFolder=/音楽/邦楽\n") << "init"
                                 << "Folder" << QString::fromUtf8("/音楽/邦楽");
    QTest::newRow("300 characters cut to 255")
        << QByteArray("[init]\nk=" + QByteArray(300, 'x') + "\n") << "init"
        << "k" << QString(255, QLatin1Char('x'));
    QTest::newRow("300 japanese characters cut to 255")
        << ("[init]\nk=" + QString(300, QChar(0x97F3)).toUtf8() + "\n") << "init"
        << "k" << QString(255, QChar(0x97F3));
    QTest::newRow("section without closing bracket") << QByteArray("[init\nk=v\n") << "init"
                                                     << "k"
                                                     << "v";
    QTest::newRow("line without equals is no key") << QByteArray("[init]\nk\n") << "init"
                                                   << "k" << d;
}

void SettingsTest::read() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    putFile(iniPath(), file);
    QCOMPARE(readIniValue(iniPath(), section, key, "DEFAULT"), expected);
}

void SettingsTest::roundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "250";
    QTest::newRow("empty") << "";
    QTest::newRow("leading spaces") << "  lead";
    QTest::newRow("trailing spaces") << "trail  ";
    QTest::newRow("tab") << "\tx";
    QTest::newRow("quoted") << "\"quoted\"";
    QTest::newRow("single quoted") << "'single'";
    QTest::newRow("one quote") << "\"";
    QTest::newRow("equals signs") << "a=b=c";
    QTest::newRow("negative number") << "-1";
    QTest::newRow("japanese folder") << QString::fromUtf8("/home/u/音楽 フォルダ");
    // A folder name that is not UTF-8 is kept byte for byte.
    QTest::newRow("raw bytes in a path") << pathFromNative(QByteArray("/m/\xff\xfe-x"));
    QTest::newRow("255 characters") << QString(255, QLatin1Char('z'));
    // A value may begin with U+FEFF; it is the value's, not a mark of the file.
    QTest::newRow("leading byte-order mark") << QString(QChar(0xFEFF)) + "x";
    QTest::newRow("only a byte-order mark") << QString(QChar(0xFEFF));
    QTest::newRow("byte-order mark in quotes") << QString(QChar(0xFEFF)) + " padded ";
}

void SettingsTest::roundTrip() {
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

void SettingsTest::writeKeepsOtherLines_data() {
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
    QTest::newRow("replace keeps key spelling and every other line")
        << mixed << "color"
        << "-1" << QByteArray(mixed).replace("  COLOR = 255  \n", "  COLOR =-1\n");
    QTest::newRow("append after the section's last line")
        << mixed << "back"
        << "0"
        << QByteArray(mixed).replace("junk line without equals\n",
                                     "junk line without equals\nback=0\n");
    QTest::newRow("crlf file stays crlf")
        << QByteArray("[init]\r\nalph=1\r\n\r\n[x]\r\ny=2\r\n") << "Fontsize"
        << "2" << QByteArray("[init]\r\nalph=1\r\nFontsize=2\r\n\r\n[x]\r\ny=2\r\n");
    QTest::newRow("crlf replace keeps its ending") << QByteArray("[init]\r\nalph=1\r\n") << "alph"
                                                   << "200" << QByteArray("[init]\r\nalph=200\r\n");
    QTest::newRow("last line without newline") << QByteArray("[init]\nalph=1") << "back"
                                               << "1" << QByteArray("[init]\nalph=1\nback=1\n");
    QTest::newRow("replace last line without newline") << QByteArray("[init]\nalph=1") << "alph"
                                                       << "2" << QByteArray("[init]\nalph=2");
    QTest::newRow("new section after other text")
        << QByteArray("[x]\ny=2") << "alph"
        << "3" << QByteArray("[x]\ny=2\n[init]\nalph=3\n");
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBF[init]\na=1\n") << "a"
                                          << "2" << QByteArray("\xEF\xBB\xBF[init]\na=2\n");
    QTest::newRow("leading spaces written in quotes") << QByteArray("[init]\n") << "k"
                                                      << " x" << QByteArray("[init]\nk=\" x\"\n");
}

void SettingsTest::writeKeepsOtherLines() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    putFile(iniPath(), before);
    QVERIFY(writeIniValue(iniPath(), "init", key, value));
    QCOMPARE(fileBytes(iniPath()), after);
    QCOMPARE(readIniValue(iniPath(), "init", key, "DEFAULT"), value);
}

void SettingsTest::damagedFileNeverBreaks_data() {
    QTest::addColumn<QByteArray>("file");
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919 + 13) % 256);
    QTest::newRow("binary junk") << junk;
    QTest::newRow("junk with a section inside")
        << QByteArray(junk).insert(2000, "\n[init]\nk=inside\n");
    QTest::newRow("one very long line") << QByteArray(2 * 1024 * 1024, '[');
    QTest::newRow("very long key line") << "[init]\n" + QByteArray(1024 * 1024, 'k') + "=v\n";
    QTest::newRow("millions of empty lines") << QByteArray(4 * 1024 * 1024, '\n');
    QTest::newRow("only carriage returns") << QByteArray(1000, '\r');
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("nuls") << QByteArray(100, '\0');
}

void SettingsTest::damagedFileNeverBreaks() {
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

void SettingsTest::refusedWritesLeaveFileAlone_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("newline in value") << "init"
                                      << "Folder"
                                      << "/a\nb";
    QTest::newRow("carriage return in value") << "init"
                                              << "Folder"
                                              << "/a\rb";
    QTest::newRow("nul in value") << "init"
                                  << "Folder" << QString("a") + QChar(0);
    QTest::newRow("equals in key") << "init"
                                   << "a=b"
                                   << "1";
    QTest::newRow("empty key") << "init"
                               << ""
                               << "1";
    QTest::newRow("bracket in section") << "in]it"
                                        << "k"
                                        << "1";
    QTest::newRow("empty section") << ""
                                   << "k"
                                   << "1";
    QTest::newRow("spaced key") << "init"
                                << " k"
                                << "1";
}

void SettingsTest::refusedWritesLeaveFileAlone() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[init]\nFolder=/music\n";
    putFile(iniPath(), before);
    QVERIFY(!writeIniValue(iniPath(), section, key, value));
    QCOMPARE(fileBytes(iniPath()), before);
}

void SettingsTest::failedWriteKeepsOldFile() {
    // A file-size limit makes the disk "full" for this process, even when run as root.
    const QByteArray before = "[init]\nFolder=/music\nalph=200\n";
    putFile(iniPath(), before);
    struct rlimit old {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeIniValue(iniPath(), "init", "Folder", QString(200, QLatin1Char('m')));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(fileBytes(iniPath()), before);
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir->path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList{});
}

void SettingsTest::writeIntoImpossibleFolder() {
    putFile(m_dir->filePath("afile"), "x");
    const QString inside = m_dir->filePath("afile/Sonavue.ini");
    QVERIFY(!writeIniValue(inside, "init", "k", "v"));
    QCOMPARE(readIniValue(inside, "init", "k", "DEFAULT"), QString("DEFAULT"));
    QCOMPARE(fileBytes(m_dir->filePath("afile")), QByteArray("x"));
    QVERIFY(!writeIniValue(m_dir->filePath("no/such/folder/Sonavue.ini"), "init", "k", "v"));
}

void SettingsTest::writeKeepsPermissionsAndLinks() {
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

void SettingsTest::specialFilesAreNotSettings() {
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

void SettingsTest::programFolderAndSettingsFile() {
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

int main(int argc, char** argv) {
    folderBeforeApp = programFolder();
    QCoreApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_base_settings.moc"
