// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Player control over the real browsing model and a media element that plays nothing, with
// real tagged files on disk for the tag reads.
#include "playercontrolrig.h"
#include "support/datarow.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace sonavue;
using namespace sonavue::testing;

Q_DECLARE_METATYPE(sonavue::Repeat)

namespace {

// A comment that carries a relative volume: 22 characters of text, "RVA=", then the value.
QString rvaComment(const QString& value) {
    return QStringLiteral("relative volume given ") + QStringLiteral("RVA=") + value;
}

QStringList rowTexts(const QList<int>& rows) {
    QStringList texts;
    for (int row : rows)
        texts << QString::number(row);
    return texts;
}

// The rows 10e + 1 ... 10e + size of group entry e: easy to tell apart in the results.
QList<int> entryRows(int entry, int size) {
    QList<int> rows;
    for (int i = 1; i <= size; ++i)
        rows << 10 * entry + i;
    return rows;
}

} // namespace

class PlayerControlTest : public QObject {
    Q_OBJECT
public:
    // How a test starts a track: a button, a track's end, the fade's last step, or a play
    // that ends aborted.
    enum class Start { Continuous, Select, TrackEnd, FadeEnd, Aborted };
    Q_ENUM(Start)

private:
    void begin(Start start) {
        switch (start) {
        case Start::Continuous:
            rig->control.continuousStart();
            break;
        case Start::Select:
            rig->control.selectStart();
            break;
        case Start::TrackEnd:
            rig->media.finish(PlayEnd::Reached);
            break;
        case Start::FadeEnd:
            rig->startAtLevel(8);
            rig->control.fadeStep();
            break;
        case Start::Aborted:
            rig->media.finish(PlayEnd::Aborted);
            break;
        }
    }

    std::unique_ptr<PlayerRig> rig;

private slots:
    void init() {
        rig = std::make_unique<PlayerRig>();
        QVERIFY(rig->dir.isValid());
        QCOMPARE(rig->catalogue.rowCount(), PlayerRig::Rows);
    }
    void cleanup() {
        // Whatever the test did, the model's selections stay within its lists and in step.
        const QString faults = rig->insaneState();
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
        rig.reset();
    }

    void stopOnlyCloses() {
        rig->showFolders();
        rig->playing(1);
        QVERIFY(rig->reserve({10, 11}));
        rig->media.finish(PlayEnd::Reached); // a reserved track plays
        rig->startAtLevel(77);
        rig->forget();

        rig->control.stop();

        QCOMPARE(rig->log, QStringList{QStringLiteral("Close")});
        QCOMPARE(rig->position(), QStringLiteral("1/0"));
        QCOMPARE(rig->browsing.reserved().paths(), QStringList{rig->path(11)});
        QCOMPARE(rig->volume.level(), 77);
        QVERIFY(rig->media.gains.isEmpty());
        QVERIFY(rig->control.reservedPlaying());
    }

    // The order of calls, yields and level changes of each kind of start.
    void stepOrder_data() {
        QTest::addColumn<Start>("start");
        QTest::addColumn<QStringList>("expected");
        const QString title3 = QStringLiteral("title ") + PlayerRig::titleField(3);
        const QString title10 = QStringLiteral("title ") + PlayerRig::titleField(10);
        dataRow("continuous start", Start::Continuous,
                QStringList{"yield", "track -1", "yield", "track 0", "Close", "yield", "level 158",
                            "Open t03.mp3", "Play", title3});
        dataRow("select start", Start::Select,
                QStringList{"Close", "title t04.mp3", "yield", "Open t04.mp3", "Play"});
        dataRow("reserved start", Start::TrackEnd,
                QStringList{"Close", "yield", "level 158", "Open t10.mp3", "unreserve 0", "Play",
                            title10});
    }
    void stepOrder() {
        QFETCH(Start, start);
        QFETCH(QStringList, expected);
        rig->showFolders();
        for (int row : {3, 4, 10})
            QVERIFY(rig->writeTrack(row, rvaComment(QStringLiteral("+030"))));
        if (start == Start::Select)
            rig->browsing.selectTrack(1);
        if (start == Start::TrackEnd)
            QVERIFY(rig->reserve({10}));
        rig->forget();

        begin(start);

        QCOMPARE(rig->log, expected);
        if (start != Start::Select)
            QCOMPARE(rig->media.gains, PlayerRig::gains({158}));
    }

