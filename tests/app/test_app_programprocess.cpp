// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The real player as a separate process: what its command line answers without a window,
// a quit signal during the start-up scan, the settings file named after the executable
// (with the leftovers of killed writes of it removed at the start), and a file built to
// crash a demuxer, handed over from outside.
#include "app/commandline.h"
#include "playback/audiofiles.h"
#include "support/containers.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/processrun.h"
#include "support/programfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;
using Request = CommandLine::Request;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// Waits until something opens folder (the start-up scan's first step), up to timeoutMs.
class FolderOpenWatch {
public:
    explicit FolderOpenWatch(const QString& folder)
        : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        if (m_fd >= 0)
            m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~FolderOpenWatch() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderOpenWatch(const FolderOpenWatch&) = delete;
    FolderOpenWatch& operator=(const FolderOpenWatch&) = delete;
    bool valid() const { return m_fd >= 0 && m_watch >= 0; }
    bool waitForOpen(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        return ::poll(&p, 1, timeoutMs) == 1;
    }

private:
    int m_fd;
    int m_watch = -1;
};

} // namespace

Q_DECLARE_METATYPE(Request)

class ProgramProcessTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program; // a program folder of the test's own, the player renamed MyPlayer
    QString m_music;
    QProcessEnvironment m_environment;

