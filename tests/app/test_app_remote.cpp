// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Remote commands: the player executable run with each command against a running player
// side in the test (the one-instance socket, the player core over the real GStreamer element
// on a sink that keeps time, WAV files written by the test).
#include "app/remoteverbs.h"
#include "app/singleinstance.h"
#include "base/nativepath.h"
#include "playback/audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/testsinks.h"
#include "support/datarow.h"
#include "support/musicfiles.h"
#include "support/processrun.h"
#include "support/programfolder.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
using State = MediaControl::State;
constexpr int TrackMs = 10000;
// A paused track stands this far in; "early" in a state is well before it.
constexpr qint64 PausedAtMs = 8000;
constexpr qint64 EarlyBeforeMs = 6000;

// The player before the command.
enum class Before { NoPlayer, Idle, Playing, PausedLate };
} // namespace

Q_DECLARE_METATYPE(Before)

class RemoteTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_music;
    QProcessEnvironment m_environment;

    QString socketPath() const {
        return m_dir.filePath(QStringLiteral("runtime/sonavue-%1").arg(::getuid()));
    }

    // The two tracks of album A, the album shown.
    std::unique_ptr<PlayerCore> makeCore() const {
        PlayerCore::Options options;
        options.media = std::make_unique<GstMediaElement>(&realTimeFakeSink);
        auto core = std::make_unique<PlayerCore>(std::move(options));
        for (const char* name : {"t1.wav", "t2.wav"}) {
            const int row = core->catalogue().appendRow();
            core->catalogue().setCell(ColPath, row, m_music + QLatin1Char('/') + name);
            core->catalogue().setCell(ColAlbum, row, QStringLiteral("A"));
        }
        core->groups()[GroupAlbum].add(QStringLiteral("A"));
        core->browsing().selectGroupEntry(GroupAlbum, 0);
        return core;
    }

    static bool prepare(PlayerCore& core, Before before) {
        if (before == Before::NoPlayer || before == Before::Idle)
            return true;
        MediaControl& media = core.media();
        core.transport().continuousStart();
        if (!QTest::qWaitFor([&] { return media.state() == State::Playing; }, 10000))
            return false;
        if (before == Before::Playing)
            return true;
        core.transport().pause();
        core.transport().seekTo(PausedAtMs);
        return QTest::qWaitFor(
            [&] { return media.state() == State::Paused && media.positionMs() >= PausedAtMs - 50; },
            10000);
    }

    // "<state>[ <file> early|late]; volume <level>; reserved <files>|-"
    static QString snapshot(PlayerCore& core) {
        const MediaControl& media = core.media();
        QString text =
            QString::fromLatin1(QMetaEnum::fromType<State>().valueToKey(int(media.state())))
                .toLower();
        if (media.state() != State::Closed)
            text += QLatin1Char(' ') + fileNamePart(media.fileName()) +
                    (media.positionMs() < EarlyBeforeMs ? QStringLiteral(" early")
                                                        : QStringLiteral(" late"));
        QStringList reserved;
        for (int i = 0; i < core.browsing().reserved().count(); ++i)
            reserved << fileNamePart(core.browsing().reserved().at(i));
        return text + QStringLiteral("; volume %1; reserved %2")
                          .arg(core.volume().level())
                          .arg(reserved.isEmpty() ? QStringLiteral("-") : reserved.join(','));
    }

    // The player executable, run from the music folder while this thread serves the player.
    ProcessRun runCommand(const QStringList& arguments) const {
        ProcessRun run;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            run = runProcess(builtProgram(QStringLiteral("Sonavue")), arguments, 30000,
                             m_environment, m_music);
        }));
        thread->start();
        while (!thread->wait(QDeadlineTimer(10)))
            QCoreApplication::processEvents();
        return run;
    }

