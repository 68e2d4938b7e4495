// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// ReplayGain: the gain texts taggers write, the gain each mode applies with its clipping
// prevention (by the peak, and no raise without one), and the values read from each file
// type's tags (none from a file beyond the container bounds).
#include "tags/replaygain.h"

#include "support/bytes.h"
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "tags/containerlimits.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

using OptionalDouble = std::optional<double>;
Q_DECLARE_METATYPE(OptionalDouble)
Q_DECLARE_METATYPE(ReplayGainMode)
Q_DECLARE_METATYPE(ReplayGainValues)
Q_DECLARE_METATYPE(ReplayGain::Limit)

namespace {

QByteArray txxx(const QByteArray& description, const QByteArray& value) {
    return id3v2::frame(3, "TXXX", QByteArray(1, '\0') + description + '\0' + value);
}

// An MP4 freeform item, "----" holding its mean, name and text.
QByteArray freeform(const QByteArray& name, const QByteArray& value) {
    return atom("----", atom("mean", QByteArray(4, '\0') + "com.apple.iTunes") +
                            atom("name", QByteArray(4, '\0') + name) +
                            atom("data", bigEndian(1, 4) + bigEndian(0, 4) + value));
}

} // namespace

class TestReplayGain : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void gainTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<OptionalDouble>("gain");
        dataRow("minus sign", QStringLiteral("\u22126.50 dB"), OptionalDouble(-6.5));
        dataRow("hyphen", QStringLiteral("-6.50 dB"), OptionalDouble(-6.5));
        dataRow("plus, whole", QStringLiteral("+3 dB"), OptionalDouble(3.0));
        dataRow("no unit, spaces", QStringLiteral("  2.25 "), OptionalDouble(2.25));
        dataRow("unit in lower case, no space", QStringLiteral("-0.5db"), OptionalDouble(-0.5));
        dataRow("junk", QStringLiteral("loud"), OptionalDouble());
        dataRow("empty", QString(), OptionalDouble());
        dataRow("unit alone", QStringLiteral("dB"), OptionalDouble());
        dataRow("two signs", QStringLiteral("+-3 dB"), OptionalDouble());
        dataRow("exponent", QStringLiteral("1e1 dB"), OptionalDouble());
        dataRow("beyond any correction", QStringLiteral("-300 dB"), OptionalDouble());
    }
    void gainTexts() {
        QFETCH(QString, text);
        QFETCH(OptionalDouble, gain);
        QCOMPARE(parseGainDb(text), gain);
    }

    void appliedGain_data() {
        using Limit = ReplayGain::Limit;
        QTest::addColumn<ReplayGainMode>("mode");
        QTest::addColumn<ReplayGainValues>("values");
        QTest::addColumn<double>("preampDb");
        QTest::addColumn<double>("gainDb"); // expected
        QTest::addColumn<Limit>("limit");
        const ReplayGainValues both{-6.5, 0.5, -8.0, 0.9};
        const ReplayGainValues trackOnly{-6.5, 0.5, std::nullopt, std::nullopt};
        dataRow("off", ReplayGainMode::Off, both, 3.0, 0.0, Limit::None);
        dataRow("track", ReplayGainMode::Track, both, 0.0, -6.5, Limit::None);
        dataRow("album", ReplayGainMode::Album, both, 0.0, -8.0, Limit::None);
        dataRow("album without album values", ReplayGainMode::Album, trackOnly, 0.0, -6.5,
                Limit::None);
        dataRow("no values: the pre-amp", ReplayGainMode::Track, ReplayGainValues{}, -3.0, -3.0,
                Limit::None);
        dataRow("no values: a raising pre-amp too", ReplayGainMode::Track, ReplayGainValues{}, 6.0,
                6.0, Limit::None);
        // +6 dB would take a peak of 0.8 to 1.6: lowered to 1 / 0.8 (+1.94 dB).
        dataRow("clipping prevented", ReplayGainMode::Track, ReplayGainValues{6.0, 0.8, {}, {}},
                0.0, 20.0 * std::log10(1.0 / 0.8), Limit::Peak);
        dataRow("peak that fits", ReplayGainMode::Track, ReplayGainValues{6.0, 0.4, {}, {}}, 0.0,
                6.0, Limit::None);
        // A loud master: even a cut can leave it past full scale, 1 / 1.2 (-1.58 dB).
        dataRow("cut, peak above full scale", ReplayGainMode::Track,
                ReplayGainValues{-1.0, 1.2, {}, {}}, 0.0, 20.0 * std::log10(1.0 / 1.2),
                Limit::Peak);
        // Without a usable peak nothing tells how far a raise may go: none is made.
        dataRow("no peak: not raised", ReplayGainMode::Track, ReplayGainValues{6.0, {}, {}, {}},
                0.0, 0.0, Limit::Unity);
        dataRow("peak 0: not raised", ReplayGainMode::Track, ReplayGainValues{99.0, 0.0, {}, {}},
                0.0, 0.0, Limit::Unity);
        dataRow("negative peak: not raised", ReplayGainMode::Track,
                ReplayGainValues{6.0, -0.5, {}, {}}, 0.0, 0.0, Limit::Unity);
        dataRow("no peak, a cut", ReplayGainMode::Track, ReplayGainValues{-6.0, {}, {}, {}}, 0.0,
                -6.0, Limit::None);
        dataRow("album, no peak at all: not raised", ReplayGainMode::Album,
                ReplayGainValues{-2.0, {}, 9.0, {}}, 0.0, 0.0, Limit::Unity);
        // The track's own peak bounds the album's gain when the album's peak is missing, and
        // the album's (never lower) the track's gain when the track's is.
        dataRow("album gain without album peak: the track's", ReplayGainMode::Album,
                ReplayGainValues{-2.0, 0.5, 9.0, {}}, 0.0, 20.0 * std::log10(2.0), Limit::Peak);
        dataRow("track gain without track peak: the album's", ReplayGainMode::Track,
                ReplayGainValues{6.0, {}, -2.0, 0.25}, 0.0, 6.0, Limit::None);
    }
    void appliedGain() {
        QFETCH(ReplayGainMode, mode);
        QFETCH(ReplayGainValues, values);
        QFETCH(double, preampDb);
        QFETCH(double, gainDb);
        QFETCH(ReplayGain::Limit, limit);
        const ReplayGain::Applied applied = ReplayGain(mode, preampDb).apply(values);
        QVERIFY2(std::abs(applied.gainDb - gainDb) < 1e-9,
                 qPrintable(QString::number(applied.gainDb)));
        QVERIFY(std::abs(applied.gain - std::pow(10.0, gainDb / 20.0)) < 1e-9);
        QCOMPARE(applied.limit, limit);
    }

    void valuesRead_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ReplayGainValues>("values");
        QFile fixture(qEnvironmentVariable("SONAVUE_SOURCE_DIR") +
                      QStringLiteral("/assets/fixtures/tone-400ms.mp3"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QByteArray mp3 = fixture.readAll();
        const ReplayGainValues all{-6.5, 0.75, 3.0, 0.5};
        dataRow("mp3, TXXX frames", "a.mp3",
                id3v2::tag(3, txxx("REPLAYGAIN_TRACK_GAIN", "-6.50 dB") +
                                  txxx("REPLAYGAIN_TRACK_PEAK", "0.750000") +
                                  txxx("replaygain_album_gain", "+3.00 dB") +
                                  txxx("REPLAYGAIN_ALBUM_PEAK", "0.5")) +
                    mp3,
                all);
        dataRow("mp3, junk gain", "b.mp3",
                id3v2::tag(3, txxx("REPLAYGAIN_TRACK_GAIN", "loud")) + mp3, ReplayGainValues{});
        dataRow("mp3 without a tag", "c.mp3", mp3, ReplayGainValues{});
        dataRow("flac, Vorbis comments", "d.flac",
                flacFile({"REPLAYGAIN_TRACK_GAIN=-6.50 dB", "REPLAYGAIN_TRACK_PEAK=0.75",
                          "replaygain_album_gain=+3 dB", "REPLAYGAIN_ALBUM_PEAK=0.5"}),
                all);
        dataRow("m4a, freeform atoms", "e.m4a",
                mp4File({}, freeform("replaygain_track_gain", "-6.50 dB") +
                                freeform("replaygain_track_peak", "0.75") +
                                freeform("REPLAYGAIN_ALBUM_GAIN", "+3.00 dB") +
                                freeform("replaygain_album_peak", "0.5")),
                all);
        dataRow("not music", "f.mp3", QByteArray("text, not music"), ReplayGainValues{});
        dataRow("m4a nested past the bounds", "g.m4a",
                mp4File({}, freeform("replaygain_track_gain", "-6.50 dB")) +
                    nestedAtoms("udta", MostAtomDepth + 1),
                ReplayGainValues{});
    }
    void valuesRead() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(ReplayGainValues, values);
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const ReplayGainValues read = readReplayGain(file.fileName());
        QCOMPARE(read.trackGainDb, values.trackGainDb);
        QCOMPARE(read.trackPeak, values.trackPeak);
        QCOMPARE(read.albumGainDb, values.albumGainDb);
        QCOMPARE(read.albumPeak, values.albumPeak);
    }

    void pipeIsNotRead() {
        // A FIFO named like music has no writer: reading it must not wait for one.
        const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.mp3")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(!readReplayGain(QFile::decodeName(fifo)).trackGainDb);
    }
};

QTEST_GUILESS_MAIN(TestReplayGain)
#include "test_tags_replaygain.moc"
