// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// One short run of the real program, as a new user has it: started from a program folder of
// its own on a small music library, on a real X server with a window manager, driven by
// pointer and keys (xdotool), watched through the X tools and the desktop media interface
// (MPRIS), and ended with Ctrl+Q. The slots are the steps of that one run, in order.
// Run it under tests/desktop/run-with-wm.sh.
#include "xtools.h"

#include "base/settings.h"
#include "playback/audiofiles.h"
#include "support/id3v1record.h"
#include "support/musicfiles.h"
#include "support/programfolder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace sonavue;
using namespace sonavue::testing;
namespace x = sonavue::xtools;

namespace {
constexpr QSize NormalSize(895, 684);
// Designed places in the window (twips / 15): the "NOW" caption and the "ALL" tab.
constexpr QPoint NowCaption(24 + 20, 32 + 8);
constexpr QPoint AllTab(312 + 28, 320 + 8);
// Inside the web panel (designed at 552, 56, 337 by 377 pixels), and its page's background.
constexpr QRect InWebPanel(552 + 16, 56 + 16, 240, 240);
constexpr QRgb HomePageBackground = 0xfbfbf4;
// Long enough that no track ends by itself during the run.
constexpr int TrackMs = 30000;
const QStringList TrackFiles{QStringLiteral("01 first.wav"), QStringLiteral("02 second.wav")};
const QString TaggedFile = QStringLiteral("09 tagged.wav");

// The name of the file the player reports playing over MPRIS (from its xesam:url).
QString playingFile() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.mpris.MediaPlayer2.sonavue"), QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << QStringLiteral("Metadata");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const QVariant metadata = reply.arguments().constFirst().value<QDBusVariant>().variant();
    const QVariantMap map = qdbus_cast<QVariantMap>(metadata.value<QDBusArgument>());
    return QUrl(map.value(QStringLiteral("xesam:url")).toString()).fileName();
}

// A property of the player's MPRIS player interface, or an invalid value.
QVariant playerProperty(const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.mpris.MediaPlayer2.sonavue"), QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.mpris.MediaPlayer2.Player") << name;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// What the player reports over MPRIS of its play: "Playing", "Paused" or "Stopped".
QString playbackStatus() {
    return playerProperty(QStringLiteral("PlaybackStatus")).toString();
}

// Whether the area of the window shows the home page: mostly its background, with its
// text (other colours) on it.
bool showsHomePage(x::WindowId window, QRect area) {
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(window, area.x(), area.y(), area.width(), area.height())
                            .toImage();
    QHash<QRgb, int> colours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++colours[shot.pixel(x, y) & 0xffffff];
    return colours.size() >= 3 &&
           2 * colours.value(HomePageBackground) > shot.width() * shot.height();
}

QRect xGeometry(x::WindowId window) {
    const auto info = x::windowInfo(window);
    return info && info->viewable ? info->geometry : QRect();
}
} // namespace

class ProgramRunTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;
    QString m_music;
    QProcess m_player;
    QProcessEnvironment m_environment;

    // Starts the player (again) and waits for its window.
    void startPlayer() {
        m_player.setProcessEnvironment(m_environment);
        // What it says on standard error is kept for the last step.
        m_player.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_player.start(m_program + QStringLiteral("/Sonavue"), {});
        QVERIFY2(m_player.waitForStarted(10000), qPrintable(m_player.errorString()));
        QVERIFY2(x::waitUntil([this] { return mainWindow() != 0; }, 20000),
                 "the player's window never appeared");
    }

    // A command to the running player from a terminal: what it prints.
    QString remote(const QStringList& arguments) {
        QProcess command;
        command.setProcessEnvironment(m_environment);
        command.start(m_program + QStringLiteral("/Sonavue"), arguments);
        if (!command.waitForFinished(15000))
            return QStringLiteral("<no end>");
        return QString::fromLocal8Bit(command.readAllStandardOutput());
    }

    // The player's main window as the X server has it now: its one visible ordinary window
    // named "Sonavue" (the splash card is a utility window of the same name); 0 when there is
    // no such window.
    x::WindowId mainWindow() {
        return playerWindow(QStringLiteral("^Sonavue$"), QStringLiteral("NORMAL"));
    }
    // The settings dialog, titled "設定".
    x::WindowId settingsDialog() {
        return playerWindow(QStringLiteral("^設定$"), QStringLiteral("DIALOG"));
    }
    // The player's one visible window of the name and window type; 0 when there is none.
    x::WindowId playerWindow(const QString& name, const QString& type) {
        const QStringList search{QStringLiteral("search"),
                                 QStringLiteral("--all"),
                                 QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"),
                                 QString::number(m_player.processId()),
                                 QStringLiteral("--name"),
                                 name};
        // The search walks every window and gives up when one of them vanishes meanwhile (an
        // X error); it is asked again then. Finding nothing is no error.
        x::ToolResult found;
        for (int attempt = 0; attempt < 5; ++attempt) {
            found = x::run(QStringLiteral("xdotool"), search);
            if (found.ok || found.error.isEmpty())
                break;
        }
        QList<x::WindowId> ordinary;
        for (const QString& id : found.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (x::atoms(id.toULong(), QStringLiteral("_NET_WM_WINDOW_TYPE"))
                    .contains(QStringLiteral("_NET_WM_WINDOW_TYPE_") + type))
                ordinary << id.toULong();
        return ordinary.size() == 1 ? ordinary.constFirst() : 0;
    }

    QString settingsValue(const QString& key) const {
        return readIniValue(m_program + QStringLiteral("/Sonavue.ini"), QStringLiteral("init"), key,
                            QStringLiteral("<missing>"));
    }

private slots:
    void initTestCase() {
        QVERIFY2(x::windowManagerRunning(), "no window manager: run under run-with-wm.sh");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus");
        m_program = m_dir.filePath(QStringLiteral("program"));
        m_music = m_dir.filePath(QStringLiteral("music"));
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(copyProgramFolder(m_program));
        QVERIFY(makeRuntimeFolder(runtime));
        // Only a subfolder holds music: the first view is empty until the user picks one.
        for (const QString& file : TrackFiles)
            QVERIFY(testing::writeFile(m_music + QStringLiteral("/disc/") + file,
                                       testaudio::wavBytes(TrackMs)));
        QVERIFY(writeIniValue(m_program + QStringLiteral("/Sonavue.ini"), QStringLiteral("init"),
                              QStringLiteral("Folder"), m_music));
        // Its title in Western European, which the default code page does not read so.
        QVERIFY(
            testing::writeFile(m_music + QStringLiteral("/tagged/") + TaggedFile,
                               testaudio::wavBytes(TrackMs) + tagRecord(tagOf("Caf\xe9 noir"))));
        // The library is kept, and so watched while the player runs.
        QVERIFY(writeIniValue(m_program + QStringLiteral("/Sonavue.ini"), QStringLiteral("init"),
                              QStringLiteral("keeplibrary"), QStringLiteral("1")));
        // Where play stood is kept at quit.
        QVERIFY(writeIniValue(m_program + QStringLiteral("/Sonavue.ini"), QStringLiteral("init"),
                              QStringLiteral("resume"), QStringLiteral("1")));

        QProcessEnvironment& environment = m_environment;
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           m_dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                           m_dir.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"),
                           m_dir.filePath(QStringLiteral("state")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        startPlayer();
    }

    void cleanupTestCase() {
        if (m_player.state() != QProcess::NotRunning) {
            m_player.kill();
            m_player.waitForFinished(10000);
        }
    }

    void opensAtTheDesignedSizeWithTheFocus() {
        WAIT_COMPARE(xGeometry(mainWindow()).size(), NormalSize);
        QVERIFY(x::click(mainWindow(), NowCaption));
        WAIT_COMPARE(x::activeWindow(), mainWindow());
    }

    // The web panel comes once the window is drawn, and shows the home page.
    void theWebPanelShowsTheHomePage() {
        QVERIFY2(x::waitUntil([this] { return showsHomePage(mainWindow(), InWebPanel); }, 20000),
                 "the web panel does not show the home page");
    }

    void layoutKeyTwice() {
        const QRect normal = xGeometry(mainWindow());
        const QRect screen = x::screenGeometry();
        QVERIFY(x::pressKey(QStringLiteral("w")));
        WAIT_COMPARE(xGeometry(mainWindow()), screen);
        QVERIFY(x::pressKey(QStringLiteral("w")));
        WAIT_COMPARE(xGeometry(mainWindow()), normal);
        WAIT_COMPARE(x::activeWindow(), mainWindow());
    }

    // "ALL" lists both tracks; S plays the first, S again the next.
    void startKeyPlaysTheListedTracks() {
        QVERIFY(x::click(mainWindow(), AllTab));
        QVERIFY(x::pressKey(QStringLiteral("s")));
        WAIT_COMPARE(playingFile(), TrackFiles[0]);
        QVERIFY(x::pressKey(QStringLiteral("s")));
        WAIT_COMPARE(playingFile(), TrackFiles[1]);
    }

    // The keyboard's media keys, as the X server sends them to the focused window, act as
    // the desktop's media controls do.
    void mediaKeysActOnTheFocusedWindow() {
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Playing"));
        QVERIFY(x::pressKey(QStringLiteral("XF86AudioPause")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Paused"));
        QVERIFY(x::pressKey(QStringLiteral("XF86AudioPlay")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Playing"));
        QCOMPARE(playingFile(), TrackFiles[1]);
        QVERIFY(x::pressKey(QStringLiteral("XF86AudioStop")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Stopped"));
    }

    // A file copied into the music folder while the player runs is found (Ctrl+F) and played
    // (Enter) as soon as the library has it.
    void aFileAddedWhileRunningIsFoundAndPlayed() {
        const QString added = QStringLiteral("03 third.wav");
        QVERIFY(testing::writeFile(m_music + QStringLiteral("/new/") + added,
                                   testaudio::wavBytes(TrackMs)));
        QVERIFY(x::pressKey(QStringLiteral("ctrl+f")));
        QVERIFY(x::typeText(QStringLiteral("third")));
        // Enter plays the found track selected; until the library has the file, nothing is
        // found and Enter does nothing.
        QVERIFY2(
            x::waitUntil(
                [&] { return x::pressKey(QStringLiteral("Return")) && playingFile() == added; },
                15000),
            "the added file was not found and played");
        QVERIFY(x::pressKey(QStringLiteral("Escape")));
        QVERIFY(x::pressKey(QStringLiteral("XF86AudioStop")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Stopped"));
    }

    // The settings dialog from the keyboard alone: Ctrl+, opens it on the code page, Down
    // chooses 1252 (written at once), Shift+Tab twice reaches 今すぐ読み直す and Space reads
    // the folder again; Escape closes it. The Western European title then reads as it was
    // written: the find (accents ignored) finds "Café noir" as "cafe", and Enter plays it.
    void theSettingsDialogTakesANewCodePageByKeys() {
        QVERIFY(x::pressKey(QStringLiteral("ctrl+comma")));
        QVERIFY2(x::waitUntil([this] { return settingsDialog() != 0; }, 10000), "no dialog");
        WAIT_COMPARE(x::activeWindow(), settingsDialog());
        QVERIFY(x::pressKey(QStringLiteral("Down")));
        WAIT_COMPARE(settingsValue(QStringLiteral("codepage")), QStringLiteral("1252"));
        for (const char* key : {"shift+Tab", "shift+Tab", "space", "Escape"})
            QVERIFY(x::pressKey(QString::fromLatin1(key)));
        WAIT_COMPARE(x::activeWindow(), mainWindow());
        QVERIFY(x::pressKey(QStringLiteral("ctrl+f")));
        QVERIFY(x::typeText(QStringLiteral("cafe")));
        QVERIFY2(x::waitUntil(
                     [&] {
                         return x::pressKey(QStringLiteral("Return")) &&
                                playingFile() == TaggedFile;
                     },
                     15000),
                 "the title read again was not found and played");
        QVERIFY(x::pressKey(QStringLiteral("Escape")));
        QVERIFY(x::pressKey(QStringLiteral("XF86AudioStop")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Stopped"));
    }

    // A playlist handed over from a terminal becomes the track list and plays from its first
    // entry, passing over one that is missing; --next goes on to the second; --save-playlist
    // writes the list shown.
    void aPlaylistFromATerminalPlaysThrough() {
        const QString list = m_dir.filePath(QStringLiteral("list.m3u8"));
        QVERIFY(testing::writeFile(list, "#EXTM3U\nmusic/disc/02 second.wav\nmissing.wav\n"
                                         "music/disc/01 first.wav\n"));
        QCOMPARE(remote({QStringLiteral("--enqueue"), list}),
                 QStringLiteral("added: %1\n").arg(list));
        WAIT_COMPARE(playingFile(), TrackFiles[1]);
        remote({QStringLiteral("--next")});
        WAIT_COMPARE(playingFile(), TrackFiles[0]);
        const QString saved = m_dir.filePath(QStringLiteral("saved.m3u8"));
        QCOMPARE(remote({QStringLiteral("--save-playlist"), saved}),
                 QStringLiteral("saved: %1\n").arg(saved));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray disc = QFile::encodeName(m_music + QStringLiteral("/disc/"));
        QCOMPARE(file.readAll(), "#EXTM3U\n#EXTINF:-1,02 second.wav\n" + disc +
                                     "02 second.wav\n#EXTINF:-1,01 first.wav\n" + disc +
                                     "01 first.wav\n");
    }

    void quitKeyEndsTheProgramAndWritesTheSettings() {
        // The file types are written when the window unloads, not before.
        QCOMPARE(settingsValue(QStringLiteral("filter0")), QStringLiteral("<missing>"));
        QVERIFY(x::pressKey(QStringLiteral("ctrl+q")));
        QVERIFY2(x::waitUntil([this] { return m_player.state() == QProcess::NotRunning; }, 15000),
                 "the program runs on");
        QCOMPARE(m_player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_player.exitCode(), 0);
        for (const char* key : {"filter0", "filter1", "filter2"})
            QCOMPARE(settingsValue(QString::fromLatin1(key)), QStringLiteral("1"));
        // A terminal it was started from shows none of the web engine's set-up notices.
        const QString said = QString::fromLocal8Bit(m_player.readAllStandardError());
        for (const char* notice : {"OpenGL", "graphics backend", "GL Type"})
            QVERIFY2(!said.contains(QLatin1String(notice)), qPrintable(said));
    }

    // With resume=1 the next start waits paused in the track that played at quit, where it
    // had got to.
    void aNewStartPicksUpWhereItLeftOff() {
        startPlayer();
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Paused"));
        QCOMPARE(playingFile(), TrackFiles[0]);
        QVERIFY(x::waitUntil(
            [] { return playerProperty(QStringLiteral("Position")).toLongLong() > 0; }, 5000));
        QVERIFY(x::pressKey(QStringLiteral("ctrl+q")));
        QVERIFY(x::waitUntil([this] { return m_player.state() == QProcess::NotRunning; }, 15000));
    }

    // A program folder that lost the web panel's module: the window comes all the same and
    // says once why the panel is left out; the keys still play and quit.
    void withoutItsWebPanelModuleThePlayerStillPlays() {
        QVERIFY(QFile::remove(m_program + QStringLiteral("/sonavue-webpanel.so")));
        startPlayer();
        QString said;
        QVERIFY2(x::waitUntil(
                     [&] {
                         said += QString::fromLocal8Bit(m_player.readAllStandardError());
                         return said.contains(QLatin1String("the web panel is left out"));
                     },
                     20000),
                 qPrintable(said));
        QVERIFY(said.contains(QLatin1String("sonavue-webpanel.so is missing")));
        QVERIFY(!showsHomePage(mainWindow(), InWebPanel));
        QVERIFY(x::click(mainWindow(), NowCaption));
        QVERIFY(x::pressKey(QStringLiteral("s")));
        WAIT_COMPARE(playbackStatus(), QStringLiteral("Playing"));
        QVERIFY(x::pressKey(QStringLiteral("ctrl+q")));
        QVERIFY(x::waitUntil([this] { return m_player.state() == QProcess::NotRunning; }, 15000));
        QCOMPARE(m_player.exitCode(), 0);
    }
};

QTEST_MAIN(ProgramRunTest)
#include "test_desktop_programrun.moc"
