// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Player control's fade toward the reserved list, events that arrive during its yields, and
// the states in which a start finds nothing to play.
#include "playercontrolrig.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <memory>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

QString rvaComment(const QString& value) {
    return QStringLiteral("relative volume given ") + QStringLiteral("RVA=") + value;
}

} // namespace

class PlayerControlFadeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PlayerRig> rig;

public:
    // The ways a start can find nothing to play (idle's setups).
    enum Idle { NothingShown, RowBeyondCatalogue, GroupEntryGone };
    Q_ENUM(Idle)

private:
    void setUpIdle(Idle kind) {
        if (kind == RowBeyondCatalogue) {
            rig->setGroups(GroupArtist, {{3}, {4}});
            rig->browsing.selectGroupEntry(GroupArtist, 0);
            // A new catalogue of two rows; the track list still names row 3.
            const QStringList paths{rig->path(0), rig->path(1)};
            rig->catalogue.clear();
            for (const QString& path : paths)
                rig->catalogue.setCell(ColPath, rig->catalogue.appendRow(), path);
            QCOMPARE(rig->browsing.trackNumbers(), QStringList{QStringLiteral("3")});
        } else if (kind == GroupEntryGone) {
            rig->setGroups(GroupArtist, {{10}, {11}, {12}, {13}, {14}, {15}});
            rig->browsing.selectGroupEntry(GroupArtist, 5);
            rig->playing(0);
            rig->setGroups(GroupArtist, {{3}, {4}}); // a new scan: two entries
            rig->browsing.selectGroupEntry(GroupArtist, 0);
        }
        rig->forget();
    }

