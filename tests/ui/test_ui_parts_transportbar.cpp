// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The transport bar following the transport over a media element double: what it shows for
// each state and what its buttons and slider ask of the element.
#include "ui/transport/transportbar.h"

#include "catalogue/browsingmodel.h"
#include "playback/transport.h"
#include "support/datarow.h"
#include "support/modeltesters.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QSlider>
#include <QTest>
#include <QToolButton>

using namespace sonavue;
using namespace sonavue::testing;
using State = MediaControl::State;

namespace {

class RecordingMedia : public MediaControl {
public:
    void open(const QString& path) override {
        m_fileName = path;
        calls << QStringLiteral("open");
    }
    void play() override { calls << QStringLiteral("play"); }
    void close() override { calls << QStringLiteral("close"); }
    void setOutputGain(double) override {}
    State state() const override { return current; }
    qint64 positionMs() const override { return clockRuns ? clock.elapsed() : position; }
    qint64 durationMs() const override { return duration; }
    void pause() override { calls << QStringLiteral("pause"); }
    void resume() override { calls << QStringLiteral("resume"); }
    void seekMs(qint64 to) override { calls << QStringLiteral("seek %1").arg(to); }
    void stop() override { calls << QStringLiteral("stop"); }

    void become(State next) {
        current = next;
        emit stateChanged(next);
    }

    State current = State::Closed;
    qint64 position = 0;
    QElapsedTimer clock; // the position while clockRuns, as a playing file's
    bool clockRuns = false;
    qint64 duration = -1;
    QStringList calls;
};

// The bar as the window has it: following a transport over the element.
struct BarRig {
    RecordingMedia media;
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel browsing{catalogue, groups};
    ModelTesters testers{browsing};
    VolumeLevel volume{media};
    PlayerControl player{browsing, media, volume};
    Transport transport{browsing, player, media, volume};
    TransportBar bar;
    explicit BarRig(qint64 duration = -1) {
        media.duration = duration;
        bar.follow(transport);
    }
};

} // namespace

