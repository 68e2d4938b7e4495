// The fade of the splash and tag cards, tick by tick.
#include "ui/fadesequence.h"

#include <QList>
#include <QTest>

using namespace sonavue;

Q_DECLARE_METATYPE(sonavue::FadeCard)

class FadeTest : public QObject {
    Q_OBJECT
private slots:
    void sequence_data();
    void sequence();
};

void FadeTest::sequence_data() {
    QTest::addColumn<FadeCard>("start");
    QTest::addColumn<int>("ticksBeforeHoldEnds");
    QTest::addColumn<QList<int>>("expected"); // opacity after each tick, the last one closes

    QTest::newRow("splash") << splashFadeStart() << 6
                            << QList<int>{111, 159, 207, 250, 250, 250, 218,
                                          186, 154, 122, 90,  58,  26,  -6};
    QTest::newRow("tag") << tagFadeStart() << 6 << QList<int>{111, 159, 207, 240, 240, 240, 208,
                                                              176, 144, 112, 80,  48,  16,  -16};
    QTest::newRow("splash, long hold")
        << splashFadeStart() << 9 << QList<int>{111, 159, 207, 250, 250, 250, 250, 250, 250,
                                                218, 186, 154, 122, 90,  58,  26,  -6};
    QTest::newRow("tag, hold ends while fading in")
        << tagFadeStart() << 2 << QList<int>{111, 159, 127, 95, 63, 31, -1};
    QTest::newRow("splash, hold ends before any tick")
        << splashFadeStart() << 0 << QList<int>{31, -1};
}

void FadeTest::sequence() {
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

QTEST_APPLESS_MAIN(FadeTest)
#include "test_parts_fade.moc"
