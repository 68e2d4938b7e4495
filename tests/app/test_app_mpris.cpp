// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The player on the session bus (MPRIS), driven from a second bus connection the way desktop
// media controls drive it: the real main window, the real GStreamer element on a sink that
// keeps time, short WAV files written by the test. Runs on a private bus (dbus-run-session).
#include "app/mprismetadata.h"
#include "app/mprisplayer.h"
#include "app/singleinstance.h"
#include "app/tracknotifier.h"
#include "base/fileuri.h"
#include "base/playabletypes.h"
#include "playback/audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/testsinks.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "ui/mainwindowfixture.h"
#include "ui/windowcontrols.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QSignalSpy>

using namespace sonavue;
using namespace sonavue::testing;

Q_DECLARE_METATYPE(sonavue::ShownTags)

namespace {
const QString App = QStringLiteral("SonavueMprisTest");
const QString Service = QString::fromLatin1(MprisPlayer::ServiceName);
const QString Path = QString::fromLatin1(MprisPlayer::ObjectPath);
const QString Root = QString::fromLatin1(MprisPlayer::RootInterface);
const QString Player = QString::fromLatin1(MprisPlayer::PlayerInterface);
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int TrackMs = 3000;

QByteArray tagBytes(const QString& title, const QString& artist, const QString& album) {
    return tagRecord(
        {encodeCodePage(title), encodeCodePage(artist), encodeCodePage(album), "2001", {}, 12, 3});
}

// Tags as read: an ID3v1 record ("TAG" when tagged) with its track byte, genre and year.
ShownTags recordTags(const char* header, int track, int genre, const QString& year) {
    ShownTags tags;
    tags.id3v1.Header = QString::fromLatin1(header);
    tags.id3v1.Track = std::uint8_t(track);
    tags.id3v1.Genre = std::uint8_t(genre);
    tags.id3v1.Year = year;
    return tags;
}

// A value that came over the bus inside a variant: nested maps arrive marshalled.
QVariantMap asMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}
} // namespace

// The client side: what arrives as PropertiesChanged for the Player interface.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    // The last published value of a property, if any change carried it.
    QVariant last(const QString& property) const {
        for (auto it = changes.crbegin(); it != changes.crend(); ++it)
            if (it->contains(property))
                return it->value(property);
        return {};
    }
    QList<qlonglong> seeks;
public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList&) {
        if (interface == Player)
            changes << changed;
    }
    void seeked(qlonglong position) { seeks << position; }
};

// A desktop's notification service on the test's bus: says what it can, records each Notify
// call and answers with a new notification number.
class NotificationService : public QDBusVirtualObject {
public:
    static constexpr uint FirstId = 101;
    QStringList capabilities;
    QList<QVariantList> calls;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QLatin1String("GetCapabilities")) {
            connection.send(message.createReply(QVariant(capabilities)));
            return true;
        }
        if (message.member() != QLatin1String("Notify"))
            return false;
        calls << message.arguments();
        connection.send(message.createReply(QVariant::fromValue(FirstId - 1 + uint(calls.size()))));
        return true;
    }
};

// The notification service on a bus connection of its own, there while the rig lives.
struct NotificationRig {
    explicit NotificationRig(QStringList capabilities) {
        service.capabilities = std::move(capabilities);
        registered = bus.registerVirtualObject(ObjectPath, &service) && bus.registerService(Name);
    }
    ~NotificationRig() {
        bus.unregisterService(Name);
        bus.unregisterObject(ObjectPath);
        QDBusConnection::disconnectFromBus(Connection);
    }
    NotificationRig(const NotificationRig&) = delete;
    NotificationRig& operator=(const NotificationRig&) = delete;

    static inline const QString Name = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString Connection = QStringLiteral("notifications");
    NotificationService service;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, Connection);
    bool registered = false;
};

class MprisTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_music;
    SettingsFile m_settings{App};
    QDBusConnection m_client{QString()};
    RunningWindow m_program;
    MainWindow* m_form = nullptr;
    std::unique_ptr<MprisPlayer> m_mpris;
    std::unique_ptr<ChangeRecorder> m_recorder;

    QString track(const QString& name) const { return m_music + QStringLiteral("/A/") + name; }

    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, interface, method);
        message.setArguments(arguments);
        // Asynchronous, so that this thread keeps serving the player while it waits.
        QDBusPendingCall pending = m_client.asyncCall(message);
        if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000))
            return {};
        return pending.reply();
    }
    QVariant property(const QString& interface, const QString& name) {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().constFirst().value<QDBusVariant>().variant();
    }
    QVariantMap metadata() { return asMap(property(Player, QStringLiteral("Metadata"))); }
    // Waits, not for a time, until whatever the player has to say so far has been recorded:
    // its queued work done, then a call, whose answer the bus delivers after every signal
    // the player sent before it.
    bool settle() {
        return deliverQueuedCalls() &&
               property(Player, QStringLiteral("PlaybackStatus")).isValid() && deliverQueuedCalls();
    }
    // The media controls as the program makes them: raise and quit reach the window.
    std::unique_ptr<MprisPlayer> makeMpris() {
        MainWindow& form = *m_program;
        return std::make_unique<MprisPlayer>(
            *m_program.program().core,
            MprisPlayer::WindowActions{[&form] { raiseWindow(form); }, [&form] { form.close(); }});
    }
    // A verb of the media controls, over the bus or as the keyboard's media key pressed on the
    // window.
    void give(const QString& verb, bool byKey) {
        if (!byKey) {
            call(Player, verb);
            return;
        }
        static const QHash<QString, Qt::Key> keys{
            {QStringLiteral("PlayPause"), Qt::Key_MediaTogglePlayPause},
            {QStringLiteral("Play"), Qt::Key_MediaPlay},
            {QStringLiteral("Pause"), Qt::Key_MediaPause},
            {QStringLiteral("Next"), Qt::Key_MediaNext},
            {QStringLiteral("Previous"), Qt::Key_MediaPrevious},
            {QStringLiteral("Stop"), Qt::Key_MediaStop}};
        // Keys without a character are sent with their text (none) given.
        QTest::sendKeyEvent(QTest::Click, m_form->windowHandle(), keys.value(verb), QString(),
                            Qt::NoModifier);
    }
    QLabel* volumeLabel() const { return control<QLabel>(*m_form, QStringLiteral("Vol")); }
    QString playingFile() const { return QFileInfo(m_form->core().media().fileName()).fileName(); }

    // The program with these settings besides the music folder.
    void start(const QList<std::pair<QString, QString>>& settings = {}) {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_music);
        for (const auto& [key, value] : settings)
            m_settings.set(key, value);
        StartOptions options;
        options.window.appName = App;
        options.window.withWebPanel = false;
        options.window.showMessage = [](const QString&) {};
        options.core.media = std::make_unique<GstMediaElement>(&realTimeFakeSink);
        m_program = startProgram(std::move(options));
        m_form = m_program.get();
        m_mpris = makeMpris();
        QVERIFY(m_mpris->registerOn(QDBusConnection::sessionBus()));
        QCOMPARE(m_mpris->serviceName(), Service);
        m_recorder = std::make_unique<ChangeRecorder>();
        QVERIFY(m_client.connect(Service, Path, Properties, QStringLiteral("PropertiesChanged"),
                                 m_recorder.get(),
                                 SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(m_client.connect(Service, Path, Player, QStringLiteral("Seeked"), m_recorder.get(),
                                 SLOT(seeked(qlonglong))));
    }

private slots:
    void initTestCase() {
        m_music = m_dir.path() + QStringLiteral("/music");
        const QByteArray wav = testaudio::wavBytes(TrackMs);
        QVERIFY(writeFile(track(QStringLiteral("t1.wav")),
                          wav + tagBytes(QStringLiteral("First Song"), QStringLiteral("Artist One"),
                                         QStringLiteral("Album X"))));
        QVERIFY(writeFile(track(QStringLiteral("t2.wav")),
                          wav + tagBytes(QStringLiteral("Second Song"), QString(), QString())));
        QVERIFY(writeFile(track(QStringLiteral("t3.wav")), wav));
        // Between the first and the second track, a file that cannot be played: continuous
        // play passes over it, and the bus never hears of it.
        QVERIFY(writeFile(track(QStringLiteral("t1x.wav")),
                          QByteArray("This is not music at all.\n").repeated(100)));
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                 QStringLiteral("mpris-test-client"));
        QVERIFY2(m_client.isConnected(), "no session bus: run under dbus-run-session");
    }
    void init() {
        if (QTest::currentTestFunction() != QLatin1String("metadataCarriesTheTags"))
            start(); // every other test drives the program
    }
    void cleanup() {
        m_client.disconnect(Service, Path, Properties, QStringLiteral("PropertiesChanged"),
                            m_recorder.get(),
                            SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        m_client.disconnect(Service, Path, Player, QStringLiteral("Seeked"), m_recorder.get(),
                            SLOT(seeked(qlonglong)));
        m_mpris.reset();
        m_form = nullptr;
        m_program.reset();
        m_recorder.reset();
        // The name goes with the player, so the next test can take it again.
        QTRY_VERIFY(!m_client.interface()->isServiceRegistered(Service).value());
    }

    void appearsOnTheBus_data() {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        dataRow("Identity", Root, "Identity", QVariant(QStringLiteral("Sonavue")));
        dataRow("DesktopEntry", Root, "DesktopEntry",
                QVariant(QStringLiteral("org.sonavue.Sonavue")));
        dataRow("CanQuit", Root, "CanQuit", QVariant(true));
        dataRow("CanRaise", Root, "CanRaise", QVariant(true));
        dataRow("HasTrackList", Root, "HasTrackList", QVariant(false));
        // The playable types' list, as the desktop entry's MimeType has it.
        dataRow("SupportedMimeTypes", Root, "SupportedMimeTypes",
                QVariant(playableMimeTypes() + playlistMimeTypes()));
        dataRow("CanGoNext", Player, "CanGoNext", QVariant(true));
        dataRow("CanGoPrevious", Player, "CanGoPrevious", QVariant(true));
        dataRow("CanPlay", Player, "CanPlay", QVariant(true));
        dataRow("CanPause", Player, "CanPause", QVariant(true));
        dataRow("CanSeek", Player, "CanSeek", QVariant(true));
        dataRow("CanControl", Player, "CanControl", QVariant(true));
        dataRow("PlaybackStatus", Player, "PlaybackStatus", QVariant(QStringLiteral("Stopped")));
        dataRow("Rate", Player, "Rate", QVariant(1.0));
    }
    void appearsOnTheBus() {
        QFETCH(QString, interface);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        QVERIFY(m_client.interface()->isServiceRegistered(Service).value());
        QCOMPARE(property(interface, name), expected);
        const QDBusMessage introspection = call(
            QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
        QVERIFY(introspection.arguments().value(0).toString().contains(
            QStringLiteral("<property name=\"%1\"").arg(name)));
        // Nothing has played: the track is the protocol's "no track".
        QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 QString::fromLatin1(MprisPlayer::NoTrack));
    }

    // The same verbs from the desktop's media controls and from the keyboard's media keys
    // while the window has the focus.
    void transportDrivesTheWindowsPlayer_data() {
        QTest::addColumn<bool>("byKey");
        dataRow("over the bus", false);
        dataRow("media keys", true);
    }
    void transportDrivesTheWindowsPlayer() {
        QFETCH(bool, byKey);
        MediaControl& media = m_form->core().media();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        // PlayPause from idle is a continuous start: the first track of the list.
        give(QStringLiteral("PlayPause"), byKey);
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        QCOMPARE(playingFile(), QStringLiteral("t1.wav"));
        QCOMPARE(property(Player, QStringLiteral("PlaybackStatus")),
                 QVariant(QStringLiteral("Playing")));
        QTRY_COMPARE(m_recorder->last(QStringLiteral("PlaybackStatus")),
                     QVariant(QStringLiteral("Playing")));
        QVariantMap data = metadata();
        QCOMPARE(data.value(QStringLiteral("xesam:title")).toString(),
                 QStringLiteral("First Song"));
        QCOMPARE(data.value(QStringLiteral("xesam:artist")).toStringList(),
                 QStringList{"Artist One"});
        QCOMPARE(data.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Album X"));
        QCOMPARE(data.value(QStringLiteral("xesam:trackNumber")), QVariant(3));
        QCOMPARE(data.value(QStringLiteral("xesam:genre")).toStringList(), QStringList{"Other"});
        QCOMPARE(data.value(QStringLiteral("xesam:contentCreated")).toString(),
                 QStringLiteral("2001-01-01T00:00:00Z"));
        QCOMPARE(data.value(QStringLiteral("xesam:url")).toString(),
                 fileUriFor(track(QStringLiteral("t1.wav"))));
        const QString firstId =
            data.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
        QVERIFY2(firstId.startsWith(QStringLiteral("/org/sonavue/track/")), qPrintable(firstId));
        QTRY_COMPARE(asMap(m_recorder->last(QStringLiteral("Metadata")))
                         .value(QStringLiteral("xesam:title"))
                         .toString(),
                     QStringLiteral("First Song"));
        // The length is published once the element knows it.
        QTRY_VERIFY(metadata().contains(QStringLiteral("mpris:length")));
        QVERIFY(qAbs(metadata().value(QStringLiteral("mpris:length")).toLongLong() -
                     TrackMs * 1000LL) < 100000);

        // PlayPause pauses; Play resumes the same track.
        give(QStringLiteral("PlayPause"), byKey);
        QTRY_COMPARE(media.state(), MediaControl::State::Paused);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("PlaybackStatus")),
                     QVariant(QStringLiteral("Paused")));
        give(QStringLiteral("Play"), byKey);
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        QCOMPARE(playingFile(), QStringLiteral("t1.wav"));
        QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 firstId);
        // Previous starts the playing track over: play only goes forward.
        QTRY_VERIFY(media.positionMs() >= 500);
        give(QStringLiteral("Previous"), byKey);
        QTRY_VERIFY(media.positionMs() < 500);
        QCOMPARE(playingFile(), QStringLiteral("t1.wav"));

        // Next is the end-of-track step: the next track of the list, with new metadata.
        m_recorder->changes.clear();
        give(QStringLiteral("Next"), byKey);
        QTRY_COMPARE(playingFile(), QStringLiteral("t2.wav"));
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        data = metadata();
        QCOMPARE(data.value(QStringLiteral("xesam:title")).toString(),
                 QStringLiteral("Second Song"));
        QVERIFY(!data.contains(QStringLiteral("xesam:artist"))); // blank in the tag
        QVERIFY(data.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path() !=
                firstId);
        QTRY_COMPARE(asMap(m_recorder->last(QStringLiteral("Metadata")))
                         .value(QStringLiteral("xesam:title"))
                         .toString(),
                     QStringLiteral("Second Song"));
        // A file without a tag is named by its file name.
        give(QStringLiteral("Next"), byKey);
        QTRY_COMPARE(playingFile(), QStringLiteral("t3.wav"));
        QTRY_COMPARE(metadata().value(QStringLiteral("xesam:title")).toString(),
                     QStringLiteral("t3.wav"));

        // Stop is the STOP button: the element is closed.
        give(QStringLiteral("Stop"), byKey);
        QTRY_COMPARE(media.state(), MediaControl::State::Closed);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("PlaybackStatus")),
                     QVariant(QStringLiteral("Stopped")));
        // Pause while stopped changes nothing.
        give(QStringLiteral("Pause"), byKey);
        QVERIFY(settle());
        QCOMPARE(media.state(), MediaControl::State::Closed);
    }

    // Whatever ends a track, the bus hears of the next one once: one change carrying the new
    // metadata (with its length) and the status Playing, and never a Stopped in between.
    void eachTrackChangeIsOneChange_data() {
        QTest::addColumn<bool>("naturalEnd");
        dataRow("Next", false);
        dataRow("the track plays to its end", true);
    }
    void eachTrackChangeIsOneChange() {
        QFETCH(bool, naturalEnd);
        call(Player, QStringLiteral("Play"));
        QTRY_VERIFY(asMap(m_recorder->last(QStringLiteral("Metadata")))
                        .contains(QStringLiteral("mpris:length")));
        QVERIFY(settle()); // whatever the first start still publishes
        const QDBusObjectPath id =
            metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
        m_recorder->changes.clear();

        if (naturalEnd)
            call(Player, QStringLiteral("SetPosition"),
                 {QVariant::fromValue(id), qlonglong(TrackMs - 300) * 1000});
        else
            call(Player, QStringLiteral("Next"));
        QTRY_COMPARE(asMap(m_recorder->last(QStringLiteral("Metadata")))
                         .value(QStringLiteral("xesam:title"))
                         .toString(),
                     QStringLiteral("Second Song"));
        QVERIFY(settle()); // anything published with the change

        QList<QVariantMap> trackChanges;
        for (const QVariantMap& change : std::as_const(m_recorder->changes)) {
            if (change.contains(QStringLiteral("Metadata")))
                trackChanges << change;
            if (change.contains(QStringLiteral("PlaybackStatus")))
                QCOMPARE(change.value(QStringLiteral("PlaybackStatus")).toString(),
                         QStringLiteral("Playing"));
        }
        QCOMPARE(trackChanges.size(), 1);
        QCOMPARE(trackChanges.first().value(QStringLiteral("PlaybackStatus")).toString(),
                 QStringLiteral("Playing"));
        QVERIFY(asMap(trackChanges.first().value(QStringLiteral("Metadata")))
                    .contains(QStringLiteral("mpris:length")));
    }

    // With notifications on, each published track is announced once, replacing the notice
    // before; the file that cannot play between them is not. Off by default.
    void notificationsFollowTheTracks() {
        // Off, it follows the tracks silently until the setting turns it on.
        const auto silent =
            notifyTrackStarts(*m_mpris, ProgramSettings(App), QDBusConnection::sessionBus());
        QVERIFY(silent && !silent->enabled());
        NotificationRig rig({QStringLiteral("body"), QStringLiteral("body-markup")});
        QVERIFY(rig.registered);
        const NotificationService& service = rig.service;
        m_settings.set(QStringLiteral("notify"), QStringLiteral("1"));
        const auto notifier =
            notifyTrackStarts(*m_mpris, ProgramSettings(App), QDBusConnection::sessionBus());
        QVERIFY(notifier);

        call(Player, QStringLiteral("Play"));
        QTRY_COMPARE(service.calls.size(), 1);
        call(Player, QStringLiteral("Next"));
        QTRY_COMPARE(service.calls.size(), 2);
        // Every track published so far, and then the notices sent on the same connection.
        QVERIFY(settle());
        QDBusPendingCall asked = QDBusConnection::sessionBus().asyncCall(
            QDBusMessage::createMethodCall(NotificationRig::Name, NotificationRig::ObjectPath,
                                           QStringLiteral("org.freedesktop.Notifications"),
                                           QStringLiteral("GetCapabilities")));
        QVERIFY(QTest::qWaitFor([&] { return asked.isFinished(); }, 10000));
        QCOMPARE(service.calls.size(), 2);
        const QList<QVariantList>& calls = service.calls;
        QCOMPARE(calls[0].value(0).toString(), QStringLiteral("Sonavue"));
        QCOMPARE(calls[0].value(1).toUInt(), 0u);
        QCOMPARE(calls[0].value(3).toString(), QStringLiteral("First Song"));
        QCOMPARE(calls[0].value(4).toString(), QStringLiteral("Artist One — Album X"));
        QCOMPARE(calls[1].value(1).toUInt(), NotificationService::FirstId);
        QCOMPARE(calls[1].value(3).toString(), QStringLiteral("Second Song"));
    }

    // Tag text shows as its letters: where the service reads markup in the body, &, < and >
    // go as entities; elsewhere as they are. The summary is plain text anyway.
    void notificationsShowTagTextAsIs_data() {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        dataRow("body markup", QStringList{"body", "body-markup"},
                "&lt;i&gt;it&lt;/i&gt; &amp;amp; — A&amp;B");
        dataRow("plain body", QStringList{"body"}, "<i>it</i> &amp; — A&B");
    }
    void notificationsShowTagTextAsIs() {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        NotificationRig rig(capabilities);
        QVERIFY(rig.registered);
        TrackNotifier notifier(QDBusConnection::sessionBus());
        const QVariantMap track{{QStringLiteral("xesam:title"), QStringLiteral("<b>T</b>")},
                                {QStringLiteral("xesam:artist"), QStringList{"<i>it</i> &amp;"}},
                                {QStringLiteral("xesam:album"), QStringLiteral("A&B")}};
        notifier.announce(track);
        notifier.announce(track); // while the service is still asked what it reads
        QTRY_COMPARE(rig.service.calls.size(), 1);
        notifier.announce(track);
        QTRY_COMPARE(rig.service.calls.size(), 2);
        for (const QVariantList& call : rig.service.calls) {
            QCOMPARE(call.value(3).toString(), QStringLiteral("<b>T</b>"));
            QCOMPARE(call.value(4).toString(), body);
        }
    }

    // A select start of a file that cannot be played stops there: the bus has "Stopped" and
    // no track, and never hears of the file as if it played.
    void aFileThatCannotPlayIsNeverPublished() {
        BrowsingModel& browsing = m_form->core().browsing();
        browsing.selectTrack(int(browsing.trackTitles().indexOf(QStringLiteral("t1x.wav"))));
        QVERIFY(browsing.selectedTrack() >= 0);
        QSignalSpy failed(&m_form->core().player(), &PlayerControl::trackFailed);
        m_form->core().player().selectStart();
        QTRY_COMPARE(failed.count(), 1);
        // A time by nature: past the second the player waits for a new track's length.
        QTest::qWait(1200);
        QCOMPARE(property(Player, QStringLiteral("PlaybackStatus")),
                 QVariant(QStringLiteral("Stopped")));
        QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 QString::fromLatin1(MprisPlayer::NoTrack));
        for (const QVariantMap& change : std::as_const(m_recorder->changes))
            QVERIFY(!asMap(change.value(QStringLiteral("Metadata")))
                         .value(QStringLiteral("xesam:url"))
                         .toString()
                         .endsWith(QLatin1String("t1x.wav")));
    }

    // Previous starts the playing track over; continuous play goes on from it as before.
    void previousRestartsTheTrack() {
        MediaControl& media = m_form->core().media();
        call(Player, QStringLiteral("Play"));
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        const QDBusObjectPath id =
            metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
        call(Player, QStringLiteral("SetPosition"), {QVariant::fromValue(id), qlonglong(2000000)});
        QTRY_VERIFY(property(Player, QStringLiteral("Position")).toLongLong() >= 1900000);
        m_recorder->seeks.clear();

        call(Player, QStringLiteral("Previous"));
        QTRY_COMPARE(m_recorder->seeks, QList<qlonglong>{0});
        QCOMPARE(playingFile(), QStringLiteral("t1.wav"));
        QVERIFY(property(Player, QStringLiteral("Position")).toLongLong() < 1000000);
        QCOMPARE(media.state(), MediaControl::State::Playing);
        QCOMPARE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>(), id);

        // Paused: starts over and plays.
        call(Player, QStringLiteral("Pause"));
        QTRY_COMPARE(media.state(), MediaControl::State::Paused);
        call(Player, QStringLiteral("Previous"));
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        QCOMPARE(playingFile(), QStringLiteral("t1.wav"));

        // The track list's position is untouched: its end still leads to the next track.
        call(Player, QStringLiteral("SetPosition"),
             {QVariant::fromValue(id), qlonglong(TrackMs - 300) * 1000});
        QTRY_COMPARE(playingFile(), QStringLiteral("t2.wav"));

        // Nothing open (after STOP): nothing to start over.
        call(Player, QStringLiteral("Stop"));
        QTRY_COMPARE(media.state(), MediaControl::State::Closed);
        call(Player, QStringLiteral("Previous"));
        QVERIFY(settle());
        QCOMPARE(media.state(), MediaControl::State::Closed);
    }

    void seekingMovesThePosition() {
        MediaControl& media = m_form->core().media();
        call(Player, QStringLiteral("Play"));
        QTRY_COMPARE(media.state(), MediaControl::State::Playing);
        call(Player, QStringLiteral("Pause"));
        QTRY_COMPARE(media.state(), MediaControl::State::Paused);
        const QDBusObjectPath id =
            metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();

        call(Player, QStringLiteral("SetPosition"), {QVariant::fromValue(id), qlonglong(1500000)});
        QTRY_VERIFY(qAbs(property(Player, QStringLiteral("Position")).toLongLong() - 1500000) <
                    50000);
        QTRY_COMPARE(m_recorder->seeks, QList<qlonglong>{1500000});
        // A position for another track is stale and ignored.
        call(Player, QStringLiteral("SetPosition"),
             {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/sonavue/track/999"))),
              qlonglong(200000)});
        QVERIFY(settle());
        QVERIFY(qAbs(property(Player, QStringLiteral("Position")).toLongLong() - 1500000) < 50000);
        // Seek moves relative to where the track stands.
        call(Player, QStringLiteral("Seek"), {qlonglong(-1000000)});
        QTRY_VERIFY(qAbs(property(Player, QStringLiteral("Position")).toLongLong() - 500000) <
                    50000);
        // Past the end it acts as Next.
        call(Player, QStringLiteral("Seek"), {qlonglong(60000000)});
        QTRY_COMPARE(playingFile(), QStringLiteral("t2.wav"));
    }

    void volumeReachesTheLevel_data() {
        QTest::addColumn<double>("written");
        QTest::addColumn<QString>("caption");
        dataRow("half", 0.5, "128");
        dataRow("silent", 0.0, "0");
        dataRow("full", 1.0, "255");
        dataRow("fifth", 0.2, "51");
        dataRow("above full", 1.5, "255");
        dataRow("negative", -0.25, "0");
    }
    void volumeReachesTheLevel() {
        QFETCH(double, written);
        QFETCH(QString, caption);
        m_form->setVolumeLevel(100);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(), 100 / 255.0);
        const QDBusMessage reply =
            call(Properties, QStringLiteral("Set"),
                 {Player, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(written))});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(volumeLabel()->text(), caption);
        QCOMPARE(property(Player, QStringLiteral("Volume")).toDouble(), caption.toInt() / 255.0);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(),
                     caption.toInt() / 255.0);
    }

    // A volume that is no number is refused as the protocol says, and changes nothing.
    void volumeThatIsNoNumberIsRefused_data() {
        QTest::addColumn<QVariant>("written");
        dataRow("text", QVariant(QStringLiteral("loud")));
        dataRow("text of a number", QVariant(QStringLiteral("0.5")));
        dataRow("list", QVariant(QStringList{QStringLiteral("1")}));
    }
    void volumeThatIsNoNumberIsRefused() {
        QFETCH(QVariant, written);
        m_form->setVolumeLevel(100);
        const QDBusMessage reply =
            call(Properties, QStringLiteral("Set"),
                 {Player, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(written))});
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(volumeLabel()->text(), QStringLiteral("100"));
    }

    // The volume is the gain the output really applies: nothing is sent at start, so the
    // output plays at full gain although the level label says 128.
    void volumeIsWhatTheOutputApplies() {
        QCOMPARE(volumeLabel()->text(), QStringLiteral("128"));
        QCOMPARE(property(Player, QStringLiteral("Volume")).toDouble(), 1.0);
        m_form->setVolumeLevel(128);
        QCOMPARE(property(Player, QStringLiteral("Volume")).toDouble(), 128 / 255.0);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(), 128 / 255.0);
        // A level only shown (as the fade's bottom shows one) applies nothing.
        m_form->core().volume().showLevel(16);
        QVERIFY(settle());
        QCOMPARE(property(Player, QStringLiteral("Volume")).toDouble(), 128 / 255.0);
    }

    void windowLevelChangesArePublished() {
        // The window's level lowered by 10; the bus hears of it.
        m_form->setVolumeLevel(200);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(), 200 / 255.0);
        m_form->setVolumeLevel(m_form->core().volume().level() - 10);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(), 190 / 255.0);
        // Lowered from the level shown, also one only shown (the fade's bottom).
        m_form->core().volume().showLevel(128);
        m_form->setVolumeLevel(m_form->core().volume().level() - 10);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Volume")).toDouble(), 118 / 255.0);
    }

    // Shuffle and LoopStatus: as stored, as the window's keys switch them and as the bus sets
    // them, each change published, kept and marked on the now-playing line.
    void shuffleAndLoopStatus() {
        cleanup();
        start({{QStringLiteral("shuffle"), QStringLiteral("1")},
               {QStringLiteral("repeat"), QStringLiteral("one")}});
        const auto title = [this] { return control<QLabel>(*m_form, QStringLiteral("title")); };
        QCOMPARE(property(Player, QStringLiteral("Shuffle")), QVariant(true));
        QCOMPARE(property(Player, QStringLiteral("LoopStatus")), QVariant(QStringLiteral("Track")));
        QCOMPARE(title()->text(), QStringLiteral("[⇄ ↻1] "));

        QTest::sendKeyEvent(QTest::Click, m_form->windowHandle(), Qt::Key_H, 'h',
                            Qt::ControlModifier);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Shuffle")), QVariant(false));
        QCOMPARE(m_settings.get(QStringLiteral("shuffle")), QStringLiteral("0"));

        const auto set = [this](const QString& name, const QVariant& value) {
            return call(Properties, QStringLiteral("Set"),
                        {Player, name, QVariant::fromValue(QDBusVariant(value))});
        };
        QCOMPARE(set(QStringLiteral("LoopStatus"), QStringLiteral("None")).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("LoopStatus")),
                     QVariant(QStringLiteral("None")));
        QCOMPARE(m_settings.get(QStringLiteral("repeat")), QStringLiteral("none"));
        QCOMPARE(title()->text(), QStringLiteral("[→|] "));
        QCOMPARE(set(QStringLiteral("Shuffle"), true).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(m_recorder->last(QStringLiteral("Shuffle")), QVariant(true));
        // A word the protocol does not have, or a value of another type, changes nothing.
        for (const QVariant& wrong : {QVariant(QStringLiteral("Album")), QVariant(true)})
            QCOMPARE(set(QStringLiteral("LoopStatus"), wrong).errorName(),
                     QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(set(QStringLiteral("Shuffle"), QStringLiteral("yes")).errorName(),
                 QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QCOMPARE(property(Player, QStringLiteral("LoopStatus")), QVariant(QStringLiteral("None")));
        QCOMPARE(property(Player, QStringLiteral("Shuffle")), QVariant(true));
    }

    void raiseAndQuitReachTheWindow() {
        m_form->hide();
        call(Root, QStringLiteral("Raise"));
        QTRY_VERIFY(m_form->isVisible());
        // Quit is the window's own close: the unload handling runs and ends the program.
        QSignalSpy unloaded(m_form, &MainWindow::unloaded);
        call(Root, QStringLiteral("Quit"));
        QTRY_COMPARE(unloaded.count(), 1);
        QVERIFY(!m_form->isVisible());
    }

    // Only a local file of a type that plays is opened; everything else is answered with
    // an error and changes nothing.
    void openUriRefusesWhatIsNoTrack_data() {
        QTest::addColumn<QString>("uri");
        dataRow("system file", QStringLiteral("file:///etc/passwd"));
        dataRow("system file named with a NUL", QStringLiteral("file:///etc/passwd%00.mp3"));
        dataRow("folder", fileUriFor(m_music + QStringLiteral("/A")));
        dataRow("missing file", fileUriFor(track(QStringLiteral("gone.wav"))));
        dataRow("web address", QStringLiteral("https://example.com/t1.wav"));
        dataRow("not a URI", track(QStringLiteral("t1.wav")));
    }
    void openUriRefusesWhatIsNoTrack() {
        QFETCH(QString, uri);
        const QDBusMessage reply = call(Player, QStringLiteral("OpenUri"), {uri});
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QVERIFY(!reply.errorMessage().isEmpty());
        QVERIFY(settle());
        QCOMPARE(m_form->core().browsing().reserved().paths(), QStringList());
        QCOMPARE(m_form->core().media().state(), MediaControl::State::Closed);
    }

    // A track's file URI goes to the reserved list, and with nothing playing it plays.
    void openUriPlaysAFile() {
        const QDBusMessage reply =
            call(Player, QStringLiteral("OpenUri"), {fileUriFor(track(QStringLiteral("t2.wav")))});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(playingFile(), QStringLiteral("t2.wav"));
        QTRY_COMPARE(m_form->core().media().state(), MediaControl::State::Playing);
        QCOMPARE(m_form->core().browsing().reserved().paths(), QStringList());
    }

    // With the cover art setting on, a picture beside the track is published as its art; a
    // track without one has none. With it off no track has any.
    void coverBesideTheTrackIsItsArt_data() {
        QTest::addColumn<QString>("coverArt"); // the setting's value
        dataRow("on", "1");
        dataRow("off", "0");
    }
    void coverBesideTheTrackIsItsArt() {
        QFETCH(QString, coverArt);
        cleanup();
        start({{QStringLiteral("coverart"), coverArt}});
        const QString folder = m_dir.path() + QStringLiteral("/covered");
        const QString cover = folder + QStringLiteral("/Cover.JPG");
        QVERIFY(writeFile(cover, QByteArrayLiteral("\xFF\xD8\xFF picture")));
        const QString covered = folder + QStringLiteral("/c1.wav");
        QVERIFY(writeFile(covered, testaudio::wavBytes(TrackMs)));

        call(Player, QStringLiteral("OpenUri"), {fileUriFor(covered)});
        QTRY_COMPARE(playingFile(), QStringLiteral("c1.wav"));
        if (coverArt != QLatin1String("1")) {
            QTRY_COMPARE(metadata().value(QStringLiteral("xesam:title")).toString(),
                         QStringLiteral("c1.wav"));
            QVERIFY(!metadata().contains(QStringLiteral("mpris:artUrl")));
            return;
        }
        QTRY_COMPARE(metadata().value(QStringLiteral("mpris:artUrl")).toString(),
                     fileUriFor(cover));
        QTRY_COMPARE(asMap(m_recorder->last(QStringLiteral("Metadata")))
                         .value(QStringLiteral("mpris:artUrl"))
                         .toString(),
                     fileUriFor(cover));

        call(Player, QStringLiteral("Stop"));
        QTRY_COMPARE(m_form->core().media().state(), MediaControl::State::Closed);
        call(Player, QStringLiteral("OpenUri"), {fileUriFor(track(QStringLiteral("t2.wav")))});
        QTRY_COMPARE(playingFile(), QStringLiteral("t2.wav"));
        QTRY_COMPARE(metadata().value(QStringLiteral("xesam:title")).toString(),
                     QStringLiteral("Second Song"));
        QVERIFY(!metadata().contains(QStringLiteral("mpris:artUrl")));
        QTRY_COMPARE(asMap(m_recorder->last(QStringLiteral("Metadata")))
                         .value(QStringLiteral("xesam:title"))
                         .toString(),
                     QStringLiteral("Second Song"));
        QVERIFY(!asMap(m_recorder->last(QStringLiteral("Metadata")))
                     .contains(QStringLiteral("mpris:artUrl")));
    }

    // The track number, genre, album artist and date the controls are told, from the tags.
    void metadataCarriesTheTags_data() {
        QTest::addColumn<ShownTags>("tags");
        QTest::addColumn<QVariantMap>("expected");
        const QString number = QStringLiteral("xesam:trackNumber"),
                      genre = QStringLiteral("xesam:genre"),
                      albumArtist = QStringLiteral("xesam:albumArtist"),
                      created = QStringLiteral("xesam:contentCreated");
        const ShownTags v11 = recordTags("TAG", 7, 12, "2001");
        dataRow("ID3v1.1 record", v11,
                QVariantMap{
                    {number, 7}, {genre, QStringList{"Other"}}, {created, "2001-01-01T00:00:00Z"}});
        dataRow("record without track or year", recordTags("TAG", 0, 17, "    "),
                QVariantMap{{genre, QStringList{"Rock"}}});
        dataRow("no record: its bytes are audio", recordTags("xyz", 7, 12, "2001"), QVariantMap{});
        ShownTags richer = v11;
        richer.id3v2.track = 3;
        richer.id3v2.genre = "Jazz";
        richer.id3v2.albumArtist = "Various";
        richer.id3v2.date = "1999-05-03";
        dataRow("richer tags before the record", richer,
                QVariantMap{{number, 3},
                            {genre, QStringList{"Jazz"}},
                            {albumArtist, QStringList{"Various"}},
                            {created, "1999-05-03T00:00:00Z"}});
        ShownTags alone;
        alone.id3v2.track = 12;
        alone.id3v2.date = "2026-01-15T10:30";
        alone.id3v2.albumArtist = "  ";
        dataRow("richer tags alone, blank album artist", alone,
                QVariantMap{{number, 12}, {created, "2026-01-15T10:30:00Z"}});
        ShownTags month = alone;
        month.id3v2.date = "1999-05";
        dataRow("year and month", month,
                QVariantMap{{number, 12}, {created, "1999-05-01T00:00:00Z"}});
        ShownTags unknown = v11;
        unknown.id3v2.date = "spring 1999";
        dataRow("a date not understood leaves the record's year", unknown,
                QVariantMap{
                    {number, 7}, {genre, QStringList{"Other"}}, {created, "2001-01-01T00:00:00Z"}});
        ShownTags impossible = recordTags("TAG", 0, 12, "19x9");
        impossible.id3v2.date = "1999-02-30";
        dataRow("no such day, no year", impossible, QVariantMap{{genre, QStringList{"Other"}}});
    }
    void metadataCarriesTheTags() {
        QFETCH(ShownTags, tags);
        QFETCH(QVariantMap, expected);
        MprisTrack track;
        track.number = 1;
        track.path = QStringLiteral("/m/x.mp3");
        track.title = QStringLiteral("x");
        takeMoreTags(tags, track);
        const QVariantMap data = mprisMetadata(track);
        QVariantMap got;
        for (const char* key :
             {"xesam:trackNumber", "xesam:genre", "xesam:albumArtist", "xesam:contentCreated"})
            if (data.contains(QLatin1String(key)))
                got.insert(QLatin1String(key), data.value(QLatin1String(key)));
        QCOMPARE(got, expected);
    }

    void runsOnWithoutABus() {
        // A connection that never reached a bus: nothing is published, nothing fails.
        const QDBusConnection nowhere = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=%1/no-bus").arg(m_dir.path()), QStringLiteral("nowhere"));
        QVERIFY(!nowhere.isConnected());
        MprisPlayer unpublished(*m_program.program().core, {});
        QVERIFY(!unpublished.registerOn(nowhere));
        QCOMPARE(unpublished.playbackStatus(), QStringLiteral("Stopped"));
        unpublished.setVolume(0.2);
        QCOMPARE(volumeLabel()->text(), QStringLiteral("51"));
        QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
    }
};

QTEST_MAIN(MprisTest)
#include "test_app_mpris.moc"