private slots:
    void initTestCase() {
        QVERIFY(QFile::exists(builtProgram(QStringLiteral("Sonavue"))));
        m_music = m_dir.filePath(QStringLiteral("music"));
        const QByteArray wav = testaudio::wavBytes(TrackMs);
        QVERIFY(writeFile(m_music + QStringLiteral("/t1.wav"),
                          wav + tagRecord(tagOf("First Song", "Artist One"))));
        QVERIFY(writeFile(m_music + QStringLiteral("/t2.wav"), wav));
        QVERIFY(writeFile(m_music + QStringLiteral("/extra.wav"), wav));
        QVERIFY(makeRuntimeFolder(m_dir.filePath(QStringLiteral("runtime"))));
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                             m_dir.filePath(QStringLiteral("runtime")));
    }

    void commandReachesThePlayer_data() {
        QTest::addColumn<Before>("before");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");   // all of standard output, a pattern; %1: music folder
        QTest::addColumn<QString>("err");   // in standard error; empty: nothing there
        QTest::addColumn<QString>("after"); // the player afterwards, as snapshot() says it
        const QString playing = "playing t1.wav early; volume 128; reserved -";
        const QString paused = "paused t1.wav late; volume 128; reserved -";
        using L = QStringList;
        dataRow("play-pause pauses", Before::Playing, L{"--play-pause"}, 0, "", "",
                "paused t1.wav early; volume 128; reserved -");
        dataRow("play-pause plays", Before::Idle, L{"--play-pause"}, 0, "", "", playing);
        dataRow("stop", Before::Playing, L{"--stop"}, 0, "", "", "closed; volume 128; reserved -");
        dataRow("next", Before::Playing, L{"--next"}, 0, "", "",
                "playing t2.wav early; volume 128; reserved -");
        dataRow("previous", Before::PausedLate, L{"--previous"}, 0, "", "", playing);
        dataRow("volume", Before::Playing, L{"--volume", "100"}, 0, "", "",
                "playing t1.wav early; volume 100; reserved -");
        dataRow("volume=0", Before::Playing, L{"--volume=0"}, 0, "", "",
                "playing t1.wav early; volume 0; reserved -");
        dataRow("volume too high", Before::Playing, L{"--volume", "256"}, 2, "",
                "sonavue: --volume takes a level from 0 to 255, not '256'", playing);
        dataRow("volume not a number", Before::Playing, L{"--volume", "loud"}, 2, "", "not 'loud'",
                playing);
        dataRow("enqueue", Before::Playing, L{"--enqueue", "extra.wav"}, 0, "added: %1/extra.wav\n",
                "", "playing t1.wav early; volume 128; reserved extra.wav");
        dataRow("enqueue a missing file", Before::Playing, L{"gone.wav", "--enqueue", "extra.wav"},
                1, "refused: %1/gone.wav: [^\n]+\nadded: %1/extra.wav\n", "",
                "playing t1.wav early; volume 128; reserved extra.wav");
        // Past what one command hands over, files are refused before the player is asked.
        const QStringList many = L{"--enqueue"} + QStringList(300, "extra.wav");
        dataRow("enqueue past the limit", Before::Playing, many, 1,
                "(added: %1/extra.wav\n){5}(refused: %1/extra.wav: [^\n]+\n){251}"
                "(refused: %1/extra.wav: too many files in one command \\(at most 256\\)\n){44}",
                "",
                "playing t1.wav early; volume 128; reserved "
                "extra.wav,extra.wav,extra.wav,extra.wav,extra.wav");
        dataRow("print-playing", Before::PausedLate, L{"--print-playing"}, 0,
                "state: paused\npath: %1/t1.wav\ntitle: First Song\nartist: Artist One\n"
                "position-ms: 8\\d\\d\\d\n",
                "", paused);
        // A choice of the play order is switched and said; the track plays on.
        dataRow("repeat", Before::Playing, L{"--repeat"}, 0, "repeat: one\n", "", playing);
        dataRow("shuffle", Before::Playing, L{"--shuffle"}, 0, "shuffle: on\n", "", playing);
        dataRow("no player", Before::NoPlayer, L{"--stop"}, 1, "",
                "sonavue: --stop: no player is running", "closed; volume 128; reserved -");
    }
    void commandReachesThePlayer() {
        QFETCH(Before, before);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, after);
        const std::unique_ptr<PlayerCore> core = makeCore();
        SingleInstance player(socketPath());
        player.setCommandHandler([&core](const RemoteCommand& command) {
            return carryOutRemoteCommand(*core, command);
        });
        if (before != Before::NoPlayer)
            QCOMPARE(player.start(), SingleInstance::Role::Primary);
        QVERIFY(prepare(*core, before));
        QSignalSpy raised(&player, &SingleInstance::raiseRequested);

        const ProcessRun run = runCommand(arguments);
        QCOMPARE(run.exitCode, exitCode);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(
            QString(out).replace(QStringLiteral("%1"), QRegularExpression::escape(m_music))));
        QVERIFY2(expected.match(QString::fromUtf8(run.out)).hasMatch(), run.out.constData());
        if (err.isEmpty())
            QCOMPARE(run.err, QByteArray());
        else
            QVERIFY2(run.err.contains(err.toUtf8()), run.err.constData());
        QCOMPARE(raised.count(), 0);
        QTRY_COMPARE(snapshot(*core), after);
    }

    // Without XDG_RUNTIME_DIR the socket is in runtime-<user> of the temporary folder, made
    // for the user alone; one another user made, or one open to others, is not used.
    void runtimeFolderOfTheUsersOwn_data() {
        QTest::addColumn<QString>("made");    // what is there before: "", "open", "theirs"
        QTest::addColumn<QString>("message"); // on standard error; %1: the folder
        dataRow("made for the user", "", "no player is running (nobody listens at %1/sonavue-");
        dataRow("open to others", "open",
                "no player can be reached: the runtime folder %1 is not private: its mode is "
                "0777, not 0700");
        dataRow("another user's", "theirs",
                "no player can be reached: the runtime folder %1 belongs to another user "
                "(uid 65534)");
    }
    void runtimeFolderOfTheUsersOwn() {
        QFETCH(QString, made);
        QFETCH(QString, message);
        QTemporaryDir temporary;
        const QString folder = temporary.filePath(
            QStringLiteral("runtime-") + QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name));
        QProcessEnvironment environment = m_environment;
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        if (!made.isEmpty()) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(),
                            made == QLatin1String("open") ? 0777 : 0700) == 0);
        }
        if (made == QLatin1String("theirs") &&
            ::chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0)
            QSKIP("only root can give a folder to another user");

        const ProcessRun run = runProcess(builtProgram(QStringLiteral("Sonavue")),
                                          {QStringLiteral("--print-playing")}, 30000, environment);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.contains(message.arg(folder).toUtf8()), run.err.constData());
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        if (made.isEmpty())
            QCOMPARE(st.st_mode & 07777, mode_t(0700));
    }
};

QTEST_GUILESS_MAIN(RemoteTest)
#include "test_app_remote.moc"
