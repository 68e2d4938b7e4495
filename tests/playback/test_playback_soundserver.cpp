// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Continuous play with gapless play on, as it is heard at a real sound server: every file is
// heard whole, no sample lost or repeated at a join, whatever happens near the end of the
// playing file (a change of rate, a late reservation, a fade, a next file that cannot play).
#include "audiofiles.h"
#include "gaplessaudio.h"
#include "soundserver.h"

#include "catalogue/browsingmodel.h"
#include "catalogue/catalogue.h"
#include "playback/gstmediaelement.h"
#include "playback/playercontrol.h"
#include "playback/volume.h"
#include "playback/volumelevel.h"
#include "support/datarow.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testaudio;
using namespace sonavue::testing;

namespace {

constexpr int TrackMs = 2000;

// A file of the given kind, its samples as the sink takes them, and whether they can be
// compared sample for sample.
struct TestFile {
    QString path;
    Expected expected;
};

// Each file a sine of its own peak and pitch, so no two can be taken for each other.
bool writeTestFile(const QString& folder, const QString& kind, int index, TestFile& made) {
    const int peak = 6000 + 2000 * index;
    const double pitch = 300.0 + 110.0 * index;
    const int rate = kind == QLatin1String("wav48")   ? 48000
                     : kind == QLatin1String("wav22") ? 22050
                                                      : CaptureRate;
    const qint64 count = qint64(rate) * TrackMs / 1000;
    const std::vector<qint16> samples = sineSamples(0, count, rate, peak, pitch);
    made.path = folder + QStringLiteral("/%1 %2.%3")
                             .arg(index)
                             .arg(kind)
                             .arg(kind.startsWith(QLatin1String("wav")) ? "wav" : "mp3");
    if (kind == QLatin1String("bad")) {
        QByteArray noise(40000, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        return writeFile(made.path, noise);
    }
    if (kind == QLatin1String("mp3")) {
        // Heard as GStreamer decodes it on its own.
        if (!writeGaplessMp3(made.path, samples))
            return false;
        made.expected.samples = decodedSamples(made.path);
        return !made.expected.samples.empty();
    }
    made.expected.samples = samples;
    if (rate != CaptureRate) // resampled on the way: only its length is told
        made.expected = {std::vector<qint16>(std::size_t(count * CaptureRate / rate)), false};
    return writeFile(made.path, wavBytes(samples, rate));
}

} // namespace

class SoundServerPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SoundServer> m_server;

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<SoundServer>(CaptureRate);
        if (const std::optional<QString> why = m_server->start())
            QSKIP(qPrintable(*why));
    }

    void everyFileIsHeardWhole_data() {
        QTest::addColumn<QStringList>("list"); // the track list; a "wav" more is reserved
        QTest::addColumn<QString>("change");   // made once the next file was prepared
        QTest::addColumn<QList<int>>("heard"); // every file heard, in order
        QTest::addColumn<bool>("joined");      // the second followed without a gap
        const QStringList two{"wav", "wav"};
        dataRow("WAV to WAV", two, QString(), QList<int>{0, 1}, true);
        dataRow("MP3 to MP3", QStringList{"mp3", "mp3"}, QString(), QList<int>{0, 1}, true);
        dataRow("44.1 to 48 kHz", QStringList{"wav", "wav48"}, QString(), QList<int>{0, 1}, false);
        dataRow("48 to 22.05 kHz", QStringList{"wav48", "wav22"}, QString(), QList<int>{0, 1},
                false);
        // Play goes on to the list's end, where it stops by itself.
        dataRow("a track reserved late", two, QStringLiteral("reserve"), QList<int>{0, 2, 1},
                false);
        dataRow("a fade the track outlasts", two, QStringLiteral("fade"), QList<int>{0, 2, 1},
                false);
        dataRow("gapless play turned off late", two, QStringLiteral("off"), QList<int>{0, 1},
                false);
        dataRow("a next file that cannot play", QStringList{"wav", "bad", "wav"}, QString(),
                QList<int>{0, 2}, false);
    }
    void everyFileIsHeardWhole() {
        QFETCH(QStringList, list);
        QFETCH(QString, change);
        QFETCH(QList<int>, heard);
        QFETCH(bool, joined);
        const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        std::vector<TestFile> files(std::size_t(list.size() + 1));
        for (qsizetype i = 0; i <= list.size(); ++i)
            QVERIFY(writeTestFile(folder, list.value(i, QStringLiteral("wav")), int(i),
                                  files[std::size_t(i)]));

        Catalogue catalogue;
        GroupLists groups;
        BrowsingModel browsing{catalogue, groups};
        std::vector<int> rows;
        for (qsizetype i = 0; i < list.size(); ++i) {
            rows.push_back(catalogue.appendRow());
            catalogue.setCell(ColPath, rows.back(), files[std::size_t(i)].path);
        }
        browsing.showRows(rows, BrowsingModel::RowsKind::Listed);
        GstMediaElement media; // the automatic sink, as the player makes it
        media.setGapless(true);
        // Told before player control goes on: the last file heard has ended.
        bool lastEnded = false;
        const QString last = files[std::size_t(heard.last())].path;
        connect(&media, &MediaControl::finished, this, [&](PlayEnd end) {
            lastEnded |= end == PlayEnd::Reached && media.fileName() == last;
        });
        QSignalSpy prepared(&media, &GstMediaElement::nextFilePrepared);
        VolumeLevel volume{media};
        PlayerControl control{browsing, media, volume};
        control.setGapless(true);
        control.setImmediateChange(change == QLatin1String("fade"));

        m_server->startRecording();
        browsing.selectTrack(0);
        control.selectStart();
        if (!change.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), WaitMs);
            if (change == QLatin1String("off")) { // as the settings dialog turns it off
                media.setGapless(false);
                control.setGapless(false);
            } else {
                QVERIFY(browsing.reserved().append(files.back().path));
                control.trackReserved();
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(lastEnded, WaitMs);
        const std::vector<qint16> recording = m_server->stopRecording();
        control.stop();

        std::vector<Expected> expected;
        for (int f : heard)
            expected.push_back(files[std::size_t(f)].expected);
        if (change == QLatin1String("fade")) {
            // The fading file is told by its length; the queued one plays at the middle level
            // from its first sample.
            expected[0].exact = false;
            for (std::size_t k = 1; k < expected.size(); ++k)
                for (qint16& sample : expected[k].samples)
                    sample = qint16(std::lround(sample * levelGain(MiddleLevel)));
        }
        const std::vector<Heard> found = hearFiles(recording, expected);
        for (std::size_t k = 0; k < found.size(); ++k) {
            const Heard& h = found[k];
            qInfo("file %d: from %lld, %lld heard, %lld lost (first at %lld), %lld silent inside; "
                  "before it %lld silent, %lld stray",
                  heard[qsizetype(k)], h.start, h.heard, h.lost, h.firstLost, h.silentInside,
                  h.silentBefore, h.strayBefore);
            QVERIFY2(h.start >= 0, "never heard");
            // Files told by their length may lose a few samples to the resampler's edges.
            QVERIFY2(h.lost <= (expected[k].exact ? 0 : CaptureRate / 1000), "samples lost");
            if (k > 0) {
                QCOMPARE(h.strayBefore, 0);
                // Even a file closed and the next opened follows at once, as heard.
                QVERIFY2(h.silentBefore < CaptureRate, "a second of silence between files");
            }
        }
        // The sink places each stream's start by the clock, which may round it to the next
        // sample: one sample of silence is no gap.
        if (joined)
            QVERIFY2(found[1].silentBefore <= 1, "a gap at a gapless join");
        // Turned off, the prepared file is not joined after all: it opens anew.
        if (change == QLatin1String("off"))
            QVERIFY2(found[1].silentBefore > 1, "joined after gapless play was turned off");
    }
};

QTEST_GUILESS_MAIN(SoundServerPlayTest)
#include "test_playback_soundserver.moc"
