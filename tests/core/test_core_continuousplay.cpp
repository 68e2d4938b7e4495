// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Continuous play over the real GStreamer element and real files: each track's end starts
// the next one, however short the track, a play that stands still is given up and play goes
// on, a file that cannot be opened is passed over, and a round of nothing but such files
// stops play.
#include "core/playercore.h"
#include "playback/audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/testsinks.h"
#include "support/datarow.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

using namespace sonavue;
using namespace sonavue::testing;
using namespace sonavue::testaudio;

namespace {

constexpr int WaitMs = 20000; // only a fault waits this long
// Between two tracks the player stands idle for no more than a moment: this long, it has
// stopped for good.
constexpr int StandsIdleMs = 5000;

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

    // Writes the files named by `albums` ("tone", "empty" = a WAV without samples, "broken")
    // as catalogue rows 0, 1, ..., each inner list an album of its own; the album list's
    // first entry is shown.
    void fill(PlayerCore& core, const QList<QStringList>& albums) {
        int row = 0;
        for (qsizetype a = 0; a < albums.size(); ++a) {
            const QString album = QStringLiteral("album %1").arg(a);
            for (const QString& kind : albums[a]) {
                const QString path =
                    m_dir.filePath(QStringLiteral("%1 %2.wav").arg(row++).arg(kind));
                QByteArray bytes = wavBytes(150);
                if (kind == QLatin1String("empty"))
                    bytes = wavBytes(0);
                else if (kind == QLatin1String("broken"))
                    bytes = wavBytes(150).left(20);
                QVERIFY(writeFile(path, bytes));
                const int added = core.catalogue().appendRow();
                core.catalogue().setCell(ColPath, added, path);
                core.catalogue().setCell(ColAlbum, added, album);
            }
            core.groups()[GroupAlbum].add(album);
        }
        core.browsing().selectGroupEntry(GroupAlbum, 0);
        QCOMPARE(core.browsing().trackCount(), int(albums.value(0).size()));
    }

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
    }

    void playMovesPastEveryEnd_data() {
        QTest::addColumn<QList<QStringList>>("albums");
        QTest::addColumn<QList<int>>("played"); // the rows opened, in order
        QTest::addColumn<bool>("goesOn");       // play wraps to the first track again
        const QStringList toneBrokenTone{"tone", "broken", "tone"};
        dataRow("empty WAV in the middle", QList<QStringList>{{"tone", "empty", "tone"}},
                QList<int>{0, 1, 2, 0}, true);
        dataRow("empty WAV first", QList<QStringList>{{"empty", "tone"}}, QList<int>{0, 1, 0},
                true);
        dataRow("only empty WAVs", QList<QStringList>{{"empty", "empty"}}, QList<int>{0, 1, 0, 1},
                true);
        dataRow("bad file in the middle", QList<QStringList>{toneBrokenTone},
                QList<int>{0, 1, 2, 0, 1}, true);
        dataRow("bad file first of the album", QList<QStringList>{{"broken", "tone"}, {"tone"}},
                QList<int>{0, 1, 2, 0, 1}, true);
        dataRow("bad file last of the album", QList<QStringList>{{"tone", "broken"}, {"tone"}},
                QList<int>{0, 1, 2, 0}, true);
        dataRow("bad file alone in its album", QList<QStringList>{{"tone"}, {"broken"}, {"tone"}},
                QList<int>{0, 1, 2, 0}, true);
        dataRow("nothing playable: once round, then stop",
                QList<QStringList>{{"broken"}, {"broken", "broken"}}, QList<int>{0, 1, 2}, false);
    }
    void playMovesPastEveryEnd() {
        QFETCH(QList<QStringList>, albums);
        QFETCH(QList<int>, played);
        QFETCH(bool, goesOn);
        const std::unique_ptr<PlayerCore> core = playerWith(realTimeFakeSink);
        fill(*core, albums);
        if (QTest::currentTestFailed())
            return;
        MediaControl& media = core->media();
        // A file counts as opened when the element stands ready to play it.
        QStringList opened;
        QElapsedTimer sinceChange; // since the element last changed state
        sinceChange.start();
        connect(&media, &MediaControl::stateChanged, this, [&](MediaControl::State state) {
            sinceChange.restart();
            if (state == MediaControl::State::Stopped &&
                opened.value(opened.size() - 1) != media.fileName())
                opened << media.fileName();
        });
        int stops = 0;
        connect(&core->player(), &PlayerControl::nothingPlayable, this, [&] { ++stops; });

        core->player().continuousStart();

        QStringList expected;
        for (int row : played)
            expected << core->catalogue().cell(ColPath, row);
        // Until play has gone far enough (or, where it should stop, has stopped by itself or
        // gone past where it should have); a play that stops where it should go on stands idle
        // for good, and fails here long before the deadline instead of waiting it out.
        const auto settled = [&] {
            if (!goesOn)
                return stops > 0 || opened.size() > expected.size();
            return opened.size() >= expected.size() || stops > 0 ||
                   (core->transport().idle() && sinceChange.elapsed() > StandsIdleMs);
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), WaitMs);
        if (goesOn) {
            QCOMPARE(opened.mid(0, expected.size()), expected);
            QCOMPARE(stops, 0);
        } else {
            QCOMPARE(stops, 1);
            QCOMPARE(opened, expected);
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
        fill(*core, {{"tone", "tone"}});
        if (QTest::currentTestFailed())
            return;
        element->setStallLimitMs(1000);
        MediaControl& media = *element;
        QList<PlayEnd> codes;
        connect(&media, &MediaControl::finished, this, [&](PlayEnd end) { codes << end; });

        core->player().continuousStart();
        QTRY_VERIFY_WITH_TIMEOUT(codes.contains(PlayEnd::Reached), WaitMs);
        // The play that stood still was given up, and the track after it played to its end.
        QCOMPARE(codes.first(), PlayEnd::GivenUp);
        QVERIFY(sinksMade >= 2);
        media.close();
    }
};

QTEST_GUILESS_MAIN(ContinuousPlayTest)
#include "test_core_continuousplay.moc"
