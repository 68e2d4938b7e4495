// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Colour values: the component split, the light/dark rule and the palette picture.
#include "support/datarow.h"
#include "ui/style/colours.h"

#include <QTest>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {
constexpr std::int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}
} // namespace

class ColoursTest : public QObject {
    Q_OBJECT
private slots:
    void split_data() {
        QTest::addColumn<std::int32_t>("colour");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        dataRow("black", std::int32_t(0), 0, 0, 0);
        dataRow("white", std::int32_t(0xFFFFFF), 255, 255, 255);
        dataRow("1,2,3", rgb(1, 2, 3), 1, 2, 3);
        dataRow("red only", rgb(200, 0, 0), 200, 0, 0);
        dataRow("blue only", rgb(0, 0, 129), 0, 0, 129);
        dataRow("title strip", TitleStripColour, 128, 255, 128);
        dataRow("released outside", std::int32_t(-1), -1, -1, -1);
        dataRow("one past white wraps", std::int32_t(16777216 + rgb(1, 0, 0)), 1, 0, 0);
        // Negative values keep their sign in the remainders and round down in the divisions.
        dataRow("-256", std::int32_t(-256), 0, -1, -1);
        dataRow("most negative", std::int32_t(INT32_MIN), 0, 0, 0);
    }
    void split() {
        QFETCH(std::int32_t, colour);
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        std::int16_t outR = 99, outG = 99, outB = 99;
        colourComponents(colour, outR, outG, outB);
        QCOMPARE(int(outR), r);
        QCOMPARE(int(outG), g);
        QCOMPARE(int(outB), b);
    }
    void lightOrDark_data() {
        QTest::addColumn<std::int32_t>("colour");
        QTest::addColumn<bool>("light");
        dataRow("sum 352", rgb(100, 100, 152), true);
        dataRow("sum 351", rgb(100, 100, 151), false);
        dataRow("sum 352 in red and green", rgb(255, 97, 0), true);
        dataRow("white", std::int32_t(0xFFFFFF), true);
        dataRow("black", std::int32_t(0), false);
        dataRow("released outside", std::int32_t(-1), false);
        dataRow("designed background", DesignedBackground, true);
    }
    void lightOrDark() {
        QFETCH(std::int32_t, colour);
        QFETCH(bool, light);
        QCOMPARE(isLightColour(colour), light);
        QCOMPARE(textColourFor(colour), light ? std::int32_t(0x004000) : std::int32_t(0xE0FFE0));
    }
    void qtColours_data() {
        QTest::addColumn<std::int32_t>("colour");
        QTest::addColumn<QColor>("qt");
        dataRow("1,2,3", rgb(1, 2, 3), QColor(1, 2, 3));
        dataRow("white", std::int32_t(0xFFFFFF), QColor(255, 255, 255));
        dataRow("dark text", DarkTextColour, QColor(0, 64, 0));
        dataRow("key colour", KeyColour, QColor(15, 15, 15));
        dataRow("released outside", std::int32_t(-1), QColor());
        dataRow("above white", std::int32_t(0x1000000), QColor());
    }
    void qtColours() {
        QFETCH(std::int32_t, colour);
        QFETCH(QColor, qt);
        const QColor converted = toQColor(colour);
        QCOMPARE(converted.isValid(), qt.isValid());
        if (!qt.isValid())
            return;
        QCOMPARE(converted, qt);
        QCOMPARE(fromQColor(qt), colour);
        // Alpha plays no part in the value.
        QColor translucent = qt;
        translucent.setAlpha(10);
        QCOMPARE(fromQColor(translucent), colour);
    }
    void palettePixels_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("expected");
        dataRow("black corner 0", QPoint(0, 0), QColor(0, 0, 0));
        dataRow("black corner 1", QPoint(1, 0), QColor(0, 0, 0));
        dataRow("top-left block, column 2", QPoint(2, 0), QColor(0, 10, 11));
        dataRow("top-left block, last column", QPoint(49, 0), QColor(0, 250, 11));
        dataRow("top-left block, last row", QPoint(0, 15), QColor(0, 0, 252));
        dataRow("top-left block, inside", QPoint(10, 5), QColor(0, 51, 92));
        dataRow("top-right block, column 0", QPoint(50, 0), QColor(192, 0, 11));
        dataRow("top-right block, column 1", QPoint(51, 1), QColor(192, 5, 28));
        dataRow("top-right corner", QPoint(99, 0), QColor(192, 250, 11));
        dataRow("bottom-left block", QPoint(0, 16), QColor(128, 0, 11));
        dataRow("bottom-left corner", QPoint(0, 31), QColor(128, 0, 252));
        dataRow("bottom-left block, column 49", QPoint(49, 23), QColor(128, 250, 124));
        dataRow("bottom-right block", QPoint(50, 16), QColor(255, 0, 11));
        dataRow("bottom-right block, row 7", QPoint(75, 23), QColor(255, 128, 124));
        dataRow("beside the white corner", QPoint(96, 31), QColor(255, 235, 252));
        dataRow("above the white corner", QPoint(99, 29), QColor(255, 250, 220));
        dataRow("white corner", QPoint(99, 31), QColor(255, 255, 255));
        dataRow("white corner, first", QPoint(97, 30), QColor(255, 255, 255));
    }
    void palettePixels() {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, expected);
        const QImage palette = paletteImage();
        QCOMPARE(palette.pixelColor(pixel), expected);
    }
    void paletteShape() {
        const QImage palette = paletteImage();
        QCOMPARE(palette.size(), QSize(100, 32));
        QVERIFY(!palette.hasAlphaChannel());
        // Blue takes the sixteen steps down every block, one a row.
        const QList<int> steps{11,  28,  43,  60,  75,  92,  107, 124,
                               139, 156, 171, 188, 203, 220, 235, 252};
        for (int y = 0; y < 32; ++y) {
            QCOMPARE(palette.pixelColor(20, y).blue(), steps[y % 16]);
            QCOMPARE(palette.pixelColor(70, y).blue(), steps[y % 16]);
        }
        // Green never falls from one column to the next inside a block.
        for (int x = 1; x < 50; ++x) {
            QVERIFY(palette.pixelColor(x, 5).green() > palette.pixelColor(x - 1, 5).green());
            QVERIFY(palette.pixelColor(50 + x, 20).green() >
                    palette.pixelColor(49 + x, 20).green());
        }
    }
    void contrast() {
        const QColor black(Qt::black), white(Qt::white), paleGreen = toQColor(LightTextColour);
        QCOMPARE(contrastRatio(black, white), 21.0);
        QCOMPARE(contrastRatio(white, black), 21.0);
        QCOMPARE(contrastRatio(paleGreen, paleGreen), 1.0);
        // The pale text colour on the light-green title strip hardly shows; the dark one does.
        QVERIFY(contrastRatio(paleGreen, toQColor(TitleStripColour)) < 1.5);
        QVERIFY(contrastRatio(toQColor(DarkTextColour), toQColor(TitleStripColour)) > 7);
    }
    void marksStandOutOnEveryPaletteColour() {
        // Where the text colour stands out it is the marks' colour too.
        QCOMPARE(legibleInk(Qt::black, toQColor(LightTextColour)), toQColor(LightTextColour));
        QCOMPARE(legibleInk(Qt::white, toQColor(DarkTextColour)), toQColor(DarkTextColour));
        // Nothing is known of what shows through the key colour: the text colour stays.
        QCOMPARE(legibleInk(Qt::transparent, toQColor(LightTextColour)), toQColor(LightTextColour));
        // Every colour the palette offers, with the text colour the window would pick for it.
        const QImage palette = paletteImage();
        for (int y = 0; y < palette.height(); ++y)
            for (int x = 0; x < palette.width(); ++x) {
                const QColor background = palette.pixelColor(x, y);
                const QColor text = toQColor(textColourFor(fromQColor(background)));
                const double ratio = contrastRatio(legibleInk(background, text), background);
                QVERIFY2(ratio >= 3.0,
                         qPrintable(QStringLiteral("(%1, %2): %3").arg(x).arg(y).arg(ratio)));
            }
    }
};

QTEST_MAIN(ColoursTest)
#include "test_ui_parts_colours.moc"
