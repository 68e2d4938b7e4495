// Player control over a window made of plain containers and a media element that plays
// nothing, with real tagged files on disk for the tag reads.
#include "playback/fakes/fakemediacontrol.h"
#include "playback/fakes/fakeplayersurface.h"
#include "playback/playercontrol.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

constexpr int CatalogueRows = 40;

QByteArray field(const QString& text, int width) {
    return text.toLatin1().leftJustified(width, ' ', true);
}

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

// A catalogue of tagged files t<row>.mp3 titled "Title <row>", and the player over it.
struct Rig {
    QTemporaryDir dir;
    FakePlayerSurface surface;
    FakeMediaControl media{surface.log};
    PlayerControl control{surface, media};

    Rig() {
        for (int row = 0; row < CatalogueRows; ++row) {
            surface.catalogue << dir.filePath(QStringLiteral("t%1.mp3").arg(row));
            writeTrack(row, {});
        }
    }
    QString path(int row) const { return surface.catalogue[row]; }
    static QString titleField(int row) {
        return QStringLiteral("Title %1").arg(row).leftJustified(30, QLatin1Char(' '));
    }
    void writeTrack(int row, const QString& comment) {
        QFile file(path(row));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes(300, '\x55'); // stands for the audio data before the tag
        bytes += "TAG" + field(QStringLiteral("Title %1").arg(row), 30) +
                 field(QStringLiteral("Artist"), 30) + field(QStringLiteral("Album"), 30) + "2001" +
                 field(comment, 30) + char(12);
        QCOMPARE(file.write(bytes), bytes.size());
    }
    // Group list `list` with entries of the given rows; nothing selected yet.
    void setGroups(int list, const QList<QList<int>>& entries) {
        surface.groups[list].clear();
        for (const QList<int>& rows : entries)
            surface.groups[list] << rowTexts(rows);
    }
    int openedCount() const { return int(media.opened().size()); }
    QString lastOpened() const { return media.opened().value(openedCount() - 1); }
    bool sent(const QString& command) const {
        for (const FakeMediaControl::Sent& s : media.sent)
            if (s.command == command)
                return true;
        return false;
    }
};

} // namespace

class PlayerControlTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

    // The usual state after a scan: folder entry 0 shown ([3, 4, 5]), entry 1 is [6, 7].
    void showFolders() {
        rig->setGroups(0, {{3, 4, 5}, {6, 7}});
        rig->surface.pickGroupEntry(0, 0);
    }