class TestTransportBar : public QObject {
    Q_OBJECT
private slots:
    void clockText_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        dataRow("zero", qint64(0), "00:00");
        dataRow("just under a minute", qint64(59999), "00:59");
        dataRow("a minute", qint64(60000), "01:00");
        dataRow("an hour", qint64(3600000), "60:00");
        dataRow("past 99 minutes", qint64(6000000 + 7000), "100:07");
        dataRow("unknown", qint64(-1), "--:--");
    }
    void clockText() {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(TransportBar::clockText(ms), text);
    }
    // While a file plays, the clock is read again just past the next change a person would see.
    void nextRead_data() {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<int>("readInMs");
        dataRow("at a second's start", qint64(0), qint64(1000), 1005);
        dataRow("mid-second", qint64(1500), qint64(1000), 505);
        dataRow("near the next second: not sooner than the poll", qint64(1900), qint64(1000), 250);
        dataRow("the handle moves before the next second", qint64(1000), qint64(700), 405);
        dataRow("a position not known yet reads as the start", qint64(-1), qint64(1000), 1005);
    }
    void nextRead() {
        QFETCH(qint64, position);
        QFETCH(qint64, step);
        QFETCH(int, readInMs);
        QCOMPARE(Transport::nextReadInMs(position, step), readInMs);
    }
    void clockTicksWhilePlaying() {
        BarRig rig(60000);
        rig.media.clock.start();
        rig.media.clockRuns = true;
        rig.media.become(State::Playing);
        auto* time = rig.bar.findChild<QLabel*>();
        QCOMPARE(time->text(), QStringLiteral("00:00 / 01:00"));
        QTRY_COMPARE(time->text(), QStringLiteral("00:01 / 01:00"));
        QTRY_COMPARE(time->text(), QStringLiteral("00:02 / 01:00"));
        rig.media.become(State::Paused);
        const QString paused = time->text();
        // Paused, nothing happens: no read comes, and only time shows that. While playing,
        // reads come at most 1005 ms apart, so a read still planned would have run by now.
        QTest::qWait(1200);
        QCOMPARE(time->text(), paused);
    }
    void showsTheElementsState_data() {
        QTest::addColumn<State>("state");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("clock");
        QTest::addColumn<int>("sliderMaximum");
        QTest::addColumn<int>("sliderValue");
        dataRow("closed", State::Closed, qint64(5000), qint64(70000), false, "", 0, 0);
        dataRow("stopped", State::Stopped, qint64(5000), qint64(70000), true, "00:05 / 01:10",
                70000, 5000);
        dataRow("playing", State::Playing, qint64(61500), qint64(185000), true, "01:01 / 03:05",
                185000, 61500);
        dataRow("length unknown", State::Playing, qint64(1200), qint64(-1), true, "00:01 / --:--",
                0, 0);
    }
    void showsTheElementsState() {
        QFETCH(State, state);
        QFETCH(qint64, position);
        QFETCH(qint64, duration);
        QFETCH(bool, enabled);
        QFETCH(QString, clock);
        QFETCH(int, sliderMaximum);
        QFETCH(int, sliderValue);
        BarRig rig;
        RecordingMedia& media = rig.media;
        TransportBar& bar = rig.bar;
        QVERIFY(!bar.isEnabled()); // nothing open at first
        media.position = position;
        media.duration = duration;
        media.become(state);
        QCOMPARE(bar.isEnabled(), enabled);
        QCOMPARE(bar.findChild<QLabel*>()->text(), clock);
        auto* slider = bar.findChild<QSlider*>();
        QCOMPARE(slider->maximum(), sliderMaximum);
        QCOMPARE(slider->value(), sliderValue);
        QVERIFY(media.calls.isEmpty()); // showing asks nothing of the element
    }
    void buttonsActOnTheElement_data() {
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("button"); // 0 play/pause, 1 stop
        QTest::addColumn<QString>("call");
        dataRow("play while stopped", State::Stopped, 0, "resume");
        dataRow("play while paused", State::Paused, 0, "resume");
        dataRow("pause while playing", State::Playing, 0, "pause");
        dataRow("stop while playing", State::Playing, 1, "stop");
    }
    void buttonsActOnTheElement() {
        QFETCH(State, state);
        QFETCH(int, button);
        QFETCH(QString, call);
        BarRig rig(10000);
        RecordingMedia& media = rig.media;
        media.become(state);
        const QList<QToolButton*> buttons = rig.bar.findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 2);
        QTest::mouseClick(buttons.at(button), Qt::LeftButton);
        QCOMPARE(media.calls, QStringList{call});
    }
    void sliderSeeks() {
        BarRig rig(60000);
        RecordingMedia& media = rig.media;
        media.become(State::Paused);
        auto* slider = rig.bar.findChild<QSlider*>();
        slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(media.calls, QStringList{QStringLiteral("seek 10000")});
        media.calls.clear();
        // A drag seeks once, when the thumb is let go.
        slider->setSliderDown(true);
        slider->setSliderPosition(42000);
        QVERIFY(media.calls.isEmpty());
        slider->setSliderDown(false);
        QCOMPARE(media.calls, QStringList{QStringLiteral("seek 42000")});
    }
    void fitsTheDesignedSize() {
        TransportBar bar;
        QCOMPARE(bar.sizeHint(), QSize(161, 65));
        const QSize needed = bar.layout()->minimumSize();
        QVERIFY2(needed.width() <= 161 && needed.height() <= 65,
                 qPrintable(QStringLiteral("%1 x %2").arg(needed.width()).arg(needed.height())));
        bar.setVisible(true);
        QVERIFY(bar.isVisible());
        bar.setVisible(false);
        QVERIFY(!bar.isVisible());
    }
};

QTEST_MAIN(TestTransportBar)
#include "test_ui_parts_transportbar.moc"
