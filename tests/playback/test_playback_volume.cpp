// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The volume level arithmetic and the relative volume a tag comment carries.
#include "playback/volume.h"
#include "support/datarow.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {

// A 30-character comment: `text` first, `marker` at 1-based character `markerAt`, and
// `value` as the last four characters (27..30).
QString comment(const QString& marker, int markerAt, const QString& value,
                QChar fill = QLatin1Char('x')) {
    QString field(30, fill);
    field.replace(markerAt - 1, marker.size(), marker);
    field.replace(26, 4, value);
    return field;
}

} // namespace

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void levelAndWaveOutValue_data() {
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("clamped");
        QTest::addColumn<quint32>("waveOut");
        dataRow("middle", 128.0, 128, quint32(0x80808080u));
        dataRow("top", 255.0, 255, quint32(0xFFFFFFFFu));
        dataRow("bottom", 0.0, 0, quint32(0));
        dataRow("above range", 300.0, 255, quint32(0xFFFFFFFFu));
        dataRow("below range", -5.0, 0, quint32(0));
        dataRow("one", 1.0, 1, quint32(0x01010101u));
        dataRow("digits differ", 0x3C * 1.0, 0x3C, quint32(0x3C3C3C3Cu));
        dataRow("half to even down", 120.5, 120, quint32(0x78787878u));
        dataRow("half to even up", 121.5, 122, quint32(0x7A7A7A7Au));
        dataRow("fraction below half", 7.49, 7, quint32(0x07070707u));
        dataRow("huge", 1e300, 255, quint32(0xFFFFFFFFu));
        dataRow("not a number", std::numeric_limits<double>::quiet_NaN(), 0, quint32(0));
    }
    void levelAndWaveOutValue() {
        QFETCH(double, level);
        QFETCH(int, clamped);
        QFETCH(quint32, waveOut);
        QCOMPARE(clampLevel(level), clamped);
        QCOMPARE(waveOutVolumeValue(level), waveOut);
    }
    void levelGain_data() {
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("gain");
        dataRow("silent", 0.0, 0.0);
        dataRow("full", 255.0, 1.0);
        dataRow("middle level", 128.0, 32896.0 / 65535.0);
        dataRow("beyond full", 300.0, 1.0);
    }
    void levelGain() {
        QFETCH(double, level);
        QFETCH(double, gain);
        QVERIFY(std::abs(sonavue::levelGain(level) - gain) < 1e-12);
    }
    void relativeVolume_data() {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("level"); // -1: no relative volume, the level stays
        const QString rva = QStringLiteral("RVA=");
        dataRow("-200 clamps to level 1", comment(rva, 23, "-200"), 1);
        dataRow("+030", comment(rva, 23, "+030"), 158);
        dataRow("-010", comment(rva, 23, "-010"), 118);
        dataRow("+127 top", comment(rva, 23, "+127"), 255);
        dataRow("9999 clamps", comment(rva, 23, "9999"), 255);
        dataRow("zero", comment(rva, 23, "0000"), 128);
        dataRow("leading spaces", comment(rva, 23, "  12"), 140);
        dataRow("space then sign", comment(rva, 23, " -12"), 116);
        dataRow("trailing space", comment(rva, 23, "+12 "), 140);
        dataRow("marker at 22", comment(rva, 22, "+030"), 158);
        dataRow("marker starting at 21", comment(rva, 21, "-050"), -1);
        dataRow("marker only in first 21", comment(rva, 18, "+030"), -1);
        dataRow("marker at 1", comment(rva, 1, "+030"), -1);
        dataRow("lower case marker", comment("rva=", 23, "+030"), -1);
        dataRow("no marker", comment(QString(), 23, "+030"), -1);
        dataRow("letters", comment(rva, 23, "abcd"), -1);
        dataRow("all spaces", comment(rva, 23, "    "), -1);
        dataRow("sign only", comment(rva, 23, "   -"), -1);
        dataRow("two signs", comment(rva, 23, "+-12"), -1);
        dataRow("inner space", comment(rva, 23, "1 2 "), -1);
        dataRow("digits then letter", comment(rva, 23, "+12a"), -1);
        const QString v11 = QStringLiteral("+3") + QChar(0) + QChar(7);
        dataRow("ID3v1.1 NUL and track byte", comment(rva, 23, v11), -1);
        dataRow("fraction half to even down", comment(rva, 23, "12.5"), 140);
        dataRow("fraction half to even up", comment(rva, 23, "13.5"), 142);
        dataRow("negative half", comment(rva, 23, "-0.5"), 128);
        dataRow("fraction above half", comment(rva, 23, "-1.7"), 126);
        dataRow("point only", comment(rva, 23, "  . "), -1);
        dataRow("two points", comment(rva, 23, "1.2."), -1);
        // Shorter than the field: read as the field padded with spaces.
        dataRow("short, value cut by the end",
                QString(22, QLatin1Char('x')) + QStringLiteral("RVA=+3"), 131);
        dataRow("short, no room for the marker",
                QString(22, QLatin1Char('x')) + QStringLiteral("RVA"), -1);
        dataRow("empty", QString(), -1);
        // Longer than the field: only its first 30 characters count.
        dataRow("long", comment(rva, 23, "+030") + QStringLiteral("-100"), 158);
    }
    void relativeVolume() {
        QFETCH(QString, comment);
        QFETCH(int, level);
        const std::optional<int> result = relativeVolumeLevel(comment);
        if (level < 0) {
            QVERIFY2(!result, qPrintable(QString::number(result.value_or(-1))));
        } else {
            QVERIFY(result.has_value());
            QCOMPARE(*result, level);
        }
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "test_playback_volume.moc"
