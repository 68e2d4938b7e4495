// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// What each of the player's verbs means, whichever front end runs it (the window's keys, the
// terminal remote, the desktop's media controls): over the real element and real files, from
// nothing open, a track playing and a track paused; and which keys run which verb.
#include "core/playercore.h"
#include "core/playerverbs.h"
#include "playback/audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/testsinks.h"
#include "support/datarow.h"

#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testaudio;
using State = MediaControl::State;

Q_DECLARE_METATYPE(sonavue::PlayerVerb)

namespace {

constexpr int WaitMs = 20000; // only a fault waits this long
constexpr int TrackMs = 3000; // long enough that no track ends while a row looks at it

} // namespace

class PlayerVerbsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_paths; // tracks 0 and 1 in the list, 2 for the reserved list

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
        for (int i = 0; i < 3; ++i) {
            m_paths << m_dir.filePath(QStringLiteral("track %1.wav").arg(i));
            QVERIFY(writeFile(m_paths.last(), wavBytes(TrackMs)));
        }
    }

    void eachVerbMeans_data() {
        QTest::addColumn<PlayerVerb>("verb");
        QTest::addColumn<QString>("before"); // "closed", "playing" (track 0) or "paused"
        QTest::addColumn<bool>("reserved");  // track 2 waits on the reserved list
        QTest::addColumn<State>("after");
        QTest::addColumn<int>("track"); // the track open after it; -1: none
        QTest::addColumn<bool>("done"); // the verb did something
        QTest::addColumn<int>("reservedLeft");
        using V = PlayerVerb;
        const QString closed = QStringLiteral("closed");
        const QString playing = QStringLiteral("playing");
        const QString paused = QStringLiteral("paused");
        dataRow("play: nothing open starts play", V::Play, closed, false, State::Playing, 0, true,
                0);
        dataRow("play: a paused track resumes", V::Play, paused, false, State::Playing, 0, true, 0);
        dataRow("play: a playing track plays on", V::Play, playing, false, State::Playing, 0, true,
                0);
        dataRow("pause: a playing track pauses", V::Pause, playing, false, State::Paused, 0, true,
                0);
        dataRow("pause: nothing open stays so", V::Pause, closed, false, State::Closed, -1, true,
                0);
        dataRow("play-pause: playing pauses", V::PlayPause, playing, false, State::Paused, 0, true,
                0);
        dataRow("play-pause: paused resumes", V::PlayPause, paused, false, State::Playing, 0, true,
                0);
        dataRow("play-pause: nothing open starts play", V::PlayPause, closed, false, State::Playing,
                0, true, 0);
        dataRow("stop closes the track", V::Stop, playing, false, State::Closed, -1, true, 0);
        dataRow("next: the track list's next", V::Next, playing, false, State::Playing, 1, true, 0);
        dataRow("next: the reserved list first", V::Next, playing, true, State::Playing, 2, true,
                0);
        dataRow("previous: the playing track over", V::Previous, playing, false, State::Playing, 0,
                true, 0);
        dataRow("previous: nothing open, nothing done", V::Previous, closed, false, State::Closed,
                -1, false, 0);
        dataRow("continuous start: the reserved track", V::ContinuousStart, closed, true,
                State::Playing, 2, true, 0);
        dataRow("select start: the selected track", V::SelectStart, closed, true, State::Playing, 1,
                true, 1);
        dataRow("clear reserved: the track plays on", V::ClearReserved, playing, true,
                State::Playing, 0, true, 0);
    }
    void eachVerbMeans() {
        QFETCH(PlayerVerb, verb);
        QFETCH(QString, before);
        QFETCH(bool, reserved);
        QFETCH(State, after);
        QFETCH(int, track);
        QFETCH(bool, done);
        QFETCH(int, reservedLeft);
        PlayerCore::Options options;
        options.media = std::make_unique<GstMediaElement>(realTimeFakeSink);
        PlayerCore core(std::move(options));
        // Tracks 0 and 1 make an album, shown as the window shows one.
        for (int i = 0; i < 2; ++i) {
            const int row = core.catalogue().appendRow();
            core.catalogue().setCell(ColPath, row, m_paths[i]);
            core.catalogue().setCell(ColAlbum, row, QStringLiteral("album"));
        }
        core.groups()[GroupAlbum].add(QStringLiteral("album"));
        core.browsing().selectGroupEntry(GroupAlbum, 0);
        Transport& transport = core.transport();
        if (before != QLatin1String("closed")) {
            core.browsing().selectTrack(0);
            transport.selectStart();
            QTRY_COMPARE_WITH_TIMEOUT(transport.state(), State::Playing, WaitMs);
            if (before == QLatin1String("paused")) {
                transport.pause();
                QCOMPARE(transport.state(), State::Paused);
            }
        }
        if (reserved)
            QVERIFY(core.browsing().reserved().append(m_paths[2]));
        core.browsing().selectTrack(1);

        const VerbOutcome outcome = runPlayerVerb(transport, verb);

        QTRY_COMPARE_WITH_TIMEOUT(transport.state(), after, WaitMs);
        if (track >= 0)
            QCOMPARE(transport.fileName(), m_paths[track]);
        QCOMPARE(outcome.done, done);
        // Only a verb that moves the open file tells where it now stands.
        QCOMPARE(outcome.positionMs,
                 verb == PlayerVerb::Previous && done ? std::optional<qint64>(0) : std::nullopt);
        if (verb == PlayerVerb::Previous && done)
            QTRY_VERIFY_WITH_TIMEOUT(transport.positionMs() < TrackMs / 2, WaitMs);
        QCOMPARE(core.browsing().reserved().count(), reservedLeft);
        transport.stop();
    }

    void keysRunVerbs_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<std::optional<PlayerVerb>>("verb");
        using V = PlayerVerb;
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const auto some = [](V verb) { return std::optional<V>(verb); };
        dataRow("S", int(Qt::Key_S), none, some(V::ContinuousStart));
        dataRow("Shift+S", int(Qt::Key_S), Qt::KeyboardModifiers(Qt::ShiftModifier),
                some(V::ContinuousStart));
        dataRow("Ctrl+S", int(Qt::Key_S), ctrl, some(V::SelectStart));
        dataRow("Ctrl+Shift+S", int(Qt::Key_S), ctrl | Qt::ShiftModifier, some(V::ContinuousStart));
        dataRow("Ctrl+S on the keypad", int(Qt::Key_S), ctrl | Qt::KeypadModifier,
                some(V::SelectStart));
        dataRow("Ctrl+C", int(Qt::Key_C), ctrl, some(V::ClearReserved));
        dataRow("C alone", int(Qt::Key_C), none, std::optional<V>());
        dataRow("Ctrl+Alt+C", int(Qt::Key_C), ctrl | Qt::AltModifier, std::optional<V>());
        dataRow("play media key", int(Qt::Key_MediaPlay), none, some(V::Play));
        dataRow("pause media key", int(Qt::Key_MediaPause), none, some(V::Pause));
        dataRow("play/pause media key with Shift", int(Qt::Key_MediaTogglePlayPause),
                Qt::KeyboardModifiers(Qt::ShiftModifier), some(V::PlayPause));
        dataRow("stop media key", int(Qt::Key_MediaStop), none, some(V::Stop));
        dataRow("next media key", int(Qt::Key_MediaNext), none, some(V::Next));
        dataRow("previous media key", int(Qt::Key_MediaPrevious), none, some(V::Previous));
        dataRow("W is the window's", int(Qt::Key_W), none, std::optional<V>());
        dataRow("Ctrl+H", int(Qt::Key_H), ctrl, some(V::Shuffle));
        dataRow("Ctrl+R", int(Qt::Key_R), ctrl, some(V::Repeat));
        dataRow("Ctrl+T", int(Qt::Key_T), ctrl, some(V::StopAfterTrack));
        dataRow("T alone", int(Qt::Key_T), none, std::optional<V>());
    }
    void keysRunVerbs() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(std::optional<PlayerVerb>, verb);
        QCOMPARE(playerVerbForKey(key, modifiers), verb);
    }

    // The play order's verbs switch its choices in turn; the track plays on.
    void playModeVerbs_data() {
        QTest::addColumn<PlayerVerb>("verb");
        QTest::addColumn<int>("times");
        QTest::addColumn<QStringList>("words"); // shuffle, repeat, stop-after
        using V = PlayerVerb;
        dataRow("shuffle on", V::Shuffle, 1, QStringList{"on", "all", "off"});
        dataRow("shuffle off again", V::Shuffle, 2, QStringList{"off", "all", "off"});
        dataRow("repeat one", V::Repeat, 1, QStringList{"off", "one", "off"});
        dataRow("repeat none", V::Repeat, 2, QStringList{"off", "none", "off"});
        dataRow("repeat all again", V::Repeat, 3, QStringList{"off", "all", "off"});
        dataRow("stop after the track", V::StopAfterTrack, 1, QStringList{"off", "all", "on"});
        dataRow("stop after, called off", V::StopAfterTrack, 2, QStringList{"off", "all", "off"});
    }
    void playModeVerbs() {
        QFETCH(PlayerVerb, verb);
        QFETCH(int, times);
        QFETCH(QStringList, words);
        PlayerCore core;
        for (int i = 0; i < times; ++i)
            QVERIFY(runPlayerVerb(core.transport(), verb).done);
        QStringList now;
        for (const auto& [word, value] : playModeWords(core.transport()))
            now << value;
        QCOMPARE(now, words);
    }

    void eachVerbHasOneName() {
        QStringList names;
        for (const PlayerVerbInfo& info : playerVerbs()) {
            QVERIFY2(!names.contains(QString(info.name)), info.name.data());
            names << QString(info.name);
            QCOMPARE(playerVerbNamed(QString(info.name)), std::optional<PlayerVerb>(info.verb));
            QCOMPARE(&playerVerbInfo(info.verb), &info);
        }
        QCOMPARE(playerVerbNamed(QStringLiteral("no-such-verb")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(PlayerVerbsTest)
#include "test_core_playerverbs.moc"
