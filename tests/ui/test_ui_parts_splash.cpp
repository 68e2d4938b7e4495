// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The splash card: its look, its fade timeline, and what closes it; and the shape both
// cards are cut to, which under X11 (test_ui_parts_splash_x11) is checked on the screen.
#include "parts_cards.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "ui/cards/splashcard.h"
#include "ui/cards/tagcard.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

using namespace sonavue;
using sonavue::testing::dataRow;
using sonavue::testing::deliverQueuedCalls;

namespace {

// The colour the screen shows at a point, as the X server has it (no compositor in between
// on a plain Xvfb); invalid where the platform cannot tell.
QColor onScreen(QScreen* screen, QPoint global) {
    const QPixmap pixel = screen->grabWindow(0, global.x(), global.y(), 1, 1);
    return pixel.isNull() ? QColor() : pixel.toImage().pixelColor(0, 0);
}

} // namespace

class SplashTest : public QObject {
    Q_OBJECT
private slots:
    void designedCaptionsAndPlace() {
        auto* splash = new SplashCard;
        QCOMPARE(splash->versionLabel()->text(), QStringLiteral("Sonavue ver1.0"));
        QCOMPARE(splash->buildLabel()->text(), QStringLiteral("Build"));
        QCOMPARE(splash->versionLabel()->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(splash->buildLabel()->palette().color(QPalette::WindowText),
                 QColor(128, 128, 128));
        QCOMPARE(splash->size(), QSize(312, 92));
        QCOMPARE(splash->opacityLevel(), 63);
        QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(splash->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(splash->holdTimer().interval(), 2000);
        QCOMPARE(splash->fadeTimer().interval(), 50);
        QVERIFY(splash->holdTimer().isActive());
        QVERIFY(splash->fadeTimer().isActive());
        // Without an owner: the middle of the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash->geometry().center() - screen.center()).manhattanLength() <= 2);
        // The credit line lies inside the card, in its lower right part.
        const auto labels = splash->findChildren<QLabel*>();
        int credits = 0;
        for (const QLabel* label : labels) {
            if (label == splash->versionLabel() || label == splash->buildLabel())
                continue;
            ++credits;
            QVERIFY(!label->text().isEmpty());
            QVERIFY(QRect(0, 0, 305, 81).contains(label->geometry()));
            QVERIFY(label->geometry().center().x() > 305 / 3);
            QVERIFY(label->geometry().top() > 81 / 2);
        }
        QCOMPARE(credits, 3);
        delete splash;
    }
    void centredOnOwner() {
        QWidget owner;
        owner.setGeometry(150, 110, 640, 480);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QPointer<SplashCard> splash = new SplashCard(&owner);
        QVERIFY(splash->isWindow());
        QVERIFY((splash->geometry().center() - owner.frameGeometry().center()).manhattanLength() <=
                2);
        splash->close();
        QTRY_VERIFY(splash.isNull()); // deleted when closed
    }
    void timelineTickByTick_data() {
        QTest::addColumn<int>("ticksBeforeHoldEnds");
        QTest::addColumn<QList<int>>("expected");
        dataRow("hold ends after six ticks", 6,
                QList<int>{63, 111, 159, 207, 250, 250, 250, 218, 186, 154, 122, 90, 58, 26, -6});
        dataRow("hold ends after four ticks", 4,
                QList<int>{63, 111, 159, 207, 250, 218, 186, 154, 122, 90, 58, 26, -6});
    }
    void timelineTickByTick() {
        QFETCH(int, ticksBeforeHoldEnds);
        QFETCH(QList<int>, expected);
        auto* splash = new SplashCard;
        splash->show();
        QList<int> seen;
        cardtest::driveTimeline(splash, ticksBeforeHoldEnds, seen);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(seen, expected);
    }
    void timelineWithRealTimers() {
        auto* splash = new SplashCard;
        splash->show();
        QList<int> seen;
        cardtest::runTimeline(splash, 600, seen);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(seen.count(250) >= 2, "the card holds at 250");
        QCOMPARE(cardtest::foldCeiling(seen, 250),
                 (QList<int>{63, 111, 159, 207, 250, 218, 186, 154, 122, 90, 58, 26, -6}));
    }
    void clickDoesNotClose() {
        QPointer<SplashCard> splash = new SplashCard;
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QSignalSpy closed(splash.data(), &SplashCard::closed);
        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(150, 40));
        QTest::mouseClick(splash->versionLabel(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(deliverQueuedCalls()); // a close the clicks planned would have run
        QVERIFY(!splash.isNull());
        QVERIFY(splash->isVisible());
        QCOMPARE(closed.size(), 0);
        delete splash;
    }
    void losingFocusCloses() {
        QWidget other;
        other.setGeometry(10, 10, 200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QPointer<SplashCard> splash = new SplashCard;
        splash->holdTimer().stop();
        splash->fadeTimer().stop();
        splash->show();
        splash->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(splash));
        QSignalSpy closed(splash.data(), &SplashCard::closed);
        other.activateWindow();
        QTRY_COMPARE(closed.size(), 1);
        QTRY_VERIFY(splash.isNull());
    }
    // The window is cut to the card's rounded body: where the designed colour key leaves
    // nothing (the rounded corners, the strip beyond the body), a plain X server shows what
    // lies under the card, not black.
    void onlyTheRoundedBodyShows_data() {
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QRect>("body"); // the designed rounded body
        dataRow("splash", true, QRect(0, 0, 305, 81));
        dataRow("tag card", false, QRect(0, 0, 313, 105));
    }
    void onlyTheRoundedBodyShows() {
        QFETCH(bool, splash);
        QFETCH(QRect, body);
        QWidget desktop; // what lies under the card, in a colour of its own
        QPointer<FadingCard> card;
        if (splash)
            card = new SplashCard;
        else
            card = new TagCard(&desktop);
        card->holdTimer().stop();
        card->fadeTimer().stop();
        card->setWindowOpacity(1.0);
        desktop.setWindowFlags(Qt::FramelessWindowHint);
        QPalette green = desktop.palette();
        green.setColor(QPalette::Window, QColor(0, 160, 0));
        desktop.setPalette(green);
        desktop.setAutoFillBackground(true);
        // Around the card, not the whole screen, which a window manager would take for a
        // full-screen window and keep above the card.
        desktop.setGeometry(card->geometry().adjusted(-40, -40, 40, 40));
        desktop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&desktop));
        card->show();
        QVERIFY(QTest::qWaitForWindowExposed(card));

        const QPoint inside(body.left() + 15, body.bottom() - 3);
        const QPoint beyond(card->width() - 1, card->height() - 1); // right of and below it
        const QList<QPoint> outside{body.topLeft(), body.bottomLeft(), beyond};
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            QScreen* screen = card->screen();
            const QColor fill = splash ? QColor(255, 255, 128) : QColor(255, 224, 192);
            QTRY_COMPARE(onScreen(screen, card->mapToGlobal(inside)), fill);
            const QPixmap shown = screen->grabWindow(0, card->x() - 10, card->y() - 10,
                                                     card->width() + 20, card->height() + 20);
            QVERIFY(shown.save(cardtest::artifactPath(
                QStringLiteral("card-on-screen-%1.png").arg(QTest::currentDataTag()))));
            for (const QPoint point : outside)
                QCOMPARE(onScreen(screen, card->mapToGlobal(point)), QColor(0, 160, 0));
        }
        // The window's mask is the body, whatever the platform.
        const QRegion mask = card->mask();
        QCOMPARE(mask.boundingRect(), body);
        QVERIFY(mask.contains(inside) && mask.contains(body.center()));
        for (const QPoint point : outside)
            QVERIFY(!mask.contains(point));
        delete card;
    }
    void savePicture() {
        auto* splash = new SplashCard;
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        const QImage picture = splash->grab().toImage();
        QVERIFY(picture.save(cardtest::artifactPath(QStringLiteral("splash.png"))));
        // The card is painted in its colour, and nothing outside it.
        QCOMPARE(picture.pixelColor(150, 8), QColor(255, 255, 128));
        QCOMPARE(picture.pixelColor(310, 90).alpha(), 0);
        delete splash;
    }
};

QTEST_MAIN(SplashTest)
#include "test_ui_parts_splash.moc"