private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(builtProgram("Sonavue")));
        m_program = m_dir.filePath(QStringLiteral("program"));
        m_music = m_dir.filePath(QStringLiteral("music"));
        const QString home = m_dir.filePath(QStringLiteral("home"));
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(home));
        QVERIFY(makeRuntimeFolder(runtime));
        QVERIFY(copyProgramFolder(m_program, QStringLiteral("MyPlayer")));
        // Enough folders that the start-up scan pauses for events many hundred times.
        for (int i = 0; i < 1500; ++i)
            QVERIFY(writeFile(m_music + QStringLiteral("/f%1/t.mp3").arg(i), QByteArray(200, 'x')));
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("HOME", home);
        m_environment.insert("XDG_CONFIG_HOME", home + "/.config");
        m_environment.insert("XDG_RUNTIME_DIR", runtime);
        m_environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/no-bus");
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_environment.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox");
    }

    void readsTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("unknown");
        QTest::addColumn<QStringList>("files"); // handed to the reserved list
        dataRow("nothing", QStringList{}, Request::Start, QString(), QStringList{});
        dataRow("files", QStringList{"a.mp3", "-"}, Request::Start, QString(),
                QStringList{"a.mp3", "-"});
        dataRow("toolkit options",
                QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "a.mp3"},
                Request::Start, QString(), QStringList{"a.mp3"});
        dataRow("after --", QStringList{"b.mp3", "--", "-file.mp3", "--help"}, Request::Start,
                QString(), QStringList{"b.mp3", "-file.mp3", "--help"});
        dataRow("web engine's own",
                QStringList{"--webEngineArgs", "--remote-debugging-port=9000", "x.mp3"},
                Request::Start, QString(), QStringList{});
        dataRow("help", QStringList{"--help"}, Request::Help, QString(), QStringList{});
        dataRow("help wins", QStringList{"--bogus", "-h"}, Request::Help, QString(), QStringList{});
        dataRow("version", QStringList{"--version"}, Request::Version, QString(), QStringList{});
        dataRow("self-check", QStringList{"--self-check"}, Request::SelfCheck, QString(),
                QStringList{});
        dataRow("unknown", QStringList{"a.mp3", "--bogus", "-x"}, Request::UnknownOption, "--bogus",
                QStringList{"a.mp3"});
        dataRow("unknown beats version", QStringList{"--version", "-v"}, Request::UnknownOption,
                "-v", QStringList{});
        dataRow("value of a toolkit option is no file", QStringList{"-style", "--fusion"},
                Request::Start, QString(), QStringList{});
    }
    void readsTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(Request, request);
        QFETCH(QString, unknown);
        QFETCH(QStringList, files);
        const CommandLine line = readCommandLine(arguments);
        QCOMPARE(line.request, request);
        QCOMPARE(line.unknownOption, unknown);
        if (request == Request::Start)
            QCOMPARE(line.files, files);
    }

    // Answered before any window: with no display and no usable platform, a program that
    // tried to open one would fail instead.
    void answersWithoutAWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        dataRow("--help", QStringList{"--help"}, 0, "Usage: sonavue", QString());
        dataRow("-h", QStringList{"-h"}, 0, "--self-check", QString());
        dataRow("unknown option", QStringList{"--bogus"}, 2, QString(),
                "sonavue: unknown option '--bogus'\nUsage: sonavue");
        dataRow("unknown after a file", QStringList{"song.mp3", "-q"}, 2, QString(),
                "unknown option '-q'");
        dataRow("--version", QStringList{"--version"}, 0, "Sonavue ", QString());
    }
    void answersWithoutAWindow() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess run;
        QProcessEnvironment env = m_environment;
        env.insert("QT_QPA_PLATFORM", "no-such-platform");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        run.setProcessEnvironment(env);
        run.start(m_program + "/MyPlayer", arguments);
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), exitCode);
        const QString stdOut = QString::fromLocal8Bit(run.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(run.readAllStandardError());
        if (out.isEmpty())
            QCOMPARE(stdOut, QString());
        else
            QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
        if (err.isEmpty())
            QCOMPARE(stdErr, QString());
        else
            QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    }

    // A quit signal while the start-up scan runs ends the player as Ctrl+Q does: the unload
    // writes the file-type keys and nothing else, and the process exits normally. The copy
    // renamed MyPlayer reads and writes MyPlayer.ini.
    void quitSignalDuringTheStartupScan_data() {
        QTest::addColumn<int>("signal");
        dataRow("SIGTERM", int(SIGTERM));
        dataRow("SIGHUP", int(SIGHUP));
        dataRow("SIGINT", int(SIGINT));
    }
    void quitSignalDuringTheStartupScan() {
        QFETCH(int, signal);
        const QString settings = m_program + QStringLiteral("/MyPlayer.ini");
        QVERIFY(writeFile(settings, "[init]\nFolder=" + QFile::encodeName(m_music) + "\n"));
        // What a write killed mid-way in an earlier run left: its writer is gone.
        const pid_t gone = ::fork();
        if (gone == 0)
            ::_exit(0);
        ::waitpid(gone, nullptr, 0);
        const QString leftover = m_program + QStringLiteral("/.MyPlayer.ini.%1.0.tmp").arg(gone);
        QVERIFY(writeFile(leftover, {}));

        FolderOpenWatch scanStart(m_music);
        QVERIFY(scanStart.valid());
        QProcess player;
        player.setProcessEnvironment(m_environment);
        player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        player.start(m_program + "/MyPlayer");
        QVERIFY(player.waitForStarted());
        // The music folder is named only in MyPlayer.ini: its scan shows that file was read.
        QVERIFY2(scanStart.waitForOpen(90000), "the start-up scan of the stored folder began");
        QCOMPARE(::kill(pid_t(player.processId()), signal), 0);
        const bool ended = player.waitForFinished(30000);
        if (!ended)
            player.kill();
        QVERIFY2(ended, "the player ended after the signal");
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        // The unload's keys only: the start-up stopped before it applied (and wrote) the rest.
        QCOMPARE(fileBytes(settings), "[init]\nFolder=" + QFile::encodeName(m_music) +
                                          "\nfilter0=1\nfilter1=1\nfilter2=1\n");
        QVERIFY(!QFile::exists(m_program + QStringLiteral("/Sonavue.ini")));
        QVERIFY(!QFile::exists(leftover));
    }

    // A file built to overflow GStreamer's MP4 demuxer, handed over from outside (as "Open
    // with" does, whatever the types setting says), is passed over with its reason: the
    // player lives on, goes on to the next file and quits normally.
    void deepMp4FromOutsideIsPassedOver() {
        const QString folder = m_dir.filePath(QStringLiteral("outside"));
        const QString deep = folder + QStringLiteral("/deep.m4a");
        const QString next = folder + QStringLiteral("/next.wav");
        QVERIFY(writeFile(deep, atom("ftyp", "M4A " + bigEndian(0, 4) + "M4A mp42isom") +
                                    atom("moov", nestedAtoms("trak", 60000))));
        QVERIFY(writeFile(next, testaudio::wavBytes(30000)));
        const QString settings = m_program + QStringLiteral("/MyPlayer.ini");
        QVERIFY(writeFile(settings, "[init]\nFolder=" + QFile::encodeName(folder) + "\n"));
        QProcessEnvironment environment = m_environment;
        environment.insert("QT_LOGGING_RULES", "sonavue.media.debug=true");
        QProcess player;
        player.setProcessEnvironment(environment);
        player.start(m_program + "/MyPlayer");
        QVERIFY(player.waitForStarted());
        const auto command = [&](const QStringList& arguments) {
            return runProcess(m_program + "/MyPlayer", arguments, 30000, m_environment);
        };
        QVERIFY(QTest::qWaitFor([&] { return command({"--print-playing"}).exitCode == 0; }, 90000));

        const ProcessRun added = command({"--enqueue", deep, next});
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(added.out, QByteArray("added: " + QFile::encodeName(deep) +
                                       "\nadded: " + QFile::encodeName(next) + "\n"));
        QCOMPARE(command({"--play-pause"}).exitCode, 0);
        const QByteArray playingNext = "path: " + QFile::encodeName(next) + "\n";
        QVERIFY(QTest::qWaitFor(
            [&] {
                return player.state() != QProcess::Running ||
                       command({"--print-playing"}).out.contains(playingNext);
            },
            60000));
        QCOMPARE(player.state(), QProcess::Running);

        QCOMPARE(::kill(pid_t(player.processId()), SIGTERM), 0);
        QVERIFY(player.waitForFinished(30000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        // One line says why: the same as for a malformed MIDI file.
        const QByteArray said = player.readAllStandardError();
        QVERIFY2(said.contains("cannot play " + QFile::encodeName(deep)), said.constData());
        QVERIFY2(said.contains("- MP4 atoms nested too deep"), said.constData());
    }
};

QTEST_GUILESS_MAIN(ProgramProcessTest)
#include "test_app_programprocess.moc"
