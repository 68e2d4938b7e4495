// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The window icon: every size rendered from the program's drawing at build time is built
// into the program, and each one is the drawing (a rounded tile), not an empty picture.
#include "app/programicon.h"
#include "support/datarow.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

using sonavue::testing::dataRow;

class ProgramIconTest : public QObject {
    Q_OBJECT

private slots:
    void everyRenderedSizeIsThere() {
        const QList<QSize> sizes = sonavue::programIcon().availableSizes();
        for (int pixels : {16, 32, 48, 64, 128, 256})
            QVERIFY2(sizes.contains(QSize(pixels, pixels)), qPrintable(QString::number(pixels)));
    }

    void eachSizeShowsTheTile_data() {
        QTest::addColumn<int>("pixels");
        for (int pixels : {16, 32, 48, 64, 128, 256})
            dataRow(qPrintable(QStringLiteral("%1 px").arg(pixels)), pixels);
    }
    void eachSizeShowsTheTile() {
        QFETCH(int, pixels);
        const QImage image = sonavue::programIcon()
                                 .pixmap(QSize(pixels, pixels))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(pixels, pixels));
        // The tile's rounded corner leaves the very corner clear; its blue top is opaque.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        const QRgb top = image.pixel(pixels / 2, pixels / 8);
        QCOMPARE(qAlpha(top), 255);
        QVERIFY2(qBlue(top) > qRed(top) + 60, qPrintable(QString::number(top, 16)));
    }
};

QTEST_MAIN(ProgramIconTest)
#include "test_app_programicon.moc"
