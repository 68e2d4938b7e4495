// The volume level arithmetic and the relative volume a tag comment carries.
#include "playback/volume.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace sonavue;

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
    void levelAndWaveOutValue_data();
    void levelAndWaveOutValue();
    void channelGain_data();
    void channelGain();
    void relativeVolume_data();
    void relativeVolume();
};

void TestVolume::levelAndWaveOutValue_data() {
    QTest::addColumn<double>("level");
    QTest::addColumn<int>("clamped");
    QTest::addColumn<quint32>("waveOut");
    QTest::newRow("middle") << 128.0 << 128 << quint32(0x80808080u);
    QTest::newRow("top") << 255.0 << 255 << quint32(0xFFFFFFFFu);
    QTest::newRow("bottom") << 0.0 << 0 << quint32(0);
    QTest::newRow("above range") << 300.0 << 255 << quint32(0xFFFFFFFFu);
    QTest::newRow("below range") << -5.0 << 0 << quint32(0);
    QTest::newRow("one") << 1.0 << 1 << quint32(0x01010101u);
    QTest::newRow("digits differ") << 0x3C * 1.0 << 0x3C << quint32(0x3C3C3C3Cu);
    QTest::newRow("half to even down") << 120.5 << 120 << quint32(0x78787878u);
    QTest::newRow("half to even up") << 121.5 << 122 << quint32(0x7A7A7A7Au);
    QTest::newRow("fraction below half") << 7.49 << 7 << quint32(0x07070707u);
    QTest::newRow("huge") << 1e300 << 255 << quint32(0xFFFFFFFFu);
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << quint32(0);
}

void TestVolume::levelAndWaveOutValue() {
    QFETCH(double, level);
    QFETCH(int, clamped);
    QFETCH(quint32, waveOut);
    QCOMPARE(clampLevel(level), clamped);
    QCOMPARE(waveOutVolumeValue(level), waveOut);
}

void TestVolume::channelGain_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("gain");
    QTest::newRow("silent") << 0 << 0.0;
    QTest::newRow("full") << 0xFFFF << 1.0;
    QTest::newRow("middle level") << 0x8080 << 32896.0 / 65535.0;
}

void TestVolume::channelGain() {
    QFETCH(int, channel);
    QFETCH(double, gain);
    QVERIFY(std::abs(sonavue::channelGain(std::uint16_t(channel)) - gain) < 1e-12);
}

void TestVolume::relativeVolume_data() {
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("level"); // -1: no relative volume, the level stays
    const QString rva = QStringLiteral("RVA=");
    QTest::newRow("-200 clamps to level 1") << comment(rva, 23, "-200") << 1;
    QTest::newRow("+030") << comment(rva, 23, "+030") << 158;
    QTest::newRow("-010") << comment(rva, 23, "-010") << 118;
    QTest::newRow("+127 top") << comment(rva, 23, "+127") << 255;
    QTest::newRow("9999 clamps") << comment(rva, 23, "9999") << 255;
    QTest::newRow("zero") << comment(rva, 23, "0000") << 128;
    QTest::newRow("leading spaces") << comment(rva, 23, "  12") << 140;
    QTest::newRow("space then sign") << comment(rva, 23, " -12") << 116;
    QTest::newRow("trailing space") << comment(rva, 23, "+12 ") << 140;
    QTest::newRow("marker at 22") << comment(rva, 22, "+030") << 158;
    QTest::newRow("marker starting at 21") << comment(rva, 21, "-050") << -1;
    QTest::newRow("marker only in first 21") << comment(rva, 18, "+030") << -1;
    QTest::newRow("marker at 1") << comment(rva, 1, "+030") << -1;
    QTest::newRow("lower case marker") << comment("rva=", 23, "+030") << -1;
    QTest::newRow("no marker") << comment(QString(), 23, "+030") << -1;
    QTest::newRow("letters") << comment(rva, 23, "abcd") << -1;
    QTest::newRow("all spaces") << comment(rva, 23, "    ") << -1;
    QTest::newRow("sign only") << comment(rva, 23, "   -") << -1;
    QTest::newRow("two signs") << comment(rva, 23, "+-12") << -1;
    QTest::newRow("inner space") << comment(rva, 23, "1 2 ") << -1;
    QTest::newRow("digits then letter") << comment(rva, 23, "+12a") << -1;
    const QString v11 = QStringLiteral("+3") + QChar(0) + QChar(7);
    QTest::newRow("ID3v1.1 NUL and track byte") << comment(rva, 23, v11) << -1;
    QTest::newRow("fraction half to even down") << comment(rva, 23, "12.5") << 140;
    QTest::newRow("fraction half to even up") << comment(rva, 23, "13.5") << 142;
    QTest::newRow("negative half") << comment(rva, 23, "-0.5") << 128;
    QTest::newRow("fraction above half") << comment(rva, 23, "-1.7") << 126;
    QTest::newRow("point only") << comment(rva, 23, "  . ") << -1;
    QTest::newRow("two points") << comment(rva, 23, "1.2.") << -1;
    // Shorter than the field: read as the field padded with spaces.
    QTest::newRow("short, value cut by the end")
        << QString(22, QLatin1Char('x')) + QStringLiteral("RVA=+3") << 131;
    QTest::newRow("short, no room for the marker")
        << QString(22, QLatin1Char('x')) + QStringLiteral("RVA") << -1;
    QTest::newRow("empty") << QString() << -1;
    // Longer than the field: only its first 30 characters count.
    QTest::newRow("long") << comment(rva, 23, "+030") + QStringLiteral("-100") << 158;
}

void TestVolume::relativeVolume() {
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

QTEST_GUILESS_MAIN(TestVolume)
#include "test_playback_volume.moc"
