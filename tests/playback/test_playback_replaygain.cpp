// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// ReplayGain on the real element: sine files of a known level, tagged with a gain, come out
// at the sink changed by that gain (0.1 dB), the peak keeping it from clipping and no peak
// keeping it from any raise; with gapless play the next file's gain holds from its first
// sample.
#include "audiofiles.h"
#include "gaplessaudio.h"

#include "playback/gstmediaelement.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "tags/replaygain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

using namespace sonavue;
using namespace sonavue::testaudio;
using namespace sonavue::testing;

namespace {

constexpr qint64 FileSamples = 22050;
constexpr int Peak = 8000;

// The gain, and the peak unless it is NaN.
QByteArray replayGainTag(double gainDb, double peak) {
    const auto txxx = [](const QByteArray& description, const QByteArray& value) {
        return id3v2::frame(3, "TXXX", QByteArray(1, '\0') + description + '\0' + value);
    };
    QByteArray frames = txxx("REPLAYGAIN_TRACK_GAIN", QByteArray::number(gainDb, 'f', 2) + " dB");
    if (!std::isnan(peak))
        frames += txxx("REPLAYGAIN_TRACK_PEAK", QByteArray::number(peak, 'f', 6));
    return id3v2::tag(3, frames);
}

// A WAV file with the tag in an "id3 " chunk after its samples.
QByteArray taggedWav(const std::vector<qint16>& samples, const QByteArray& tag) {
    QByteArray bytes = wavBytes(samples, CaptureRate);
    QByteArray size(4, '\0');
    qToLittleEndian<quint32>(quint32(tag.size()), size.data());
    bytes += "id3 " + size + tag;
    if (tag.size() % 2)
        bytes += '\0';
    qToLittleEndian<quint32>(quint32(bytes.size() - 8), bytes.data() + 4);
    return bytes;
}

double rms(const std::vector<qint16>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(std::max<size_t>(to - from, 1)));
}

double decibels(double ratio) {
    return 20.0 * std::log10(ratio);
}

} // namespace

class ReplayGainPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
    }

    void outputChangesByTheTaggedGain_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<double>>("gainsDb");   // tagged, per file
        QTest::addColumn<QList<double>>("peaks");     // tagged, per file
        QTest::addColumn<QList<double>>("appliedDb"); // expected
        // The second file follows the first without a gap.
        dataRow("wav, cut and raised", "wav", QList<double>{-6.0, 4.0}, QList<double>{0.25, 0.25},
                QList<double>{-6.0, 4.0});
        dataRow("mp3, cut and raised", "mp3", QList<double>{-6.0, 4.0}, QList<double>{0.25, 0.25},
                QList<double>{-6.0, 4.0});
        // +9 dB would take the tagged peak of 0.5 past full scale: 1 / 0.5 (+6.02 dB) instead.
        dataRow("wav, kept from clipping", "wav", QList<double>{0.0, 9.0}, QList<double>{0.25, 0.5},
                QList<double>{0.0, decibels(2.0)});
        // Nothing tells how far +99 dB may raise it: it plays at unity, not clipped.
        dataRow("wav, +99 dB without a peak", "wav", QList<double>{0.0, 99.0},
                QList<double>{0.25, qQNaN()}, QList<double>{0.0, 0.0});
    }
    void outputChangesByTheTaggedGain() {
        QFETCH(QString, kind);
        QFETCH(QList<double>, gainsDb);
        QFETCH(QList<double>, peaks);
        QFETCH(QList<double>, appliedDb);
        const bool mp3 = kind == QLatin1String("mp3");
        if (GstElementFactory* encoder = gst_element_factory_find("lamemp3enc"))
            gst_object_unref(encoder);
        else if (mp3)
            QSKIP("no MP3 encoder on this machine");
        const std::vector<qint16> source = sineSamples(0, FileSamples, CaptureRate, Peak);
        QStringList paths;
        for (qsizetype i = 0; i < gainsDb.size(); ++i) {
            paths << m_dir.filePath(
                QStringLiteral("%1 %2.%3").arg(QTest::currentDataTag()).arg(i).arg(kind));
            const QByteArray tag = replayGainTag(gainsDb[i], peaks[i]);
            if (mp3) {
                QVERIFY(writeGaplessMp3(paths.last(), source));
                QFile file(paths.last());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY(writeFile(paths.last(), tag + file.readAll()));
            } else {
                QVERIFY(writeFile(paths.last(), taggedWav(source, tag)));
            }
        }

        // The same two files without ReplayGain, then with it.
        const ReplayGain replayGain(ReplayGainMode::Track, 0.0);
        const std::vector<qint16> plain = playJoined(paths, [](const QString&) { return 1.0; });
        const std::vector<qint16> played = playJoined(paths, [replayGain](const QString& path) {
            return replayGain.apply(readReplayGain(path)).gain;
        });
        QCOMPARE(plain.size(), size_t(2 * FileSamples));
        QCOMPARE(played.size(), plain.size());
        for (size_t file = 0; file < 2; ++file) {
            const size_t from = file * FileSamples;
            const size_t to = from + FileSamples;
            const double changeDb = decibels(rms(played, from, to) / rms(plain, from, to));
            qInfo("file %zu: tagged %.2f dB, applied %.2f dB, measured %.3f dB", file,
                  gainsDb[qsizetype(file)], appliedDb[qsizetype(file)], changeDb);
            QVERIFY2(std::abs(changeDb - appliedDb[qsizetype(file)]) <= 0.1,
                     qPrintable(QStringLiteral("file %1: %2 dB").arg(file).arg(changeDb)));
        }
        // From the second file's first sample on, at its own gain (the volume element's
        // fixed-point steps apart).
        const double gain = std::pow(10.0, appliedDb[1] / 20.0);
        for (size_t i = FileSamples; i < FileSamples + 100; ++i) {
            const double expected = plain[i] * gain;
            QVERIFY2(
                std::abs(played[i] - expected) <= 2.0 + std::abs(expected) / 1000.0,
                qPrintable(
                    QStringLiteral("sample %1: %2, not %3").arg(i).arg(played[i]).arg(expected)));
        }
    }

private:
    // Plays the first file and, joined to it without a gap, the second: every sample heard.
    std::vector<qint16> playJoined(const QStringList& paths, FileGainRule rule) {
        SampleCapture capture;
        GstMediaElement media([&capture] { return capture.makeSink(); });
        media.setGapless(true);
        media.setFileGainRule(std::move(rule));
        QSignalSpy ends(&media, &MediaControl::finished);
        connect(&media, &MediaControl::finished, this,
                [&] { media.takeContinuedFile(media.continuedFile()); });
        media.open(paths[0]);
        media.setNextFile(NextFile{paths[1], std::nullopt});
        media.play();
        if (!QTest::qWaitFor([&] { return ends.size() == 2; }, WaitMs))
            return {};
        const std::vector<SampleCapture::Stream> streams = capture.streams();
        if (streams.size() != 2 || streams[1].gapSamples != std::optional<qint64>(0))
            return {};
        return capture.samples();
    }
};

QTEST_GUILESS_MAIN(ReplayGainPlayTest)
#include "test_playback_replaygain.moc"