    // A track start is marked from its first call to its last, and its end is announced
    // once, also when a yield inside it runs another start; other codes start nothing.
    void trackStartIsMarkedWhole_data() {
        QTest::addColumn<Start>("start");
        QTest::addColumn<bool>("endDuringYield");
        dataRow("select start", Start::Select, false);
        dataRow("end-of-track step", Start::TrackEnd, false);
        dataRow("a track end during a start's yield", Start::TrackEnd, true);
        dataRow("the fade's last tick", Start::FadeEnd, false);
        dataRow("code 4", Start::Aborted, false);
    }
    void trackStartIsMarkedWhole() {
        QFETCH(Start, start);
        QFETCH(bool, endDuringYield);
        rig->showFolders();
        QSignalSpy finished(&rig->control, &PlayerControl::trackStartFinished);
        QList<bool> markedAtYields;
        QList<int> announcedAtYields;
        for (int yield = 1; yield <= 6; ++yield)
            rig->atYield(yield, [&, yield] {
                markedAtYields << rig->control.startingTrack();
                announcedAtYields << int(finished.size());
                if (endDuringYield && yield == 1)
                    rig->media.finish(PlayEnd::Reached);
            });

        begin(start);

        const bool startsATrack = start != Start::Aborted;
        QVERIFY(!rig->control.startingTrack());
        QCOMPARE(finished.size(), startsATrack ? 1 : 0);
        QCOMPARE(markedAtYields.isEmpty(), !startsATrack);
        // Every yield is inside the start, except the fade's own yield after its level step.
        for (qsizetype i = 0; i < markedAtYields.size(); ++i) {
            const bool fadesLastYield = start == Start::FadeEnd && i == markedAtYields.size() - 1;
            QCOMPARE(markedAtYields[i], !fadesLastYield);
            QCOMPARE(announcedAtYields[i], fadesLastYield ? 1 : 0);
        }
    }