private slots:
    void init() {
        rig = std::make_unique<PlayerRig>();
        QVERIFY(rig->dir.isValid());
    }
    void cleanup() {
        const QString faults = rig->insaneState();
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
        rig.reset();
    }

    void fade_data() {
        QTest::addColumn<int>("startLevel");
        QTest::addColumn<int>("ticks");
        dataRow("from 128", 128, 16);
        dataRow("from 100", 100, 13);
        dataRow("from 255", 255, 32);
        dataRow("from 8", 8, 1);
    }
    void fade() {
        QFETCH(int, startLevel);
        QFETCH(int, ticks);
        rig->showFolders();
        rig->control.setImmediateChange(true);
        rig->startAtLevel(startLevel);
        rig->control.continuousStart(); // a track-list track plays
        QVERIFY(rig->writeTrack(10, rvaComment(QStringLiteral("+030"))));
        QVERIFY(rig->reserve({10}));

        rig->control.trackReserved();
        QVERIFY(rig->control.fading());
        QVERIFY(rig->control.reservedPlaying());
        QCOMPARE(rig->control.fadeStartLevel(), startLevel);

        QList<int> expected;
        for (int level = startLevel - 8; level >= 1; level -= 8)
            expected << level;
        expected << 158 << 128; // the reserved track's own level, then the fade's last step
        rig->forget();
        rig->logShownLevels();
        int count = 0;
        while (rig->control.fading() && count < 100) {
            rig->control.fadeStep();
            ++count;
        }

        QCOMPARE(count, ticks);
        QCOMPARE(rig->media.gains, PlayerRig::gains(expected));
        QCOMPARE(rig->volume.level(), 128);
        QCOMPARE(rig->lastOpened(), rig->path(10));
        QCOMPARE(rig->browsing.reserved().count(), 0);
        QVERIFY(rig->control.reservedPlaying());
        // The bottom: level 128 shown but not sent, close, a yield, the reserved start, then
        // level 128 sent.
        const QStringList& log = rig->log;
        const qsizetype bottom = log.indexOf(QStringLiteral("shown 128"));
        QVERIFY(bottom >= 0);
        QCOMPARE(log.mid(bottom, 5),
                 (QStringList{"shown 128", "Close", "yield", "Close", "yield"}));
        QCOMPARE(log.mid(log.size() - 2), (QStringList{"level 128", "yield"}));
    }

    void fadeStartsOnlyUnderImmediate_data() {
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<bool>("alreadyReserved");
        QTest::addColumn<bool>("fades");
        dataRow("at once", true, false, true);
        dataRow("at once while a reserved track plays", true, true, false);
        dataRow("after the track's end", false, false, false);
    }
    void fadeStartsOnlyUnderImmediate() {
        QFETCH(bool, immediate);
        QFETCH(bool, alreadyReserved);
        QFETCH(bool, fades);
        rig->control.setImmediateChange(immediate);
        if (alreadyReserved) {
            QVERIFY(rig->reserve({11}));
            rig->media.finish(PlayEnd::Reached);
            QVERIFY(rig->control.reservedPlaying());
        }
        QVERIFY(rig->reserve({10}));
        rig->control.trackReserved();
        QCOMPARE(rig->control.fading(), fades);
        QCOMPARE(rig->control.reservedPlaying(), fades || alreadyReserved);
    }

    void fadeTimerTicksEvery100Ms() {
        QVERIFY(!rig->control.fading());
        rig->control.setImmediateChange(true);
        QVERIFY(rig->reserve({10}));
        QElapsedTimer clock;
        clock.start();
        rig->control.trackReserved();
        QCOMPARE(rig->volume.level(), 128); // no step before the first tick
        QTRY_COMPARE_WITH_TIMEOUT(rig->volume.level(), 120, 2000);
        QVERIFY2(clock.elapsed() >= 90, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(rig->volume.level(), 112, 2000);
        QVERIFY2(clock.elapsed() >= 180, qPrintable(QString::number(clock.elapsed())));
    }

    void stopDuringFadeStillStartsReserved() {
        rig->showFolders();
        rig->control.setImmediateChange(true);
        rig->startAtLevel(24);
        rig->control.continuousStart();
        QVERIFY(rig->reserve({10}));
        rig->control.trackReserved();
        rig->post([this] { rig->control.stop(); }); // STOP during a tick
        const int before = rig->openedCount();

        rig->control.fadeStep();
        QVERIFY(rig->control.fading());
        QCOMPARE(rig->openedCount(), before);
        rig->control.fadeStep();
        rig->control.fadeStep();

        QVERIFY(!rig->control.fading());
        QCOMPARE(rig->lastOpened(), rig->path(10));
        QCOMPARE(rig->volume.level(), 128);
    }

    // Another handler empties the lists (a scan starting) at one of the yields.
    void listsEmptiedDuringYield_data() {
        QTest::addColumn<int>("yield");
        QTest::addColumn<bool>("plays");
        dataRow("continuous start's yield", 1, false);
        dataRow("before the track is looked up", 2, false);
        dataRow("after the track was looked up", 3, true);
    }
    void listsEmptiedDuringYield() {
        QFETCH(int, yield);
        QFETCH(bool, plays);
        rig->showFolders();
        rig->atYield(yield, [this] {
            rig->catalogue.clear();
            for (int list = 0; list < GroupCount; ++list)
                rig->groups[list].clear();
            rig->browsing.showAllTracks(); // the catalogue holds no row now
        });

        rig->control.continuousStart();

        QCOMPARE(rig->media.wasSent(QStringLiteral("Open")), plays);
        QCOMPARE(rig->media.wasSent(QStringLiteral("Play")), plays);
        const QString third = rig->dir.filePath(QStringLiteral("f0/t03.mp3"));
        QCOMPARE(rig->lastOpened(), plays ? third : QString());
    }

    void reservedListChangedDuringYield_data() {
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<QList<int>>("left"); // rows left on the list
        dataRow("head removed by the user", false, QList<int>{11});
        dataRow("list emptied (Ctrl+C)", true, QList<int>{});
    }
    void reservedListChangedDuringYield() {
        QFETCH(bool, emptied);
        QFETCH(QList<int>, left);
        QVERIFY(rig->reserve({10, 11}));
        ReservedList& reserved = rig->browsing.reserved();
        rig->post([&] {
            if (emptied)
                reserved.clear();
            else
                reserved.removeAt(0);
        });

        rig->media.finish(PlayEnd::Reached);

        QCOMPARE(rig->lastOpened(), rig->path(10)); // taken before the yield
        QStringList expected;
        for (int row : left)
            expected << rig->path(row);
        QCOMPARE(reserved.paths(), expected);
    }

    void idle_data() {
        QTest::addColumn<Idle>("kind");
        QTest::addColumn<bool>("selectStart");
        dataRow("empty lists, continuous", NothingShown, false);
        dataRow("empty lists, select", NothingShown, true);
        dataRow("row beyond catalogue", RowBeyondCatalogue, false);
        dataRow("row beyond catalogue, select", RowBeyondCatalogue, true);
    }
    void idle() {
        QFETCH(Idle, kind);
        QFETCH(bool, selectStart);
        setUpIdle(kind);
        if (QTest::currentTestFailed())
            return;

        if (selectStart)
            rig->control.selectStart();
        else
            rig->control.continuousStart();

        QVERIFY(!rig->media.wasSent(QStringLiteral("Open")));
        QVERIFY(!rig->media.wasSent(QStringLiteral("Play")));
        QVERIFY(rig->nowPlaying.isEmpty());
        QVERIFY(!rig->control.startingTrack());
    }

    // Continuous play goes on where there is something to play: from the first entry when
    // the group entry it stood at is gone (well past the new list's end, or just past it when
    // the last entry went), and past an entry that lists no track. Whether a start or the
    // playing track's end asks.
    void playGoesOnPastWhatIsGone_data() {
        QTest::addColumn<int>("entries");  // before a new scan leaves two; 0: no new scan
        QTest::addColumn<int>("standing"); // the entry play stood at
        QTest::addColumn<bool>("trackEnds");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("position");
        dataRow("group entry gone after a new scan", 6, 5, false, 3, "0/0");
        dataRow("the last entry gone: one past the end", 3, 2, false, 3, "0/0");
        dataRow("the last entry gone, at the track's end", 3, 2, true, 3, "0/0");
        dataRow("an entry without tracks", 0, 0, false, 4, "0/2");
    }
    void playGoesOnPastWhatIsGone() {
        QFETCH(int, entries);
        QFETCH(int, standing);
        QFETCH(bool, trackEnds);
        QFETCH(int, row);
        QFETCH(QString, position);
        if (entries > 0) {
            QList<QList<int>> before;
            for (int e = 0; e < entries; ++e)
                before << QList<int>{10 + e};
            rig->setGroups(GroupArtist, before);
            rig->browsing.selectGroupEntry(GroupArtist, standing);
            rig->playing(0);
            rig->setGroups(GroupArtist, {{3}, {4}}); // a new scan: two entries
            rig->browsing.selectGroupEntry(GroupArtist, 0);
        } else {
            rig->setGroups(GroupArtist, {{3}, {}, {4}});
            rig->browsing.selectGroupEntry(GroupArtist, 0);
            rig->playing(0);
        }
        rig->forget();
        if (trackEnds)
            rig->media.finish(PlayEnd::Reached);
        else
            rig->control.continuousStart();
        QCOMPARE(rig->media.opened(), QStringList{rig->path(row)});
        QCOMPARE(rig->position(), position);
    }

    // Files that cannot be played: continuous play passes over each, once round the play
    // order at most; a select start stops at its file. Each is reported.
    void failedFiles_data() {
        QTest::addColumn<bool>("selectStart");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<QList<int>>("opened");
        QTest::addColumn<bool>("nothingPlayable");
        dataRow("one bad file passed over", false, QList<int>{4}, QList<int>{3, 4, 5, 6, 7, 3, 4},
                false);
        dataRow("last of a folder and first of the next", false, QList<int>{5, 6},
                QList<int>{3, 4, 5, 6, 7, 3, 4, 5, 6}, false);
        dataRow("nothing plays: once round, then stop", false, QList<int>{3, 4, 5, 6, 7},
                QList<int>{3, 4, 5, 6, 7}, true);
        dataRow("select start of a bad file stops there", true, QList<int>{4}, QList<int>{4},
                false);
    }
    void failedFiles() {
        QFETCH(bool, selectStart);
        QFETCH(QList<int>, failing);
        QFETCH(QList<int>, opened);
        QFETCH(bool, nothingPlayable);
        rig->showFolders();
        QStringList failed;
        int stops = 0;
        connect(&rig->control, &PlayerControl::trackFailed, this,
                [&](const QString& path) { failed << path; });
        connect(&rig->control, &PlayerControl::nothingPlayable, this, [&] { ++stops; });
        // The file last opened ends, or fails, as its row says.
        const auto finishIt = [&] {
            const int row = int(rig->lastOpened().right(6).left(2).toInt());
            rig->media.finish(failing.contains(row) ? PlayEnd::Failed : PlayEnd::Reached);
        };
        rig->browsing.selectTrack(1);
        if (selectStart)
            rig->control.selectStart();
        else
            rig->control.continuousStart();
        for (int before = 0; rig->openedCount() > before && rig->openedCount() < opened.size();) {
            before = rig->openedCount();
            finishIt();
        }

        QStringList expected, expectedFailures;
        for (int row : opened) {
            expected << rig->path(row);
            if (failing.contains(row))
                expectedFailures << rig->path(row);
        }
        QCOMPARE(rig->media.opened(), expected);
        if (selectStart || nothingPlayable) {
            finishIt(); // the last one fails too, and nothing more is opened
            QCOMPARE(rig->media.opened(), expected);
        } else {
            expectedFailures.removeLast(); // the last one opened has not ended yet
        }
        QCOMPARE(failed, expectedFailures);
        QCOMPARE(stops, nothingPlayable ? 1 : 0);
    }

    // The fading track ends (or fails) before the fade's bottom: the fade ends there, the
    // queued track plays in full at the middle level.
    void fadeEndsWithTheFadingTrack_data() {
        QTest::addColumn<int>("code");
        dataRow("it ends", int(PlayEnd::Reached));
        dataRow("it fails", int(PlayEnd::Failed));
    }
    void fadeEndsWithTheFadingTrack() {
        QFETCH(int, code);
        rig->showFolders();
        rig->control.setImmediateChange(true);
        rig->control.continuousStart();
        QVERIFY(rig->writeTrack(10, rvaComment(QStringLiteral("+030"))));
        QVERIFY(rig->reserve({10}));
        rig->control.trackReserved();
        for (int tick = 0; tick < 3; ++tick)
            rig->control.fadeStep();
        QCOMPARE(rig->volume.level(), 104);
        rig->forget();

        rig->media.finish(PlayEnd(code));

        QVERIFY(!rig->control.fading());
        QCOMPARE(rig->media.opened(), QStringList{rig->path(10)});
        QCOMPARE(rig->volume.level(), 128);
        QVERIFY(rig->control.reservedPlaying());
        QVERIFY(deliverQueuedCalls()); // the fade's timer is stopped; nothing else is on its way
        QCOMPARE(rig->log.mid(rig->log.lastIndexOf(QStringLiteral("Play"))),
                 (QStringList{"Play", "title " + PlayerRig::titleField(10), "level 128"}));
    }

    // With no entry selected in the source list, a select start plays and keeps no group
    // entry; play then goes on in the track list and leaves the group list alone.
    void selectStartWithNoGroupEntry() {
        rig->setGroups(GroupArtist, {{7, 8}, {9}});
        rig->browsing.selectGroupEntry(GroupArtist, 0);
        rig->browsing.selectGroupEntry(GroupArtist, -1);
        QCOMPARE(rig->browsing.trackCount(), 2);

        rig->control.selectStart();
        QCOMPARE(rig->position(), QStringLiteral("0/-1"));
        QCOMPARE(rig->lastOpened(), rig->path(7));

        rig->media.finish(PlayEnd::Reached);
        QCOMPARE(rig->lastOpened(), rig->path(8));
        QCOMPARE(rig->position(), QStringLiteral("1/-1"));
        QCOMPARE(rig->browsing.selectedGroupEntry(GroupArtist), -1);
    }

    // Where the end of a track leads from the position continuous play kept.
    void positionAfterAnEnd_data() {
        QTest::addColumn<int>("track"); // the track started (-2: no start yet)
        QTest::addColumn<int>("row");   // the row played after the end
        dataRow("unset reads as 0", -2, 4);
        dataRow("nothing selected at the start", -1, 3);
        dataRow("the second track", 1, 5);
        dataRow("the last track: the next folder", 2, 6);
    }
    void positionAfterAnEnd() {
        QFETCH(int, track);
        QFETCH(int, row);
        rig->showFolders();
        if (track > -2)
            rig->playing(track);
        rig->media.finish(PlayEnd::Reached);
        QCOMPARE(rig->lastOpened(), rig->path(row));
    }
};

namespace sonavue::testing {

std::unique_ptr<QObject> makePlayerControlFadeTest() {
    return std::make_unique<PlayerControlFadeTest>();
}

} // namespace sonavue::testing

#include "test_playback_playercontrol_fade.moc"
