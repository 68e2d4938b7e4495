// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The fade of the splash and tag cards: the designed sequence tick by tick, and every step
// of it reaching the window system at its own tick (not only when something else happens
// on screen). Under X11 the value is read back from the X server by a second client, so
// only what the program has really sent counts.
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "ui/cards/fadesequence.h"
#include "ui/cards/splashcard.h"
#include "ui/cards/tagcard.h"

#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

using namespace sonavue;
using sonavue::testing::dataRow;
using sonavue::testing::deliverQueuedCalls;

Q_DECLARE_METATYPE(sonavue::FadeCard)

namespace {

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The opacity (0..255) the window system holds for the card now; -1 when it holds none.
// On X11 that is the _NET_WM_WINDOW_OPACITY property as the server has it.
int appliedOpacity(QWidget& card) {
    if (!onX11())
        return card.windowHandle() ? qRound(card.windowHandle()->opacity() * 255) : -1;
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(card.winId()), QStringLiteral("-notype"),
                 QStringLiteral("_NET_WM_WINDOW_OPACITY")});
    if (!xprop.waitForFinished(5000))
        return -1;
    // "_NET_WM_WINDOW_OPACITY = 1073741823"
    const QByteArray out = xprop.readAllStandardOutput();
    bool ok = false;
    const quint64 value = out.mid(out.indexOf('=') + 1).trimmed().toULongLong(&ok);
    return ok ? int(qRound64(double(value) / 0xFFFFFFFFu * 255)) : -1;
}

// Repeated ceiling values folded into one: how many ticks the hold lasts is the timers'
// business, not the fade's.
QList<int> foldRepeats(const QList<int>& values) {
    QList<int> folded;
    for (int value : values)
        if (folded.isEmpty() || folded.last() != value)
            folded << value;
    return folded;
}

} // namespace

class FadeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (onX11() &&
            QProcess::execute(QStringLiteral("xprop"), {QStringLiteral("-version")}) != 0)
            QSKIP("xprop (x11-utils) is needed to read the window's opacity back");
    }
    void sequence_data() {
        QTest::addColumn<FadeCard>("start");
        QTest::addColumn<int>("ticksBeforeHoldEnds");
        QTest::addColumn<QList<int>>("expected"); // opacity after each tick, the last one closes

        dataRow("splash", splashFadeStart(), 6,
                QList<int>{111, 159, 207, 250, 250, 250, 218, 186, 154, 122, 90, 58, 26, -6});
        dataRow("tag", tagFadeStart(), 6,
                QList<int>{111, 159, 207, 240, 240, 240, 208, 176, 144, 112, 80, 48, 16, -16});
        dataRow("splash, long hold", splashFadeStart(), 9,
                QList<int>{111, 159, 207, 250, 250, 250, 250, 250, 250, 218, 186, 154, 122, 90, 58,
                           26, -6});
        dataRow("tag, hold ends while fading in", tagFadeStart(), 2,
                QList<int>{111, 159, 127, 95, 63, 31, -1});
        dataRow("splash, hold ends before any tick", splashFadeStart(), 0, QList<int>{31, -1});
    }
    void sequence() {
        QFETCH(FadeCard, start);
        QFETCH(int, ticksBeforeHoldEnds);
        QFETCH(QList<int>, expected);

        FadeCard card = start;
        QCOMPARE(card.opacity, 63);
        QList<int> seen;
        bool open = true;
        for (int i = 0; i < ticksBeforeHoldEnds && open; ++i) {
            open = advanceFade(card);
            seen << card.opacity;
        }
        endFadeHold(card);
        endFadeHold(card); // a later firing of the hold timer changes nothing
        while (open && seen.size() < 100) {
            open = advanceFade(card);
            seen << card.opacity;
        }
        QVERIFY(!open);
        QCOMPARE(seen, expected);
    }
    void everyStepReachesTheWindow_data() {
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QList<int>>("expected");
        dataRow("splash", true, QList<int>{63, 111, 159, 207, 250, 218, 186, 154, 122, 90, 58, 26});
        dataRow("tag card", false,
                QList<int>{63, 111, 159, 207, 240, 208, 176, 144, 112, 80, 48, 16});
    }
    // The card runs on its own timers with nothing else on screen; right after each tick the
    // window system must hold that tick's opacity.
    void everyStepReachesTheWindow() {
        QFETCH(bool, splash);
        QFETCH(QList<int>, expected);
        QWidget owner; // the tag card's owner, never shown: nothing else happens on screen
        QPointer<FadingCard> card;
        if (splash)
            card = new SplashCard;
        else
            card = new TagCard(&owner);
        card->holdTimer().stop();
        card->fadeTimer().stop();
        card->show();
        QVERIFY(QTest::qWaitForWindowExposed(card));
        // The showing's own events are over before the fade starts: none of them sends a step
        // for the card.
        QVERIFY(deliverQueuedCalls());

        QList<int> applied{appliedOpacity(*card)};
        QList<int> designed{card->opacityLevel()};
        QSignalSpy closed(card.data(), &FadingCard::closed);
        // Connected after the card's own handler: runs right after each tick.
        connect(&card->fadeTimer(), &QTimer::timeout, card, [&] {
            if (!closed.isEmpty())
                return;
            designed << card->opacityLevel();
            applied << appliedOpacity(*card);
        });
        card->holdTimer().start(400);
        card->fadeTimer().start();
        QVERIFY(closed.wait(10000));
        QTRY_VERIFY(card.isNull());

        QCOMPARE(foldRepeats(designed), expected);
        QCOMPARE(applied.size(), designed.size());
        QCOMPARE(foldRepeats(applied), expected);
        QCOMPARE(applied, designed); // tick for tick, not only in the end
    }
};

QTEST_MAIN(FadeTest)
#include "test_ui_parts_fade.moc"
