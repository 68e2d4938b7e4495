// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Gapless continuous play through player control and the real element: the track that is
// heard after one ends is always the one the end-of-track step chooses when it ends, even
// when the choice changed after the next file had been prepared.
#include "audiofiles.h"
#include "gaplessaudio.h"

#include "catalogue/browsingmodel.h"
#include "catalogue/catalogue.h"
#include "playback/gstmediaelement.h"
#include "playback/playercontrol.h"
#include "playback/volume.h"
#include "playback/volumelevel.h"
#include "support/datarow.h"
#include "support/id3v1record.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testaudio;
using namespace sonavue::testing;

namespace {

constexpr int TrackMs = 1200;
// Each track is a sine of its own peak, so the samples heard tell which track played.
constexpr int Peaks[] = {16000, 8000, 4000};
// Track 1's relative volume: level 64, a quarter of the full level the others play at.
constexpr int RelativeLevel = 64;

// The peak of each run of samples between stream starts (and of what a new pipeline played).
QList<int> peaksHeard(const SampleCapture& capture) {
    const std::vector<qint16> samples = capture.samples();
    const std::vector<SampleCapture::Stream> streams = capture.streams();
    QList<int> peaks;
    for (size_t s = 0; s < streams.size(); ++s) {
        const size_t end =
            s + 1 < streams.size() ? size_t(streams[s + 1].firstSample) : samples.size();
        int peak = 0;
        for (size_t i = size_t(streams[s].firstSample); i < end; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        peaks << peak;
    }
    return peaks;
}

} // namespace

class GaplessPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
    }

    void theTrackHeardIsTheStepsChoiceAtTheEnd_data() {
        QTest::addColumn<QString>("change");   // made once the next file was prepared
        QTest::addColumn<bool>("relative");    // track 1 carries a relative volume
        QTest::addColumn<QList<int>>("heard"); // the tracks heard, by their peaks' index
        QTest::addColumn<bool>("joined");      // the second followed without a gap
        dataRow("nothing changes", QString(), true, QList<int>{0, 1}, true);
        // Without a relative volume the prepared file and the chosen one play at one level:
        // only the file itself tells them apart.
        dataRow("a track reserved", QStringLiteral("reserve"), false, QList<int>{0, 2}, false);
        dataRow("a track reserved, the prepared one louder", QStringLiteral("reserve"), true,
                QList<int>{0, 2}, false);
        dataRow("the reserved track taken off", QStringLiteral("unreserve"), false,
                QList<int>{0, 1}, false);
        dataRow("stop", QStringLiteral("stop"), false, QList<int>{0}, false);
        // The list shown is now tracks 1 and 0: the step goes on to its second entry.
        dataRow("another track list shown", QStringLiteral("relist"), false, QList<int>{0, 0},
                false);
        // The fading track ends by itself: the queued one starts at the middle level, not at
        // the level the fade had reached.
        dataRow("a fade the track outlasts", QStringLiteral("fade"), false, QList<int>{0, 2},
                false);
    }
    void theTrackHeardIsTheStepsChoiceAtTheEnd() {
        QFETCH(QString, change);
        QFETCH(bool, relative);
        QFETCH(QList<int>, heard);
        QFETCH(bool, joined);
        // Tracks 0 and 1 in the list, track 2 for the reserved list.
        QStringList paths;
        for (int i = 0; i < 3; ++i) {
            paths << m_dir.filePath(
                QStringLiteral("%1 track %2.wav").arg(QTest::currentDataTag()).arg(i));
            QByteArray bytes = wavBytes(
                sineSamples(0, qint64(CaptureRate) * TrackMs / 1000, CaptureRate, Peaks[i]),
                CaptureRate);
            if (i == 1 && relative) {
                TagFields tag = tagOf("Track 1");
                tag.comment =
                    QByteArray(22, ' ') +
                    "RVA=" + QByteArray::number(RelativeLevel - MiddleLevel).rightJustified(4, ' ');
                tag.pad = ' ';
                bytes += tagRecord(tag);
            }
            QVERIFY(writeFile(paths.last(), bytes));
        }
        Catalogue catalogue;
        GroupLists groups;
        BrowsingModel browsing{catalogue, groups};
        for (int i = 0; i < 2; ++i)
            catalogue.setCell(ColPath, catalogue.appendRow(), paths[i]);
        browsing.showRows({0, 1}, BrowsingModel::RowsKind::Listed);
        SampleCapture capture;
        GstMediaElement media([&capture] { return capture.makeSink(); });
        media.setGapless(true);
        QSignalSpy prepared(&media, &GstMediaElement::nextFilePrepared);
        VolumeLevel volume{media};
        PlayerControl control{browsing, media, volume};
        control.setGapless(true);
        control.setImmediateChange(change == QLatin1String("fade"));
        volume.setLevel(255);
        if (change == QLatin1String("unreserve"))
            QVERIFY(browsing.reserved().append(paths[2]));

        browsing.selectTrack(0);
        control.selectStart();
        // Once the next file was asked for (its data is read long before its end).
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), WaitMs);
        if (change == QLatin1String("reserve") || change == QLatin1String("fade")) {
            QVERIFY(browsing.reserved().append(paths[2]));
            control.trackReserved();
        } else if (change == QLatin1String("unreserve")) {
            browsing.reserved().removeAt(0);
        } else if (change == QLatin1String("relist")) {
            browsing.showRows({1, 0}, BrowsingModel::RowsKind::Listed);
        } else if (change == QLatin1String("stop")) {
            control.stop();
        }
        if (heard.size() > 1) {
            // A quarter second of the second track: its peak has passed many times.
            QTRY_VERIFY_WITH_TIMEOUT(capture.streams().size() >= 2 &&
                                         qint64(capture.samples().size()) >=
                                             capture.streams()[1].firstSample + CaptureRate / 4,
                                     WaitMs);
        }
        // Track 1 at its relative volume from its first sample on (the whole run's peak).
        QList<int> expectedPeaks;
        for (int track : heard) {
            double gain = track == 1 && relative ? levelGain(RelativeLevel) : 1.0;
            if (change == QLatin1String("fade") && track == 2)
                gain = levelGain(MiddleLevel);
            expectedPeaks << int(std::lround(Peaks[track] * gain));
        }
        const QList<int> peaks = peaksHeard(capture).mid(0, heard.size());
        QCOMPARE(peaks.size(), expectedPeaks.size());
        for (qsizetype i = 0; i < peaks.size(); ++i)
            QVERIFY2(std::abs(peaks[i] - expectedPeaks[i]) <= expectedPeaks[i] / 50 + 2,
                     qPrintable(QStringLiteral("%1 vs %2").arg(peaks[i]).arg(expectedPeaks[i])));
        if (heard.size() > 1) {
            QCOMPARE(media.fileName(), paths[heard.last()]);
            // Joined: in the same pipeline without a gap; otherwise a new pipeline started.
            const std::optional<qint64> gap = capture.streams()[1].gapSamples;
            QCOMPARE(gap, joined ? std::optional<qint64>(0) : std::nullopt);
        } else {
            QCOMPARE(media.state(), MediaControl::State::Closed);
        }
        control.stop();
    }
};

QTEST_GUILESS_MAIN(GaplessPlayTest)
#include "test_playback_gapless.moc"
