// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Picture buttons: their pictures and their pressed and released looks.
#include "support/artifacts.h"
#include "support/datarow.h"
#include "ui/controls/imagebutton.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

Q_DECLARE_METATYPE(sonavue::ButtonPictures)

namespace {

double meanLightness(const QImage& image) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            sum += c.lightness();
            ++count;
        }
    }
    return count ? sum / count : 0;
}

} // namespace

class ImageButtonTest : public QObject {
    Q_OBJECT
private slots:
    void pictures_data() {
        QTest::addColumn<ButtonPictures>("pictures");
        QTest::addColumn<QSize>("size");
        dataRow("Home", homeButtonPictures(), QSize(59, 20));
        dataRow("Close", closeButtonPictures(), QSize(24, 24));
        dataRow("Back", backButtonPictures(), QSize(24, 24));
    }
    void pictures() {
        QFETCH(ButtonPictures, pictures);
        QFETCH(QSize, size);
        const QImage released = pictures.released.toImage();
        const QImage pressed = pictures.pressed.toImage();
        QCOMPARE(released.size(), size);
        QCOMPARE(pressed.size(), size);
        QVERIFY(released != pressed);
        // The pressed look is sunk: darker overall.
        QVERIFY(meanLightness(pressed) + 5 < meanLightness(released));
        // Something is drawn on the face (the word or the symbol): the centre row is not flat.
        QSet<QRgb> centreRow;
        for (int x = 0; x < size.width(); ++x)
            centreRow.insert(released.pixel(x, size.height() / 2));
        QVERIFY(centreRow.size() > 3);

        // Both looks side by side, enlarged, for a person to look at.
        QImage sheet(size.width() * 2 + 4, size.height(), QImage::Format_ARGB32);
        sheet.fill(QColor(128, 255, 128));
        QPainter painter(&sheet);
        painter.drawImage(0, 0, released);
        painter.drawImage(size.width() + 4, 0, pressed);
        painter.end();
        QVERIFY(
            sheet.scaled(sheet.size() * 4)
                .save(artifactPath(QStringLiteral("button-%1.png").arg(QTest::currentDataTag()))));
    }
    void pressAndRelease_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");
        dataRow("left, released inside", Qt::LeftButton, QPoint(10, 10), 1);
        dataRow("left, released outside", Qt::LeftButton, QPoint(80, 10), 0);
        dataRow("right", Qt::RightButton, QPoint(10, 10), 0);
        dataRow("middle", Qt::MiddleButton, QPoint(10, 10), 0);
    }
    void pressAndRelease() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);
        const ButtonPictures pictures = homeButtonPictures();
        ImageButton widget(pictures.released, pictures.pressed);
        QCOMPARE(widget.size(), QSize(59, 20));
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QSignalSpy clicked(&widget, &ImageButton::clicked);
        const QPoint probe(30, 1); // a spot where the two looks differ
        QVERIFY(pictures.released.toImage().pixel(probe) !=
                pictures.pressed.toImage().pixel(probe));

        QVERIFY(!widget.isPressedLook());
        QCOMPARE(widget.currentPicture().cacheKey(), pictures.released.cacheKey());
        QTest::mousePress(&widget, button, {}, QPoint(10, 10));
        QVERIFY(widget.isPressedLook()); // any button shows the pressed picture
        QCOMPARE(widget.currentPicture().cacheKey(), pictures.pressed.cacheKey());
        QCOMPARE(widget.grab().toImage().pixel(probe), pictures.pressed.toImage().pixel(probe));

        QTest::mouseRelease(&widget, button, {}, releaseAt);
        QVERIFY(!widget.isPressedLook());
        QCOMPARE(widget.currentPicture().cacheKey(), pictures.released.cacheKey());
        QCOMPARE(widget.grab().toImage().pixel(probe), pictures.released.toImage().pixel(probe));
        QCOMPARE(clicked.size(), clicks);
    }
    // Tab reaches the button, and Space, Enter and Return click it; other keys do not.
    void keyboard() {
        QWidget window;
        auto* before = new QWidget(&window);
        before->setFocusPolicy(Qt::StrongFocus);
        auto* button = new ImageButton(homeButtonPictures, &window);
        button->move(0, 30);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        QSignalSpy clicked(button, &ImageButton::clicked);
        QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(window.windowHandle(), Qt::Key_Space);
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QTest::keyClick(window.windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(window.windowHandle(), Qt::Key_A);
        QTest::keyClick(window.windowHandle(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(clicked.size(), 3);
    }
};

QTEST_MAIN(ImageButtonTest)
#include "test_ui_parts_imagebutton.moc"
