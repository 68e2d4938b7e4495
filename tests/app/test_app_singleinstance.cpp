// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// One player per user: the hand-over between starts in one process, and with two real
// player processes (each from a private copy of the program folder, on a private bus).
#include "app/mprisplayer.h"
#include "app/singleinstance.h"
#include "base/nativepath.h"
#include "playback/audiofiles.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/programfolder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
using Role = SingleInstance::Role;

// The address of the socket file at path.
sockaddr_un socketAddress(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(),
                std::min<std::size_t>(native.size(), sizeof address.sun_path - 1));
    return address;
}

// A socket file nobody listens on, as a crashed instance leaves it.
bool leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_un address = socketAddress(path);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// A later start with files, run on a thread of its own while this thread's event loop keeps
// serving the instances of the test (a start waits for the running one's answer); its
// answers for the files.
QStringList startElsewhereWith(const QString& path, const QStringList& files, Role* role) {
    QStringList answers;
    std::unique_ptr<QThread> thread(QThread::create([&, path] {
        SingleInstance later(path);
        *role = later.start(files);
        answers = later.fileAnswers();
    }));
    thread->start();
    while (!thread->wait(QDeadlineTimer(10)))
        QCoreApplication::processEvents();
    return answers;
}

Role startElsewhere(const QString& path) {
    Role role = Role::Alone;
    startElsewhereWith(path, {}, &role);
    return role;
}

// A raw client socket, made before the descriptors run out.
int clientSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

bool connectTo(int fd, const QString& path) {
    const sockaddr_un address = socketAddress(path);
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// Uses up this process's file descriptors (under a lowered limit) while it lives.
class DescriptorsUsedUp {
public:
    DescriptorsUsedUp() {
        ::getrlimit(RLIMIT_NOFILE, &m_limit);
        rlimit low = m_limit;
        low.rlim_cur = std::min<rlim_t>(m_limit.rlim_cur, 1024);
        ::setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            m_held.push_back(fd);
        m_exhausted = errno == EMFILE;
    }
    ~DescriptorsUsedUp() {
        for (int fd : m_held)
            ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &m_limit);
    }
    DescriptorsUsedUp(const DescriptorsUsedUp&) = delete;
    DescriptorsUsedUp& operator=(const DescriptorsUsedUp&) = delete;
    bool exhausted() const { return m_exhausted; }

private:
    rlimit m_limit{};
    std::vector<int> m_held;
    bool m_exhausted = false;
};

// An instance listening on a socket in a folder of its own, started with the given file
// handler, and the raise requests it gets after its start.
struct StartedInstance {
    explicit StartedInstance(SingleInstance::FileHandler handler = {})
        : role(startWith(instance, std::move(handler))) {}
    static Role startWith(SingleInstance& instance, SingleInstance::FileHandler handler) {
        instance.setFileHandler(std::move(handler));
        return instance.start();
    }
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("sonavue-test"));
    SingleInstance instance{path};
    Role role;
    QSignalSpy asked{&instance, &SingleInstance::raiseRequested};
};

enum class Before { Nothing, StaleSocket, RunningInstance, MissingFolder };

// A real player started from its own copy of the program folder.
class PlayerProcess {
public:
    PlayerProcess(const QString& programFolder, const QProcessEnvironment& environment) {
        m_process.setProgram(programFolder + QStringLiteral("/Sonavue"));
        m_process.setProcessEnvironment(environment);
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_stderr += m_process.readAllStandardError(); });
    }
    ~PlayerProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    QProcess& process() { return m_process; }
    const QByteArray& errorOutput() const { return m_stderr; }

private:
    QProcess m_process;
    QByteArray m_stderr;
};
} // namespace

