// Continuous play over the real GStreamer element and real files: each track's end starts
// the next one, however short the track, a play that stands still is given up and play goes
// on, and a file that cannot be opened ends play there.
#include "audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/playercore.h"
#include "testsinks.h"

#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testaudio;

namespace {

constexpr int WaitMs = 20000; // only a fault waits this long

// The player over the real element, made with the given sinks.
std::unique_ptr<PlayerCore> playerWith(std::function<GstElement*()> makeSink,
                                       GstMediaElement** element = nullptr) {
    auto media = std::make_unique<GstMediaElement>(std::move(makeSink));
    if (element)
        *element = media.get();
    PlayerCore::Options options;
    options.media = std::move(media);
    return std::make_unique<PlayerCore>(std::move(options));
}

} // namespace

class ContinuousPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Writes the files named by `kinds` ("tone", "empty" = a WAV without samples, "broken")
    // as catalogue rows 0, 1, ... of one album that the track list shows.
    void fill(PlayerCore& core, const QStringList& kinds) {
        const QString album = QStringLiteral("album");
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            const QString path = m_dir.filePath(QStringLiteral("%1 %2.wav").arg(i).arg(kinds[i]));
            QByteArray bytes = wavBytes(150);
            if (kinds[i] == QLatin1String("empty"))
                bytes = wavBytes(0);
            else if (kinds[i] == QLatin1String("broken"))
                bytes = wavBytes(150).left(20);
            QVERIFY(writeFile(path, bytes));
            const int row = core.catalogue().appendRow();
            core.catalogue().setCell(ColPath, row, path);
            core.catalogue().setCell(ColAlbum, row, album);
        }
        core.groups()[GroupAlbum].add(album);
        core.browsing().selectGroupEntry(GroupAlbum, 0);
        QCOMPARE(core.browsing().trackCount(), int(kinds.size()));
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
        const std::unique_ptr<PlayerCore> core = playerWith(realTimeFakeSink);
        fill(*core, kinds);
        if (QTest::currentTestFailed())
            return;
        MediaControl& media = core->media();
        // A file counts as opened when the element stands ready to play it.
        QStringList opened;
        connect(&media, &MediaControl::stateChanged, this, [&](MediaControl::State state) {
            if (state == MediaControl::State::Stopped &&
                opened.value(opened.size() - 1) != media.fileName())
                opened << media.fileName();
        });
        QList<int> codes;
        connect(&media, &MediaControl::finished, this, [&](int code) { codes << code; });

        core->player().continuousStart();

        QStringList expected;
        for (int row : played)
            expected << core->catalogue().cell(ColPath, row);
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
        media.close();
    }

    void aPlayThatStandsStillIsGivenUpAndPlayGoesOn() {
        // The first play gets a sink that never takes a buffer; later ones play.
        int sinksMade = 0;
        GstMediaElement* element = nullptr;
        const std::unique_ptr<PlayerCore> core = playerWith(
            [&sinksMade] {
                return sinksMade++ == 0 ? sinkThatNeverPrerolls() : realTimeFakeSink();
            },
            &element);
        fill(*core, {"tone", "tone"});
        if (QTest::currentTestFailed())
            return;
        element->setStallLimitMs(1000);
        MediaControl& media = *element;
        QList<int> codes;
        connect(&media, &MediaControl::finished, this, [&](int code) { codes << code; });

        core->player().continuousStart();
        QTRY_VERIFY_WITH_TIMEOUT(codes.contains(DoneSuccessful), WaitMs);
        // The play that stood still was given up, and the track after it played to its end.
        QCOMPARE(codes.first(), int(DoneGivenUp));
        QVERIFY(sinksMade >= 2);
        media.close();
    }
};

QTEST_GUILESS_MAIN(ContinuousPlayTest)
#include "test_continuousplay.moc"
