// Continuous play over the real GStreamer element and real files: each track's end starts
// the next one, however short the track, a play that stands still is given up and play goes
// on, and a file that cannot be opened ends play there.
#include "audiofiles.h"
#include "playback/fakes/fakeplayersurface.h"
#include "playback/gstmediaelement.h"
#include "playback/playercontrol.h"
#include "testsinks.h"

#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testaudio;

namespace {

constexpr int WaitMs = 20000; // only a fault waits this long

} // namespace

class ContinuousPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Writes the files named by `kinds` ("tone", "empty" = a WAV without samples, "broken")
    // as catalogue rows 0, 1, ... of one group entry that the track list shows.
    void fill(FakePlayerSurface& surface, const QStringList& kinds) {
        QStringList rows;
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            const QString path = m_dir.filePath(QStringLiteral("%1 %2.wav").arg(i).arg(kinds[i]));
            QByteArray bytes = wavBytes(150);
            if (kinds[i] == QLatin1String("empty"))
                bytes = wavBytes(0);
            else if (kinds[i] == QLatin1String("broken"))
                bytes = wavBytes(150).left(20);
            QVERIFY(writeFile(path, bytes));
            surface.catalogue << path;
            rows << QString::number(i);
        }
        surface.groups[0] = {rows};
        surface.pickGroupEntry(0, 0);
    }

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
    }

    void playMovesPastEveryEnd_data() {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QList<int>>("played"); // the rows opened, in order, at the least
        QTest::addColumn<bool>("goesOn");       // play wraps to the first track again
        QTest::newRow("empty WAV in the middle")
            << QStringList{"tone", "empty", "tone"} << QList<int>{0, 1, 2, 0} << true;
        QTest::newRow("empty WAV first")
            << QStringList{"empty", "tone"} << QList<int>{0, 1, 0} << true;
        QTest::newRow("only empty WAVs")
            << QStringList{"empty", "empty"} << QList<int>{0, 1, 0, 1} << true;
        QTest::newRow("file that cannot be opened stops play")
            << QStringList{"tone", "broken", "tone"} << QList<int>{0, 1} << false;
    }
    void playMovesPastEveryEnd() {
        QFETCH(QStringList, kinds);
        QFETCH(QList<int>, played);
        QFETCH(bool, goesOn);
        FakePlayerSurface surface;
        fill(surface, kinds);
        if (QTest::currentTestFailed())
            return;
        GstMediaElement media(realTimeFakeSink);
        PlayerControl control(surface, media);
        // A file counts as opened when the element stands ready to play it.
        QStringList opened;
        connect(&media, &MediaControl::stateChanged, this, [&](MediaControl::State state) {
            if (state == MediaControl::State::Stopped &&
                opened.value(opened.size() - 1) != media.FileName)
                opened << media.FileName;
        });
        QList<int> codes;
        connect(&media, &MediaControl::Done, this, [&](int code) { codes << code; });

        control.Command3_Click();

        QStringList expected;
        for (int row : played)
            expected << surface.catalogue[row];
        if (goesOn) {
            QTRY_VERIFY_WITH_TIMEOUT(opened.size() >= expected.size(), WaitMs);
            QCOMPARE(opened.mid(0, expected.size()), expected);
            QVERIFY(!codes.contains(DoneFailure));
        } else {
            // The broken file never plays, so no end arrives and play stays there.
            QTRY_VERIFY_WITH_TIMEOUT(codes.contains(DoneFailure), WaitMs);
            QTest::qWait(400);
            QCOMPARE(opened, expected);
            QCOMPARE(codes, (QList<int>{DoneSuccessful, DoneFailure}));
            QCOMPARE(media.state(), MediaControl::State::Closed);
        }
        media.Command(QStringLiteral("Close"));
    }

    void aPlayThatStandsStillIsGivenUpAndPlayGoesOn() {
        FakePlayerSurface surface;
        fill(surface, {"tone", "tone"});
        if (QTest::currentTestFailed())
            return;
        // The first play gets a sink that never takes a buffer; later ones play.
        int sinksMade = 0;
        GstMediaElement media([&sinksMade] {
            return sinksMade++ == 0 ? sinkThatNeverPrerolls() : realTimeFakeSink();
        });
        media.setStallLimitMs(1000);
        PlayerControl control(surface, media);
        QList<int> codes;
        connect(&media, &MediaControl::Done, this, [&](int code) { codes << code; });

        control.Command3_Click();
        QTRY_VERIFY_WITH_TIMEOUT(codes.contains(DoneSuccessful), WaitMs);
        // The play that stood still was given up, and the track after it played to its end.
        QCOMPARE(codes.first(), int(DoneGivenUp));
        QVERIFY(sinksMade >= 2);
        media.Command(QStringLiteral("Close"));
    }
};

QTEST_GUILESS_MAIN(ContinuousPlayTest)
#include "test_continuousplay.moc"