    void continuousStartAfterProgramStart() {
        rig->showFolders();
        QString positionAtYield;
        rig->atYield(1, [&] { positionAtYield = rig->position(); });

        rig->control.continuousStart();

        QCOMPARE(positionAtYield, QStringLiteral("-1/-"));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(3)});
        QCOMPARE(rig->position(), QStringLiteral("0/0"));
        QCOMPARE(rig->nowPlaying, PlayerRig::titleField(3));
        QVERIFY(!rig->control.reservedPlaying());
    }

    void continuousStartWithNothingSelected() {
        rig->showFolders();
        rig->browsing.selectTrack(-1);
        rig->control.continuousStart();
        QCOMPARE(rig->lastOpened(), rig->path(3));
        QCOMPARE(rig->browsing.selectedTrack(), 0);
    }

    void continuousStartAfterStop() {
        rig->showFolders();
        rig->control.continuousStart();
        rig->media.finish(PlayEnd::Reached);
        QCOMPARE(rig->lastOpened(), rig->path(4));

        rig->browsing.selectTrack(0); // the user selects another track, then stops
        rig->control.stop();
        rig->control.continuousStart();

        QCOMPARE(rig->lastOpened(), rig->path(5));
        QCOMPARE(rig->position(), QStringLiteral("2/0"));
    }

    void selectStartWithNothingSelected() {
        rig->showFolders();
        rig->browsing.selectTrack(-1);

        rig->control.selectStart();
        QCOMPARE(rig->position(), QStringLiteral("-1/0"));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(3)});

        rig->media.finish(PlayEnd::Reached); // the same track plays a second time
        QCOMPARE(rig->media.opened(), (QStringList{rig->path(3), rig->path(3)}));
        QCOMPARE(rig->position(), QStringLiteral("0/0"));
    }

    void selectStart_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("expectedTitle");
        dataRow("file with relative volume", true, QStringLiteral("t05.mp3"));
        dataRow("file missing", false, QString());
    }
    void selectStart() {
        QFETCH(bool, fileThere);
        QFETCH(QString, expectedTitle);
        rig->showFolders();
        rig->browsing.selectGroupEntry(GroupFolder, 1); // folder entry 1 shown ...
        rig->browsing.selectGroupEntry(GroupFolder, 0); // ... and back to entry 0
        rig->browsing.selectTrack(2);
        rig->startAtLevel(40);
        QVERIFY(rig->writeTrack(5, rvaComment(QStringLiteral("+030"))));
        if (!fileThere)
            QVERIFY(QFile::remove(rig->path(5)));

        rig->control.selectStart();

        QCOMPARE(rig->position(), QStringLiteral("2/0"));
        QCOMPARE(rig->media.fileName(), rig->path(5));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(5)});
        QCOMPARE(rig->nowPlaying, expectedTitle);
        QVERIFY(rig->media.gains.isEmpty()); // the level is kept
        QCOMPARE(rig->volume.level(), 40);
    }

    void reservedPathsPlayInOrder() {
        rig->showFolders();
        rig->playing(1);
        QVERIFY(rig->reserve({10, 11, 12}));

        for (int row : {10, 11, 12}) {
            rig->media.finish(PlayEnd::Reached);
            QCOMPARE(rig->lastOpened(), rig->path(row));
            QCOMPARE(rig->browsing.reserved().count(), 12 - row);
            QCOMPARE(rig->nowPlaying, PlayerRig::titleField(row));
            QVERIFY(rig->control.reservedPlaying());
            QCOMPARE(rig->position(), QStringLiteral("1/0"));
        }
        rig->media.finish(PlayEnd::Reached);
        QCOMPARE(rig->lastOpened(), rig->path(5));
        QCOMPARE(rig->position(), QStringLiteral("2/0"));
        QVERIFY(!rig->control.reservedPlaying());
    }

    void groupAdvance_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("playingEntry");
        QTest::addColumn<int>("next");
        dataRow("to the next entry", 3, 0, 1);
        dataRow("wrap after the last entry", 3, 2, 0);
        dataRow("single entry repeats", 1, 0, 0);
    }
    void groupAdvance() {
        QFETCH(int, entries);
        QFETCH(int, playingEntry);
        QFETCH(int, next);
        QList<QList<int>> lists;
        for (int e = 0; e < entries; ++e)
            lists << entryRows(e, 2);
        rig->setGroups(GroupArtist, lists);
        rig->browsing.selectGroupEntry(GroupArtist, playingEntry);
        rig->playing(1); // the last of the entry's two tracks

        rig->media.finish(PlayEnd::Reached);

        QCOMPARE(rig->browsing.selectedGroupEntry(GroupArtist), next);
        QCOMPARE(rig->browsing.trackNumbers(), rowTexts(entryRows(next, 2)));
        QCOMPARE(rig->lastOpened(), rig->path(10 * next + 1));
        QCOMPARE(rig->position(), QStringLiteral("0/%1").arg(next));
    }

    // Track 10 of a 12-track entry plays; the user shows a 5-track entry of the same list.
    void clampingToTheShownList() {
        const QList<int> twelve{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        rig->setGroups(GroupAlbum, {{0, 1, 2}, twelve, {30, 31, 32, 33}, {35, 36, 37, 38, 39}});
        rig->browsing.selectGroupEntry(GroupAlbum, 1);
        rig->playing(10);
        rig->browsing.selectGroupEntry(GroupAlbum, 3);
        rig->forget();

        rig->media.finish(PlayEnd::Reached);

        const QStringList& log = rig->log;
        const auto at = [&](const char* entry) { return log.indexOf(QLatin1String(entry)); };
        QVERIFY(at("track 4") >= 0);                // clamped to the 5 tracks shown
        QVERIFY(at("group 1:1") > at("track 4"));   // the playing entry's 12 come back
        QVERIFY(at("group 1:2") > at("group 1:1")); // 4 + 1 reached 5: the next entry
        QCOMPARE(rig->media.opened(), QStringList{rig->path(30)});
        QCOMPARE(rig->position(), QStringLiteral("0/2"));
    }

    // Shuffled: the reserved list first, the playing entry's other tracks each once in a
    // random order, then the next entry's, then round to the first entry.
    void shuffledPlay() {
        const QList<int> twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        rig->setGroups(GroupArtist, {twelve, {20, 21, 22}});
        rig->browsing.selectGroupEntry(GroupArtist, 0);
        rig->playing(4); // row 5, by select start
        rig->control.setShuffle(true);
        QVERIFY(rig->reserve({30}));
        const auto play = [&](int tracks) {
            QList<int> rows;
            for (int i = 0; i < tracks; ++i) {
                rig->media.finish(PlayEnd::Reached);
                rows << rig->catalogue.rowOfPath(rig->lastOpened());
            }
            return rows;
        };
        QCOMPARE(play(1), QList<int>{30});
        QList<int> others = twelve;
        others.removeOne(5);
        QList<int> sorted = play(11);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, others);
        QCOMPARE(rig->browsing.selectedGroupEntry(GroupArtist), 0);
        QList<int> secondEntry = play(3);
        std::sort(secondEntry.begin(), secondEntry.end());
        QCOMPARE(secondEntry, (QList<int>{20, 21, 22}));
        QCOMPARE(rig->browsing.selectedGroupEntry(GroupArtist), 1);
        // Round to the first entry, whose every track now plays in an order of its own.
        const QList<int> round = play(12);
        QVERIFY2(round != twelve, "not shuffled"); // 1 in 12! by chance
        sorted = round;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, twelve);
    }

    // Repeat and stop-after-the-track, at a track's own end and at the user's next.
    void repeatAndStopAfter_data() {
        QTest::addColumn<Repeat>("repeat");
        QTest::addColumn<bool>("stopAfter");
        QTest::addColumn<bool>("byNext");
        QTest::addColumn<int>("entry"); // of two, rows 1, 2 and 11, 12
        QTest::addColumn<int>("track");
        QTest::addColumn<bool>("reserved"); // row 30 waits
        QTest::addColumn<int>("opened");    // -1: play stopped (closed)
        QTest::addColumn<bool>("stopAfterLeft");
        using R = Repeat;
        dataRow("repeat one: the track again", R::One, false, false, 0, 0, false, 1, false);
        dataRow("repeat one: the reserved list first", R::One, false, false, 0, 0, true, 30, false);
        dataRow("repeat one: next moves on", R::One, false, true, 0, 0, false, 2, false);
        dataRow("repeat none: into the next entry", R::None, false, false, 0, 1, false, 11, false);
        dataRow("repeat none: stops after the last", R::None, false, false, 1, 1, false, -1, false);
        dataRow("repeat none: next at the last stops", R::None, false, true, 1, 1, false, -1,
                false);
        dataRow("repeat all: round to the first", R::All, false, false, 1, 1, false, 1, false);
        dataRow("stop after the track", R::All, true, false, 0, 0, true, -1, false);
        dataRow("stop after: next plays on", R::All, true, true, 0, 0, false, 2, true);
    }
    void repeatAndStopAfter() {
        QFETCH(Repeat, repeat);
        QFETCH(bool, stopAfter);
        QFETCH(bool, byNext);
        QFETCH(int, entry);
        QFETCH(int, track);
        QFETCH(bool, reserved);
        QFETCH(int, opened);
        QFETCH(bool, stopAfterLeft);
        rig->setGroups(GroupArtist, {entryRows(0, 2), entryRows(1, 2)});
        rig->browsing.selectGroupEntry(GroupArtist, entry);
        rig->playing(track);
        rig->control.setRepeat(repeat);
        rig->control.setStopAfterTrack(stopAfter);
        if (reserved)
            QVERIFY(rig->reserve({30}));

        if (byNext)
            rig->control.next();
        else
            rig->media.finish(PlayEnd::Reached);

        QCOMPARE(rig->media.opened(), opened < 0 ? QStringList{} : QStringList{rig->path(opened)});
        QVERIFY(rig->media.wasSent(QStringLiteral("Close")));
        QCOMPARE(rig->control.stopAfterTrack(), stopAfterLeft);
        if (opened >= 0)
            return;
        // Continuous start after the stop plays on, going round.
        rig->control.continuousStart();
        QCOMPARE(rig->media.opened().size(), 1);
    }

    void notificationCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("advances");
        dataRow("1 successful", 1, true);
        dataRow("9", 9, true);
        dataRow("2 superseded", 2, false);
        dataRow("4 aborted", 4, false);
        dataRow("8 failure: passed over", 8, true);
        dataRow("0", 0, false);
    }
    void notificationCodes() {
        QFETCH(int, code);
        QFETCH(bool, advances);
        rig->showFolders();
        rig->playing(1);
        QVERIFY(rig->reserve({10, 11}));
        rig->media.finish(PlayEnd::Reached); // 10 plays, reserved
        rig->forget();

        rig->media.finish(PlayEnd(code));

        QCOMPARE(rig->browsing.reserved().count() == 0, advances);
        QCOMPARE(rig->media.opened(), advances ? QStringList{rig->path(11)} : QStringList{});
        if (!advances) {
            QVERIFY(rig->log.isEmpty());
            QVERIFY(rig->control.reservedPlaying());
            QCOMPARE(rig->position(), QStringLiteral("1/0"));
        }
    }

    void relativeVolume_data() {
        QTest::addColumn<bool>("reserved");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("sent");
        dataRow("continued, +030 from 40", false, rvaComment("+030"), 158, true);
        dataRow("reserved, +030 from 40", true, rvaComment("+030"), 158, true);
        dataRow("continued, -200", false, rvaComment("-200"), 1, true);
        dataRow("continued, no value", false, QStringLiteral("a comment"), 40, false);
        dataRow("reserved, no value", true, QStringLiteral("a comment"), 40, false);
    }
    void relativeVolume() {
        QFETCH(bool, reserved);
        QFETCH(QString, comment);
        QFETCH(int, level);
        QFETCH(bool, sent);
        rig->showFolders();
        rig->startAtLevel(40);
        const int row = reserved ? 10 : 3;
        QVERIFY(rig->writeTrack(row, comment));
        if (reserved)
            QVERIFY(rig->reserve({row}));

        rig->control.continuousStart();

        QCOMPARE(rig->lastOpened(), rig->path(row));
        QCOMPARE(rig->volume.level(), level);
        QCOMPARE(rig->media.gains, sent ? PlayerRig::gains({level}) : QList<double>{});
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PlayerControlTest starts;
    const std::unique_ptr<QObject> fade = makePlayerControlFadeTest();
    const int failed = QTest::qExec(&starts, argc, argv);
    return failed + QTest::qExec(fade.get(), argc, argv);
}

#include "test_playback_playercontrol.moc"
