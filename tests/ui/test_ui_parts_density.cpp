// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The pictures the program draws on a screen of twice the pixel density (QT_SCALE_FACTOR=2):
// drawn with the screen's pixels, not enlarged from logical ones, so that edges stay hard and
// curves and letters keep their detail; and the palette's colour under each device pixel is
// the one a click there picks.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "support/datarow.h"
#include "ui/controls/imagebutton.h"
#include "ui/settings/palettepicture.h"
#include "ui/style/colours.h"
#include "ui/window/backgroundwindow.h"

#include <QApplication>
#include <QSet>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

QImage shown(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Blocks of 2 x 2 device pixels that are not all one colour: detail finer than a logical
// pixel, which a picture enlarged from logical pixels never has.
int finerThanLogicalPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p)
                ++count;
        }
    }
    return count;
}

// A left click at a device pixel of `control`, given as the display server gives it: in device
// pixels, which the window turns into logical positions with halves.
void clickDevicePixel(QWidget* control, QPoint device) {
    static int timestamp = 0;
    timestamp += 1000; // clicks of different rows never make a double-click
    QWindow* window = control->window()->windowHandle();
    const QPointF local = QPointF(control->mapTo(control->window(), QPoint())) +
                          QPointF(device) / control->devicePixelRatioF();
    const QPointF global = QPointF(window->mapToGlobal(QPoint())) + local;
    qt_handleMouseEvent(window, local, global, Qt::LeftButton, Qt::LeftButton,
                        QEvent::MouseButtonPress, {}, timestamp);
    qt_handleMouseEvent(window, local, global, Qt::NoButton, Qt::LeftButton,
                        QEvent::MouseButtonRelease, {}, timestamp + 1);
}

} // namespace

class DensityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void pictureButtons() {
        for (ButtonPictures (*draw)(qreal) :
             {homeButtonPictures, closeButtonPictures, backButtonPictures}) {
            ImageButton widget(draw);
            QCOMPARE(widget.size(), draw(1.0).released.size()); // the same logical size
            const QImage image = shown(widget);
            QCOMPARE(image.size(), widget.size() * 2);
            QVERIFY(finerThanLogicalPixels(image) > 10);
            // The face's outline on the left edge covers device columns 0 and 1 exactly, and
            // column 2 is the face: no column half way between the two.
            const int y = image.height() / 2;
            QCOMPARE(qAlpha(image.pixel(0, y)), 255);
            QCOMPARE(image.pixel(0, y), image.pixel(1, y));
            QVERIFY(image.pixel(2, y) != image.pixel(1, y));
            QCOMPARE(qAlpha(image.pixel(2, y)), 255);
        }
    }

    // The palette keeps the colours a click picks: across the hard edge between two blocks
    // (logical columns 49 and 50) every device pixel is one of the two, none a blend; at 1.5
    // times the same holds for every pixel of the picture.
    void palette() {
        const QImage logical = paletteImage();
        PalettePicture widget;
        widget.resize(widget.sizeHint());
        const QImage image = shown(widget);
        QCOMPARE(image.size(), logical.size() * 2);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 96; x < 104; ++x)
                QCOMPARE(image.pixel(x, y), logical.pixel(x / 2, y / 2));
        }

        QSet<QRgb> colours;
        for (int y = 0; y < logical.height(); ++y)
            for (int x = 0; x < logical.width(); ++x)
                colours.insert(logical.pixel(x, y));
        const QImage atOneAndAHalf = PalettePicture::pictureAt(1.5).toImage();
        QCOMPARE(atOneAndAHalf.size(), QSize(150, 48));
        for (int y = 0; y < atOneAndAHalf.height(); ++y)
            for (int x = 0; x < atOneAndAHalf.width(); ++x)
                QVERIFY(colours.contains(atOneAndAHalf.pixel(x, y)));
    }

    // The built-in background picture is drawn again with the screen's pixels.
    void backgroundPicture() {
        QWidget main;
        main.resize(300, 200);
        BackgroundWindow background(&main);
        QVERIFY(background.usingBuiltInPicture());
        background.resize(300, 200);
        const QImage image = shown(background);
        QCOMPARE(image.size(), QSize(600, 400));
        QCOMPARE(background.picture().devicePixelRatio(), 2.0);
        QCOMPARE(background.picture().size(), BackgroundWindow::builtInPicture().size() * 2);
    }

    // A click on the palette picks the colour of the logical pixel its device pixel lies in;
    // in the strip where the control is a little larger than the picture, the nearest edge
    // pixel's.
    void paletteClicks_data() {
        QTest::addColumn<QPoint>("device");
        QTest::addColumn<QPoint>("picked"); // (-1, -1): none
        dataRow("first device pixel", QPoint(0, 0), QPoint(0, 0));
        dataRow("right half of the last pixel of a block", QPoint(99, 41), QPoint(49, 20));
        dataRow("left half of the next block's first pixel", QPoint(100, 40), QPoint(50, 20));
        dataRow("last column and row", QPoint(199, 63), QPoint(99, 31));
        dataRow("right of the picture", QPoint(201, 10), QPoint(99, 5));
        dataRow("below the picture", QPoint(10, 64), QPoint(5, 31));
        dataRow("the control's last pixel", QPoint(202, 66), QPoint(99, 31));
    }
    void paletteClicks() {
        QFETCH(QPoint, device);
        QFETCH(QPoint, picked);
        const SettingsFile settings(QStringLiteral("SonavueDensityTest"));
        auto w = startWindow(settings.appName());
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        clickDevicePixel(ui.palette, device);
        const QImage palette = paletteImage();
        const std::int32_t expected =
            palette.valid(picked) ? fromQColor(palette.pixelColor(picked)) : -1;
        QCOMPARE(f.currentColour(), expected);
        QCOMPARE(settings.get(QStringLiteral("color")), QString::number(expected));
        if (palette.valid(picked))
            QCOMPARE(ui.palette->marker(), picked); // the keyboard goes on from there
    }
};

int main(int argc, char** argv) {
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    DensityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_parts_density.moc"