Q_DECLARE_METATYPE(Before)

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;
    QString m_runtime;
    QProcessEnvironment m_environment;

    QString playerSocket() const {
        return m_runtime + QStringLiteral("/sonavue-%1").arg(::getuid());
    }
    bool busNameOwned() const {
        return QDBusConnection::sessionBus()
            .interface()
            ->isServiceRegistered(QString::fromLatin1(MprisPlayer::ServiceName))
            .value();
    }
    uint busNameOwner() const {
        return QDBusConnection::sessionBus()
            .interface()
            ->servicePid(QString::fromLatin1(MprisPlayer::ServiceName))
            .value();
    }
    // The file the player's published track comes from.
    QUrl playingUrl() const {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QString::fromLatin1(MprisPlayer::ServiceName),
            QString::fromLatin1(MprisPlayer::ObjectPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QString::fromLatin1(MprisPlayer::PlayerInterface) << QStringLiteral("Metadata");
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
        const QVariantMap map = qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
        return QUrl(map.value(QStringLiteral("xesam:url")).toString());
    }
    void quitOverTheBus() {
        QDBusMessage quit = QDBusMessage::createMethodCall(
            QString::fromLatin1(MprisPlayer::ServiceName),
            QString::fromLatin1(MprisPlayer::ObjectPath),
            QString::fromLatin1(MprisPlayer::RootInterface), QStringLiteral("Quit"));
        QDBusConnection::sessionBus().call(quit);
    }

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "no session bus: run under dbus-run-session");
        // A program folder of the test's own: its settings file names an empty music folder.
        m_program = m_dir.filePath(QStringLiteral("program"));
        m_runtime = m_dir.filePath(QStringLiteral("runtime"));
        const QString music = m_dir.filePath(QStringLiteral("music"));
        QVERIFY(QDir().mkpath(music));
        QVERIFY(makeRuntimeFolder(m_runtime));
        QVERIFY(copyProgramFolder(m_program));
        QVERIFY(writeFile(m_program + QStringLiteral("/Sonavue.ini"),
                          "[init]\r\nFolder=" + QFile::encodeName(music) + "\r\n"));

        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                             m_dir.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                             QStringLiteral("--disable-gpu --no-sandbox"));
    }

    void startChoosesItsRole_data() {
        QTest::addColumn<Before>("before");
        QTest::addColumn<Role>("expected");
        dataRow("first start", Before::Nothing, Role::Primary);
        dataRow("socket left by a crash", Before::StaleSocket, Role::Primary);
        dataRow("player running", Before::RunningInstance, Role::HandedOver);
        dataRow("socket folder missing", Before::MissingFolder, Role::Alone);
    }
    void startChoosesItsRole() {
        QFETCH(Before, before);
        QFETCH(Role, expected);
        QTemporaryDir folder;
        QString path = folder.filePath(QStringLiteral("sonavue-test"));
        std::unique_ptr<SingleInstance> running;
        switch (before) {
        case Before::Nothing:
            break;
        case Before::StaleSocket:
            QVERIFY(leaveStaleSocket(path));
            break;
        case Before::RunningInstance:
            running = std::make_unique<SingleInstance>(path);
            QCOMPARE(running->start(), Role::Primary);
            break;
        case Before::MissingFolder:
            path = folder.filePath(QStringLiteral("gone/sonavue-test"));
            break;
        }
        std::unique_ptr<QSignalSpy> raised;
        if (running)
            raised = std::make_unique<QSignalSpy>(running.get(), &SingleInstance::raiseRequested);

        if (running) {
            QCOMPARE(startElsewhere(path), expected);
            QCOMPARE(raised->count(), 1);
            return;
        }
        SingleInstance instance(path);
        QCOMPARE(instance.start(), expected);
        // Whoever listens now takes the next start's request.
        if (expected == Role::Primary) {
            QSignalSpy asked(&instance, &SingleInstance::raiseRequested);
            QCOMPARE(startElsewhere(path), Role::HandedOver);
            QCOMPARE(asked.count(), 1);
        }
    }

    void oneRequestPerConnection_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("raises");
        dataRow("request", QByteArray("raise\n"), 1);
        dataRow("two requests", QByteArray("raise\nraise\n"), 1);
        dataRow("other word", QByteArray("raisex\n"), 0);
        dataRow("long line first", QByteArray(200, 'x') + "\nraise\n", 0);
        dataRow("no line end", QByteArray(100, 'r'), 0);
        // A client that never finishes its line is not held open.
        dataRow("a few bytes, no line end", QByteArray("rai"), 0);
        dataRow("nothing at all", QByteArray(), 0);
    }
    void oneRequestPerConnection() {
        QFETCH(QByteArray, sent);
        QFETCH(int, raises);
        StartedInstance primary;
        QCOMPARE(primary.role, Role::Primary);
        QLocalSocket socket;
        socket.connectToServer(primary.path);
        QVERIFY(socket.waitForConnected(2000));
        if (!sent.isEmpty()) {
            socket.write(sent);
            QVERIFY(socket.waitForBytesWritten(2000));
        }
        // The listener ends the connection after the first line, or when no line comes.
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        QCOMPARE(primary.asked.count(), raises);
        // A request is answered, so that its start knows it was taken.
        QCOMPARE(socket.readAll(), raises ? QByteArray("raised\n") : QByteArray());
    }

    // A start with files hands them over byte for byte (a line break or a byte that is not
    // UTF-8 in a name included) and hears what became of each; the window is raised too.
    void filesGoToTheRunningInstance() {
        QStringList received;
        StartedInstance primary([&received](const QStringList& paths) {
            received += paths;
            QStringList answers;
            for (const QString& p : paths)
                answers << (p.endsWith(QLatin1String(".txt")) ? QStringLiteral("not a type: x%y")
                                                              : QString());
            return answers;
        });
        QCOMPARE(primary.role, Role::Primary);
        const QStringList files{
            QStringLiteral("/music/a b.mp3"), QString::fromUtf8("/music/line\nbreak \u97f3.mp3"),
            pathFromNative(QByteArray("/music/\xE9t\xE9.mp3")), QStringLiteral("/music/notes.txt")};
        Role role = Role::Alone;
        const QStringList answers = startElsewhereWith(primary.path, files, &role);
        QCOMPARE(role, Role::HandedOver);
        QCOMPARE(received, files);
        QCOMPARE(answers, (QStringList{{}, {}, {}, QStringLiteral("not a type: x%y")}));
        QCOMPARE(primary.asked.count(), 1);

        // An instance that takes no files refuses them all, and is still raised.
        SingleInstance plain(primary.folder.filePath(QStringLiteral("plain")));
        QCOMPARE(plain.start(), Role::Primary);
        const QStringList refused =
            startElsewhereWith(plain.socketPath(), {QStringLiteral("/a.mp3")}, &role);
        QCOMPARE(role, Role::HandedOver);
        QCOMPARE(refused.size(), 1);
        QVERIFY(!refused[0].isEmpty());
    }

    // File requests that are cut short or too large are dropped without taking anything;
    // one past the limits is told why first.
    void brokenFileRequestsAreDropped_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        dataRow("no end line", QByteArray("open\n%2Fa.mp3\n"), QByteArray());
        dataRow("line too long", "open\n" + QByteArray(20000, 'a') + "\n\n",
                QByteArray("error a file line longer than 12289 bytes\n"));
        dataRow("too many files", "open\n" + QByteArray("%2Fa\n").repeated(300) + "\n",
                QByteArray("error more than 256 files in one request\n"));
    }
    void brokenFileRequestsAreDropped() {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, answer);
        int handled = 0;
        StartedInstance primary([&handled](const QStringList& paths) {
            ++handled;
            return QStringList(paths.size(), QString());
        });
        QCOMPARE(primary.role, Role::Primary);
        QLocalSocket socket;
        socket.connectToServer(primary.path);
        QVERIFY(socket.waitForConnected(2000));
        socket.write(sent);
        socket.waitForBytesWritten(2000);
        QByteArray received;
        connect(&socket, &QLocalSocket::readyRead, this, [&] { received += socket.readAll(); });
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        received += socket.readAll();
        QCOMPARE(received, answer);
        QCOMPARE(handled, 0);
        QCOMPARE(primary.asked.count(), 0);
    }

    // Silent clients do not keep later starts from being served, and are dropped.
    void silentClientsAreDropped() {
        StartedInstance primary;
        QCOMPARE(primary.role, Role::Primary);
        QLocalSocket silent;
        silent.connectToServer(primary.path);
        QVERIFY(silent.waitForConnected(2000));
        QCOMPARE(startElsewhere(primary.path), Role::HandedOver);
        QCOMPARE(primary.asked.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);
        QCOMPARE(startElsewhere(primary.path), Role::HandedOver);
        QCOMPARE(primary.asked.count(), 2);
    }

    // Running out of file descriptors while a start knocks does not end the listening: the
    // socket stays, the waiting start is served once descriptors are back, and later starts
    // still hand over instead of becoming second players.
    void listeningOutlivesRunningOutOfDescriptors() {
        StartedInstance primary;
        QCOMPARE(primary.role, Role::Primary);
        const int knocking = clientSocket();
        QVERIFY(knocking >= 0);
        {
            DescriptorsUsedUp full;
            QVERIFY(full.exhausted());
            QVERIFY(connectTo(knocking, primary.path));
            // The connection waits: the listener tries to take it now and fails.
            QCoreApplication::processEvents();
        }
        QVERIFY(QFileInfo::exists(primary.path));
        QCOMPARE(::write(knocking, "raise\n", 6), ssize_t(6));
        QTRY_COMPARE(primary.asked.count(), 1);
        char answer[16] = {};
        QCOMPARE(::read(knocking, answer, sizeof answer), ssize_t(7));
        QCOMPARE(QByteArray(answer), QByteArray("raised\n"));
        ::close(knocking);
        QCOMPARE(startElsewhere(primary.path), Role::HandedOver);
        QCOMPARE(primary.asked.count(), 2);
    }

    // Once the window begins to close, a later start is never told "raised": it becomes
    // the player, also when it had connected before the close and was not answered yet.
    void closingWindowIsNotRaised() {
        StartedInstance primary;
        QCOMPARE(primary.role, Role::Primary);
        QWidget window;
        stopListeningWhenClosed(primary.instance, window);
        window.show();
        QLocalSocket early;
        early.connectToServer(primary.path);
        QVERIFY(early.waitForConnected(2000));
        // The connection waits: the listener takes it now; its request is not sent yet.
        QCoreApplication::processEvents();

        window.close();
        early.write("raise\n");
        QTRY_COMPARE(early.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(early.readAll(), QByteArray());
        QCOMPARE(startElsewhere(primary.path), Role::Primary);
        QCOMPARE(primary.asked.count(), 0);
    }

    void secondStartRaisesTheRunningPlayer() {
        PlayerProcess first(m_program, m_environment);
        first.process().start();
        QVERIFY(first.process().waitForStarted());
        // The start-up has ended once the player is on the bus.
        QTRY_VERIFY_WITH_TIMEOUT(busNameOwned(), 90000);
        QVERIFY(QFileInfo(playerSocket()).exists());
        QCOMPARE(busNameOwner(), uint(first.process().processId()));

        PlayerProcess second(m_program, m_environment);
        second.process().start();
        QVERIFY(second.process().waitForFinished(30000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(first.errorOutput().contains("sonavue: raised by a second start"),
                                 10000);
        QCOMPARE(first.process().state(), QProcess::Running);
        QCOMPARE(busNameOwner(), uint(first.process().processId()));

        // Quit over the bus ends the player normally, and its socket goes with it.
        quitOverTheBus();
        QVERIFY(first.process().waitForFinished(30000));
        QCOMPARE(first.process().exitCode(), 0);
        QVERIFY(!QFileInfo::exists(playerSocket()));
    }

    // "Open with" on a running player: a second start with two files adds both to its
    // reserved list, and with nothing playing the first one plays. Files the scan would not
    // list are named by the start that sent them, which ends with status 1; the running
    // player takes none of them.
    void secondStartHandsItsFilesOver() {
        const QString outside = m_dir.filePath(QStringLiteral("outside"));
        QVERIFY(QDir().mkpath(outside + QStringLiteral("/folder.mp3")));
        const QByteArray silence = testaudio::wavBytes(4000, 8000, 0);
        QVERIFY(writeFile(outside + QStringLiteral("/first.wav"), silence));
        QVERIFY(writeFile(outside + QStringLiteral("/second.wav"), silence));
        QVERIFY(writeFile(outside + QStringLiteral("/notes.txt"), {}));
        QCOMPARE(::mkfifo(QFile::encodeName(outside + QStringLiteral("/f.mp3")).constData(), 0600),
                 0);

        PlayerProcess first(m_program, m_environment);
        first.process().start();
        QTRY_VERIFY_WITH_TIMEOUT(busNameOwned(), 90000);

        // A relative name is taken from the second start's own folder.
        PlayerProcess second(m_program, m_environment);
        second.process().setWorkingDirectory(outside);
        second.process().setArguments(
            {QStringLiteral("first.wav"), outside + QStringLiteral("/second.wav")});
        second.process().start();
        QVERIFY(second.process().waitForFinished(30000));
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY2(!second.errorOutput().contains("not added"), second.errorOutput().constData());
        for (const char* name : {"/first.wav", "/second.wav"})
            QTRY_VERIFY_WITH_TIMEOUT(
                first.errorOutput().contains("added to the reserved list by a second start: " +
                                             QFile::encodeName(outside) + name),
                10000);
        QTRY_COMPARE_WITH_TIMEOUT(playingUrl(), QUrl::fromLocalFile(outside + "/first.wav"), 20000);

        PlayerProcess third(m_program, m_environment);
        third.process().setWorkingDirectory(outside);
        third.process().setArguments({QStringLiteral("f.mp3"), QStringLiteral("folder.mp3"),
                                      QStringLiteral("gone.mp3"), QStringLiteral("notes.txt")});
        third.process().start();
        QVERIFY(third.process().waitForFinished(30000));
        QCOMPARE(third.process().exitCode(), 1);
        const QByteArray refusals = third.errorOutput();
        QCOMPARE(refusals.count("sonavue: not added to the reserved list: "), 4);
        for (const char* name : {"/f.mp3: ", "/folder.mp3: ", "/gone.mp3: ", "/notes.txt: "})
            QVERIFY2(refusals.contains(QFile::encodeName(outside) + name), refusals.constData());
        // The player answered the third start after handling its request: whatever it said
        // then is in the pipe already.
        QCoreApplication::processEvents();
        QCOMPARE(first.errorOutput().count("added to the reserved list"), 2);
        QCOMPARE(playingUrl(), QUrl::fromLocalFile(outside + "/first.wav"));

        quitOverTheBus();
        QVERIFY(first.process().waitForFinished(30000));
        QCOMPARE(first.process().exitCode(), 0);
    }

    void startAfterACrashTakesOver() {
        {
            PlayerProcess crashed(m_program, m_environment);
            crashed.process().start();
            QTRY_VERIFY_WITH_TIMEOUT(busNameOwned(), 90000);
            crashed.process().kill();
            QVERIFY(crashed.process().waitForFinished(10000));
        }
        QTRY_VERIFY(!busNameOwned());
        QVERIFY(QFileInfo::exists(playerSocket())); // left behind

        PlayerProcess next(m_program, m_environment);
        next.process().start();
        QTRY_VERIFY_WITH_TIMEOUT(busNameOwned(), 90000);
        QCOMPARE(busNameOwner(), uint(next.process().processId()));
        QCOMPARE(next.process().state(), QProcess::Running);
        quitOverTheBus();
        QVERIFY(next.process().waitForFinished(30000));
        QCOMPARE(next.process().exitCode(), 0);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "test_app_singleinstance.moc"