private slots:
    void init() {
        rig = std::make_unique<Rig>();
        QVERIFY(rig->dir.isValid());
    }
    void cleanup() {
        // No read or write outside a list's bounds, whatever the test did.
        QVERIFY2(rig->surface.violations.isEmpty(),
                 qPrintable(rig->surface.violations.join(QStringLiteral("; "))));
        rig.reset();
    }

    void stopOnlyCloses() {
        showFolders();
        rig->media.Tag = QStringLiteral("1");
        rig->media.ToolTipText = QStringLiteral("0");
        rig->surface.reserved = {rig->path(10)};
        rig->surface.caption = QStringLiteral("77");
        rig->control.setReservedPlaying(true);

        rig->control.Command1_Click();

        QCOMPARE(rig->surface.log, QStringList{QStringLiteral("Close")});
        QCOMPARE(rig->media.Tag, QStringLiteral("1"));
        QCOMPARE(rig->media.ToolTipText, QStringLiteral("0"));
        QCOMPARE(rig->surface.reserved, QStringList{rig->path(10)});
        QCOMPARE(rig->surface.caption, QStringLiteral("77"));
        QVERIFY(rig->control.reservedPlaying());
    }

    // The order of commands, yields and label changes of each kind of start.
    void stepOrder_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("expected");
        const QString title3 = QStringLiteral("title ") + Rig::titleField(3);
        const QString title10 = QStringLiteral("title ") + Rig::titleField(10);
        QTest::newRow("continuous start")
            << 0 << QStringList{"yield", "track -1",      "yield",       "track 0", "Close",
                                "yield", "NewVolume 158", "Open t3.mp3", "Play",    title3};
        QTest::newRow("select start")
            << 1 << QStringList{"Close", "title t4.mp3", "yield", "Open t4.mp3", "Play"};
        QTest::newRow("reserved start")
            << 2 << QStringList{"Close",       "yield", "NewVolume 158", "Open t10.mp3",
                                "unreserve 0", "Play",  title10};
    }
    void stepOrder() {
        QFETCH(int, kind);
        QFETCH(QStringList, expected);
        showFolders();
        rig->writeTrack(3, rvaComment(QStringLiteral("+030")));
        rig->writeTrack(4, rvaComment(QStringLiteral("+030")));
        rig->writeTrack(10, rvaComment(QStringLiteral("+030")));
        if (kind == 0) {
            rig->control.Command3_Click();
        } else if (kind == 1) {
            rig->surface.trackSelection = 1;
            rig->control.Command4_Click();
        } else {
            rig->surface.reserved = {rig->path(10)};
            rig->control.MMControl1_Done(DoneSuccessful);
        }
        QCOMPARE(rig->surface.log, expected);
    }

    // A track start is marked from its first command to its last, and its end is announced
    // once, also when a yield inside it runs another start; other codes start nothing.
    void trackStartIsMarkedWhole_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("announced");
        QTest::newRow("select start") << 0 << 1;
        QTest::newRow("end-of-track step") << 1 << 1;
        QTest::newRow("a track end during a start's yield") << 2 << 1;
        QTest::newRow("the fade's last tick") << 3 << 1;
        QTest::newRow("code 4") << 4 << 0;
    }
    void trackStartIsMarkedWhole() {
        QFETCH(int, kind);
        QFETCH(int, announced);
        showFolders();
        QSignalSpy finished(&rig->control, &PlayerControl::trackStartFinished);
        QList<bool> markedAtYields;
        QList<int> announcedAtYields;
        for (int yield = 1; yield <= 6; ++yield)
            rig->surface.atYield(yield, [&, yield] {
                markedAtYields << rig->control.startingTrack();
                announcedAtYields << int(finished.size());
                if (kind == 2 && yield == 1)
                    rig->control.MMControl1_Done(DoneSuccessful);
            });

        if (kind == 0) {
            rig->control.Command4_Click();
        } else if (kind == 3) {
            rig->surface.caption = QStringLiteral("8");
            rig->control.Timer2_Timer();
        } else {
            rig->control.MMControl1_Done(kind == 4 ? DoneAborted : DoneSuccessful);
        }

        QVERIFY(!rig->control.startingTrack());
        QCOMPARE(finished.size(), announced);
        QCOMPARE(markedAtYields.isEmpty(), kind == 4);
        // Every yield is inside the start, except the fade's own yield after its level step.
        for (qsizetype i = 0; i < markedAtYields.size(); ++i) {
            const bool fadesLastYield = kind == 3 && i == markedAtYields.size() - 1;
            QCOMPARE(markedAtYields[i], !fadesLastYield);
            QCOMPARE(announcedAtYields[i], fadesLastYield ? 1 : 0);
        }
    }

    void continuousStartAfterProgramStart() {
        showFolders();
        QString tagAtYield;
        rig->surface.atYield(1, [&] { tagAtYield = rig->media.Tag; });

        rig->control.Command3_Click();

        QCOMPARE(tagAtYield, QStringLiteral("-1"));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(3)});
        QCOMPARE(rig->media.Tag, QStringLiteral("0"));
        QCOMPARE(rig->media.ToolTipText, QStringLiteral("0"));
        QCOMPARE(rig->surface.nowPlaying, Rig::titleField(3));
        QVERIFY(!rig->control.reservedPlaying());
    }

    void continuousStartWithNothingSelected() {
        showFolders();
        rig->surface.trackSelection = -1;
        rig->control.Command3_Click();
        QCOMPARE(rig->lastOpened(), rig->path(3));
        QCOMPARE(rig->surface.trackSelection, 0);
    }

    void continuousStartAfterStop() {
        showFolders();
        rig->control.Command3_Click();
        rig->media.finish(DoneSuccessful);
        QCOMPARE(rig->lastOpened(), rig->path(4));

        rig->surface.selectTrack(0); // the user selects another track, then stops
        rig->control.Command1_Click();
        rig->control.Command3_Click();

        QCOMPARE(rig->lastOpened(), rig->path(5));
        QCOMPARE(rig->media.Tag, QStringLiteral("2"));
    }

    void selectStartWithNothingSelected() {
        showFolders();
        rig->surface.trackSelection = -1;

        rig->control.Command4_Click();
        QCOMPARE(rig->media.Tag, QStringLiteral("-1"));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(3)});

        rig->media.finish(DoneSuccessful); // the same track plays a second time
        QCOMPARE(rig->media.opened(), (QStringList{rig->path(3), rig->path(3)}));
        QCOMPARE(rig->media.Tag, QStringLiteral("0"));
    }

    void selectStart_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("file with relative volume") << true << QStringLiteral("t5.mp3");
        QTest::newRow("file missing") << false << QString();
    }
    void selectStart() {
        QFETCH(bool, fileThere);
        QFETCH(QString, expectedTitle);
        showFolders();
        rig->surface.pickGroupEntry(0, 1); // folder entry 1 shown ...
        rig->surface.pickGroupEntry(0, 0); // ... and back to entry 0: group tag 0
        rig->surface.trackSelection = 2;
        rig->surface.caption = QStringLiteral("40");
        rig->writeTrack(5, rvaComment(QStringLiteral("+030")));
        if (!fileThere)
            QVERIFY(QFile::remove(rig->path(5)));

        rig->control.Command4_Click();

        QCOMPARE(rig->media.Tag, QStringLiteral("2"));
        QCOMPARE(rig->media.ToolTipText, QStringLiteral("0"));
        QCOMPARE(rig->media.FileName, rig->path(5));
        QCOMPARE(rig->media.opened(), QStringList{rig->path(5)});
        QCOMPARE(rig->surface.nowPlaying, expectedTitle);
        QVERIFY(rig->surface.volumes.isEmpty()); // the level is kept
        QCOMPARE(rig->surface.caption, QStringLiteral("40"));
    }

    void reservedPathsPlayInOrder() {
        showFolders();
        rig->media.Tag = QStringLiteral("1");
        rig->media.ToolTipText = QStringLiteral("0");
        rig->surface.reserved = {rig->path(10), rig->path(11), rig->path(12)};

        for (int row : {10, 11, 12}) {
            rig->media.finish(DoneSuccessful);
            QCOMPARE(rig->lastOpened(), rig->path(row));
            QCOMPARE(rig->surface.reserved.size(), qsizetype(12 - row));
            QCOMPARE(rig->surface.nowPlaying, Rig::titleField(row));
            QVERIFY(rig->control.reservedPlaying());
            QCOMPARE(rig->media.Tag, QStringLiteral("1"));
            QCOMPARE(rig->media.ToolTipText, QStringLiteral("0"));
        }
        rig->media.finish(DoneSuccessful);
        QCOMPARE(rig->lastOpened(), rig->path(5));
        QCOMPARE(rig->media.Tag, QStringLiteral("2"));
        QVERIFY(!rig->control.reservedPlaying());
    }

    void groupAdvance_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("playing");
        QTest::addColumn<int>("next");
        QTest::newRow("to the next entry") << 3 << 0 << 1;
        QTest::newRow("wrap after the last entry") << 3 << 2 << 0;
        QTest::newRow("single entry repeats") << 1 << 0 << 0;
    }
    void groupAdvance() {
        QFETCH(int, entries);
        QFETCH(int, playing);
        QFETCH(int, next);
        QList<QList<int>> lists;
        for (int e = 0; e < entries; ++e)
            lists << entryRows(e, 2);
        rig->setGroups(2, lists);
        rig->surface.pickGroupEntry(2, playing);
        rig->media.Tag = QStringLiteral("1"); // the last of the entry's two tracks
        rig->media.ToolTipText = QString::number(playing);

        rig->media.finish(DoneSuccessful);

        QCOMPARE(rig->surface.groupSelection[2], next);
        QCOMPARE(rig->surface.trackList, rowTexts(entryRows(next, 2)));
        QCOMPARE(rig->lastOpened(), rig->path(10 * next + 1));
        QCOMPARE(rig->media.Tag, QStringLiteral("0"));
        QCOMPARE(rig->media.ToolTipText, QString::number(next));
    }

    // Track 10 of a 12-track entry plays; the user shows a 5-track entry of the same list.
    void clampingToTheShownList() {
        const QList<int> twelve{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        rig->setGroups(1, {{0, 1, 2}, twelve, {30, 31, 32, 33}, {35, 36, 37, 38, 39}});
        rig->surface.pickGroupEntry(1, 1);
        rig->media.Tag = QStringLiteral("10");
        rig->media.ToolTipText = QStringLiteral("1");
        rig->surface.pickGroupEntry(1, 3);

        rig->media.finish(DoneSuccessful);

        const QStringList& log = rig->surface.log;
        const auto at = [&](const char* entry) { return log.indexOf(QLatin1String(entry)); };
        QVERIFY(at("track 4") >= 0);                // clamped to the 5 tracks shown
        QVERIFY(at("group 1:1") > at("track 4"));   // the playing entry's 12 come back
        QVERIFY(at("group 1:2") > at("group 1:1")); // 4 + 1 reached 5: the next entry
        QCOMPARE(rig->media.opened(), QStringList{rig->path(30)});
        QCOMPARE(rig->media.Tag, QStringLiteral("0"));
        QCOMPARE(rig->media.ToolTipText, QStringLiteral("2"));
    }

    void notificationCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("advances");
        QTest::newRow("1 successful") << 1 << true;
        QTest::newRow("9") << 9 << true;
        QTest::newRow("2 superseded") << 2 << false;
        QTest::newRow("4 aborted") << 4 << false;
        QTest::newRow("8 failure") << 8 << false;
        QTest::newRow("0") << 0 << false;
    }
    void notificationCodes() {
        QFETCH(int, code);
        QFETCH(bool, advances);
        showFolders();
        rig->surface.reserved = {rig->path(10)};
        rig->control.setReservedPlaying(true);
        rig->media.Tag = QStringLiteral("1");
        QSignalSpy done(&rig->media, &MediaControl::Done);

        rig->media.finish(code);

        QCOMPARE(done.size(), 1);
        QCOMPARE(rig->surface.reserved.isEmpty(), advances);
        QCOMPARE(rig->media.opened(), advances ? QStringList{rig->path(10)} : QStringList{});
        if (!advances) {
            QVERIFY(rig->surface.log.isEmpty());
            QVERIFY(rig->control.reservedPlaying());
            QCOMPARE(rig->media.Tag, QStringLiteral("1"));
        }
    }

    void relativeVolume_data() {
        QTest::addColumn<bool>("reserved");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("caption");
        QTest::newRow("continued, +030 from 40") << false << rvaComment("+030") << "158";
        QTest::newRow("reserved, +030 from 40") << true << rvaComment("+030") << "158";
        QTest::newRow("continued, -200") << false << rvaComment("-200") << "1";
        QTest::newRow("continued, no value") << false << QStringLiteral("just a comment") << "40";
        QTest::newRow("reserved, no value") << true << QStringLiteral("just a comment") << "40";
    }
    void relativeVolume() {
        QFETCH(bool, reserved);
        QFETCH(QString, comment);
        QFETCH(QString, caption);
        showFolders();
        rig->surface.caption = QStringLiteral("40");
        const int row = reserved ? 10 : 3;
        rig->writeTrack(row, comment);
        if (reserved)
            rig->surface.reserved = {rig->path(row)};

        rig->control.Command3_Click();

        QCOMPARE(rig->lastOpened(), rig->path(row));
        QCOMPARE(rig->surface.caption, caption);
        QVERIFY(rig->surface.volumes.size() <= 1);
    }

    void fade_data() {
        QTest::addColumn<int>("startLevel");
        QTest::addColumn<int>("ticks");
        QTest::newRow("from 128") << 128 << 16;
        QTest::newRow("from 100") << 100 << 13;
        QTest::newRow("from 255") << 255 << 32;
        QTest::newRow("from 8") << 8 << 1;
    }
    void fade() {
        QFETCH(int, startLevel);
        QFETCH(int, ticks);
        showFolders();
        rig->surface.immediate = true;
        rig->surface.caption = QString::number(startLevel);
        rig->control.Command3_Click(); // a track-list track plays
        rig->writeTrack(10, rvaComment(QStringLiteral("+030")));
        rig->surface.reserved = {rig->path(10)};

        rig->control.trackReserved();
        QVERIFY(rig->control.fading());
        QVERIFY(rig->control.reservedPlaying());
        QCOMPARE(rig->control.fadeTimerTag(), QString::number(startLevel));

        QList<double> expected;
        for (int level = startLevel - 8; level >= 1; level -= 8)
            expected << level;
        expected << 158 << 128; // the reserved track's own level, then the fade's last step
        rig->surface.volumes.clear();
        rig->surface.log.clear();
        int count = 0;
        while (rig->control.fading() && count < 100) {
            rig->control.Timer2_Timer();
            ++count;
        }

        QCOMPARE(count, ticks);
        QCOMPARE(rig->surface.volumes, expected);
        QCOMPARE(rig->surface.caption, QStringLiteral("128"));
        QCOMPARE(rig->lastOpened(), rig->path(10));
        QVERIFY(rig->surface.reserved.isEmpty());
        QVERIFY(rig->control.reservedPlaying());
        // The bottom: "&h80" on Vol, "close", a yield, the reserved start, then level 128.
        const QStringList& log = rig->surface.log;
        const qsizetype bottom = log.indexOf(QStringLiteral("caption &h80"));
        QVERIFY(bottom >= 0);
        QCOMPARE(log.mid(bottom, 5),
                 (QStringList{"caption &h80", "close", "yield", "Close", "yield"}));
        QCOMPARE(log.mid(log.size() - 2), (QStringList{"NewVolume 128", "yield"}));
    }

    void fadeStartsOnlyUnderImmediate_data() {
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<bool>("alreadyReserved");
        QTest::addColumn<bool>("fades");
        QTest::newRow("即時") << true << false << true;
        QTest::newRow("即時 while reservedPlaying") << true << true << false;
        QTest::newRow("終了後") << false << false << false;
    }
    void fadeStartsOnlyUnderImmediate() {
        QFETCH(bool, immediate);
        QFETCH(bool, alreadyReserved);
        QFETCH(bool, fades);
        rig->surface.immediate = immediate;
        rig->control.setReservedPlaying(alreadyReserved);
        rig->surface.reserved = {rig->path(10)};
        rig->control.trackReserved();
        QCOMPARE(rig->control.fading(), fades);
        QCOMPARE(rig->control.reservedPlaying(), fades || alreadyReserved);
    }

    void fadeTimerTicks() {
        QCOMPARE(rig->control.fadeTimer().interval(), 100);
        QVERIFY(!rig->control.fading());
        QSignalSpy ticks(&rig->control.fadeTimer(), &QTimer::timeout);
        rig->surface.immediate = true;
        rig->surface.reserved = {rig->path(10)};
        rig->control.trackReserved();
        QVERIFY(ticks.wait(2000));
        QCOMPARE(rig->surface.caption, QStringLiteral("120"));
        rig->control.fadeTimer().stop();
    }

    void stopDuringFadeStillStartsReserved() {
        showFolders();
        rig->surface.immediate = true;
        rig->surface.caption = QStringLiteral("24");
        rig->control.Command3_Click();
        rig->surface.reserved = {rig->path(10)};
        rig->control.trackReserved();
        rig->surface.post([this] { rig->control.Command1_Click(); }); // STOP during a tick
        const int before = rig->openedCount();

        rig->control.Timer2_Timer();
        QVERIFY(rig->control.fading());
        QCOMPARE(rig->openedCount(), before);
        rig->control.Timer2_Timer();
        rig->control.Timer2_Timer();

        QVERIFY(!rig->control.fading());
        QCOMPARE(rig->lastOpened(), rig->path(10));
        QCOMPARE(rig->surface.caption, QStringLiteral("128"));
    }

    // Another handler empties the track list (a scan starting) at one of the yields.
    void trackListEmptiedDuringYield_data() {
        QTest::addColumn<int>("yield");
        QTest::addColumn<bool>("plays");
        QTest::newRow("continuous start's yield") << 1 << false;
        QTest::newRow("before the track is looked up") << 2 << false;
        QTest::newRow("after the track was looked up") << 3 << true;
    }
    void trackListEmptiedDuringYield() {
        QFETCH(int, yield);
        QFETCH(bool, plays);
        showFolders();
        rig->surface.atYield(yield, [this] {
            for (auto& list : rig->surface.groups)
                list.clear();
            rig->surface.groupSelection.fill(-1);
            rig->surface.trackList.clear();
            rig->surface.trackSelection = -1;
        });

        rig->control.Command3_Click();

        QCOMPARE(rig->sent(QStringLiteral("Open")), plays);
        QCOMPARE(rig->sent(QStringLiteral("Play")), plays);
        if (plays)
            QCOMPARE(rig->lastOpened(), rig->path(3));
    }

    void reservedListChangedDuringYield_data() {
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<QStringList>("left"); // rows left on the list
        QTest::newRow("head removed by the user") << false << QStringList{"11"};
        QTest::newRow("list emptied (Ctrl+C)") << true << QStringList{};
    }
    void reservedListChangedDuringYield() {
        QFETCH(bool, emptied);
        QFETCH(QStringList, left);
        rig->surface.reserved = {rig->path(10), rig->path(11)};
        rig->surface.post([&] {
            if (emptied)
                rig->surface.reserved.clear();
            else
                rig->surface.reserved.removeFirst();
        });

        rig->control.MMControl1_Done(DoneSuccessful);

        QCOMPARE(rig->lastOpened(), rig->path(10)); // taken before the yield
        QStringList expected;
        for (const QString& row : left)
            expected << rig->path(row.toInt());
        QCOMPARE(rig->surface.reserved, expected);
    }

    void idle_data() {
        QTest::addColumn<QStringList>("trackList");
        QTest::addColumn<int>("marker");
        QTest::addColumn<QString>("groupPosition");
        QTest::addColumn<bool>("selectStart");
        QTest::newRow("empty lists, continuous") << QStringList{} << 0 << "" << false;
        QTest::newRow("empty lists, select") << QStringList{} << 0 << "" << true;
        // The group list in front holds the shown entry, so these reach the row lookup.
        QTest::newRow("row text no number") << QStringList{"abc"} << 2 << "0" << false;
        QTest::newRow("row text no number, select") << QStringList{"abc"} << 2 << "0" << true;
        QTest::newRow("row beyond catalogue") << QStringList{"99"} << 2 << "0" << false;
        QTest::newRow("negative row, select") << QStringList{"-3"} << 2 << "0" << true;
        QTest::newRow("row too large for 32 bits")
            << QStringList{"99999999999"} << 2 << "0" << false;
        QTest::newRow("group entry gone") << QStringList{"3"} << 2 << "5" << false;
        QTest::newRow("marker 9") << QStringList{"3"} << 9 << "0" << false;
        QTest::newRow("marker -1") << QStringList{"3"} << -1 << "" << false;
    }
    void idle() {
        QFETCH(QStringList, trackList);
        QFETCH(int, marker);
        QFETCH(QString, groupPosition);
        QFETCH(bool, selectStart);
        rig->setGroups(2, {{3}, {4}});
        rig->surface.groupSelection[2] = 0;
        rig->surface.trackList = trackList;
        rig->surface.trackSelection = trackList.isEmpty() ? -1 : 0;
        rig->surface.marker = marker;
        rig->media.ToolTipText = groupPosition;

        if (selectStart)
            rig->control.Command4_Click();
        else
            rig->control.Command3_Click();

        QVERIFY(!rig->sent(QStringLiteral("Open")));
        QVERIFY(!rig->sent(QStringLiteral("Play")));
        QVERIFY(rig->surface.nowPlaying.isEmpty());
    }

    // A marker outside the six lists still lets a select start play; no group index is kept.
    void selectStartWithStrayMarker() {
        rig->surface.trackList = {QStringLiteral("7")};
        rig->surface.trackSelection = 0;
        rig->surface.marker = 6;
        rig->control.Command4_Click();
        QCOMPARE(rig->media.ToolTipText, QStringLiteral("-1"));
        QCOMPARE(rig->lastOpened(), rig->path(7));
    }

    // A stored position written in another form still reads by the lenient rule.
    void storedPositionReadsLeniently_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("row");
        QTest::newRow("empty reads 0") << "" << 4;
        QTest::newRow("-1") << "-1" << 3;
        QTest::newRow("hexadecimal") << "&h1" << 5;
        QTest::newRow("leading spaces") << "  1" << 5;
        QTest::newRow("below -1 taken as -1") << "-7" << 3;
        QTest::newRow("huge clamps to the list") << "123456789012345" << 6;
    }
    void storedPositionReadsLeniently() {
        QFETCH(QString, tag);
        QFETCH(int, row);
        showFolders();
        rig->media.Tag = tag;
        rig->media.ToolTipText = QStringLiteral("0");
        rig->control.MMControl1_Done(DoneSuccessful);
        QCOMPARE(rig->lastOpened(), rig->path(row));
    }
};

QTEST_GUILESS_MAIN(PlayerControlTest)
#include "test_playercontrol.moc"
