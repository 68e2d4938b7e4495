// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Helpers shared by the tests of the two fading cards (splash and tag window). They check
// with QVERIFY/QCOMPARE; callers stop when QTest::currentTestFailed().
#include "support/artifacts.h"

#include <QDir>
#include <QList>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace cardtest {

// Drives a card's timeline through its timer handlers: the fade tick ticksBeforeHoldEnds
// times, then the end of the hold, then fade ticks until the card closes. seen gets every
// opacity, the creation value first. Checks that the window's opacity follows each tick,
// that the card closes with one closed() and that it is deleted afterwards.
template <typename Card> void driveTimeline(Card* card, int ticksBeforeHoldEnds, QList<int>& seen) {
    QPointer<Card> guard(card);
    card->holdTimer().stop();
    card->fadeTimer().stop();
    QSignalSpy closed(card, &Card::closed);
    seen = {card->opacityLevel()};
    const auto tick = [&] {
        card->fadeStep();
        seen << card->opacityLevel();
        if (closed.isEmpty())
            QCOMPARE(qRound(card->windowOpacity() * 255), card->opacityLevel());
    };
    for (int i = 0; i < ticksBeforeHoldEnds && !QTest::currentTestFailed(); ++i)
        tick();
    card->endHold();
    while (closed.isEmpty() && seen.size() < 100 && !QTest::currentTestFailed())
        tick();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!card->isVisible());
    card->fadeStep(); // a tick arriving after the close does nothing
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(guard.isNull());
}

// The sequence with repeated ceiling values folded into one.
inline QList<int> foldCeiling(const QList<int>& seen, int ceiling) {
    QList<int> folded;
    for (int value : seen) {
        if (value == ceiling && !folded.isEmpty() && folded.last() == ceiling)
            continue;
        folded << value;
    }
    return folded;
}

// Runs the card's own timers with a shortened hold, recording each tick's opacity, until
// the card has closed and been deleted.
template <typename Card> void runTimeline(Card* card, int holdMs, QList<int>& seen) {
    QPointer<Card> guard(card);
    seen = {card->opacityLevel()};
    QObject::connect(&card->fadeTimer(), &QTimer::timeout, card,
                     [&seen, card] { seen << card->opacityLevel(); });
    QSignalSpy closed(card, &Card::closed);
    card->holdTimer().start(holdMs);
    QVERIFY(closed.wait(10000));
    QTRY_VERIFY(guard.isNull());
}

using sonavue::testing::artifactPath;

} // namespace cardtest
