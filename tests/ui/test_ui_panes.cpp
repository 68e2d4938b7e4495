// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The settings frame and the title strip on their own: the user's actions become one request
// each, the setters act as the actions do, and the main window runs the same handling for
// both.
#include "mainwindowfixture.h"
#include "ui/style/twips.h"
#include "ui/window/layoutrules.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavuePanesTest");

// A mouse event as the platform delivers it, buttons held included.
void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A double-click as the platform delivers it: press, release, press, double-click, release.
void doubleClick(QWidget* target, QPoint at) {
    for (int i = 0; i < 2; ++i) {
        sendMouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        if (i == 1)
            sendMouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
}

// On the option circle or box, where a click always lands on the button.
QPoint onIndicator(const QWidget* button) {
    return QPoint(4, button->height() / 2);
}
} // namespace

class PanesTest : public QObject {
    Q_OBJECT
    SettingsFile m_settings{App};

private slots:
    void init() { m_settings.remove(); }

    void settingsFrameClicksAskOnceEach() {
        QWidget window;
        auto* frame = new SettingsFrame(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy track(frame, &SettingsFrame::trackChangeChosen);
        QSignalSpy back(frame, &SettingsFrame::backgroundChosen);
        QSignalSpy font(frame, &SettingsFrame::fontSizeChosen);
        QSignalSpy types(frame, &SettingsFrame::fileTypesChanged);
        QSignalSpy folder(frame, &SettingsFrame::folderChangeRequested);
        QSignalSpy colour(frame, &SettingsFrame::colourPicked);

        QRadioButton* immediate = control<QRadioButton>(window, QStringLiteral("Option1_1"));
        QTest::mouseClick(immediate, Qt::LeftButton, {}, onIndicator(immediate));
        QCOMPARE(track.count(), 1);
        QCOMPARE(track.at(0).at(0).toBool(), true);
        QVERIFY(frame->immediateChange());
        // A click on the option already chosen asks nothing.
        QTest::mouseClick(immediate, Qt::LeftButton, {}, onIndicator(immediate));
        QCOMPARE(track.count(), 1);

        QRadioButton* shown = control<QRadioButton>(window, QStringLiteral("OptionBack0"));
        QTest::mouseClick(shown, Qt::LeftButton, {}, onIndicator(shown));
        QCOMPARE(back.count(), 1);
        QCOMPARE(back.at(0).at(0).toInt(), 0);

        QRadioButton* large = control<QRadioButton>(window, QStringLiteral("Optionfont2"));
        QTest::mouseClick(large, Qt::LeftButton, {}, onIndicator(large));
        QCOMPARE(font.count(), 1);
        QCOMPARE(font.at(0).at(0).toInt(), 2);
        QCOMPARE(frame->fontSizeIndex(), 2);

        // MP3 cannot be cleared; MID can.
        QCheckBox* mp3 = control<QCheckBox>(window, QStringLiteral("Check1_0"));
        QCheckBox* mid = control<QCheckBox>(window, QStringLiteral("Check1_1"));
        QTest::mouseClick(mp3, Qt::LeftButton, {}, onIndicator(mp3));
        QTest::mouseClick(mid, Qt::LeftButton, {}, onIndicator(mid));
        QCOMPARE(types.count(), 1);
        QCOMPARE(types.at(0).at(0).toInt(), 1);
        QCOMPARE(frame->fileTypes(), (std::array<bool, 3>{true, false, true}));

        QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command2")), Qt::LeftButton);
        QCOMPARE(folder.count(), 1);

        // A release of any button on the palette is passed on with its place; a press is not.
        QWidget* palette = control<QWidget>(window, QStringLiteral("Picture2"));
        QTest::mousePress(palette, Qt::RightButton, {}, QPoint(10, 5));
        QCOMPARE(colour.count(), 0);
        QTest::mouseRelease(palette, Qt::RightButton, {}, QPoint(10, 5));
        QCOMPARE(colour.count(), 1);
        QCOMPARE(colour.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(colour.at(0).at(1).toPoint(), QPoint(10, 5));
    }

    void settingsFrameSettersActAsClicks() {
        SettingsFrame frame(nullptr);
        QSignalSpy track(&frame, &SettingsFrame::trackChangeChosen);
        QSignalSpy back(&frame, &SettingsFrame::backgroundChosen);
        QSignalSpy types(&frame, &SettingsFrame::fileTypesChanged);
        QSignalSpy opacity(&frame, &SettingsFrame::opacityChanged);
        frame.setImmediateChange(true);
        frame.setBackgroundShown(true);
        frame.setFileType(2, false);
        frame.setOpacity(100);
        QCOMPARE(track.count(), 1);
        QCOMPARE(back.count(), 1);
        QCOMPARE(back.at(0).at(0).toInt(), 0);
        QCOMPARE(types.count(), 1);
        QCOMPARE(opacity.count(), 1);
        QVERIFY(frame.immediateChange());
        QVERIFY(frame.backgroundShown());
        QCOMPARE(frame.fileTypes(), (std::array<bool, 3>{true, true, false}));
        QCOMPARE(frame.opacity(), 100);
        QVERIFY(control<QRadioButton>(frame, QStringLiteral("Option1_1"))->isChecked());
    }

    // The window stores a setter's choice just as it stores the click's.
    void windowHandlesSetterAndClickAlike() {
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        ui.settingsFrame->setImmediateChange(true);
        QCOMPARE(m_settings.get(QStringLiteral("option1")), QStringLiteral("False"));
        QVERIFY(f.core().player().immediateChange());
        QTest::mouseClick(ui.trackChangeOptions[0], Qt::LeftButton, {},
                          onIndicator(ui.trackChangeOptions[0]));
        QCOMPARE(m_settings.get(QStringLiteral("option1")), QStringLiteral("True"));
        QVERIFY(!f.core().player().immediateChange());

        ui.settingsFrame->setOpacity(100);
        QCOMPARE(m_settings.get(QStringLiteral("alph")), QStringLiteral("100"));
        QCOMPARE(f.windowOpacity(), 100 / 255.0);

        QTest::mouseClick(ui.fontSizeOptions[2], Qt::LeftButton, {},
                          onIndicator(ui.fontSizeOptions[2]));
        QCOMPARE(m_settings.get(QStringLiteral("Fontsize")), QStringLiteral("2"));
        QCOMPARE(ui.titlesList->font().pointSizeF(), 14.0);
    }

    void sizeLabelDoubleClickActsOnce() {
        TitleStrip strip(nullptr);
        QSignalSpy size(&strip, &TitleStrip::sizeSwitchRequested);
        QSignalSpy armed(&strip, &TitleStrip::dragArmed);
        QSignalSpy layout(&strip, &TitleStrip::layoutSwitchRequested);
        doubleClick(control<QLabel>(strip, QStringLiteral("Label9")), QPoint(5, 5));
        QCOMPARE(size.count(), 1);
        // The label's presses are no drag of the strip, nor its double-click.
        QCOMPARE(armed.count(), 0);
        QCOMPARE(layout.count(), 0);
        // The next click acts again.
        QTest::mouseClick(control<QLabel>(strip, QStringLiteral("Label9")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(size.count(), 2);
    }

    void stripPressAloneIsNoDrag() {
        TitleStrip strip(nullptr);
        QSignalSpy armed(&strip, &TitleStrip::dragArmed);
        QSignalSpy started(&strip, &TitleStrip::dragStarted);
        QSignalSpy moved(&strip, &TitleStrip::dragMoved);
        QSignalSpy released(&strip, &TitleStrip::dragReleased);
        const QPoint at(200, 10);
        sendMouse(&strip, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&strip, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(armed.count(), 1);
        QCOMPARE(released.count(), 1);
        QCOMPARE(started.count(), 0);

        // Moving less than the start distance is no drag either; moving on with the button
        // held is, once, from where the button went down.
        const int distance = QApplication::startDragDistance();
        sendMouse(&strip, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&strip, QEvent::MouseMove, at + QPoint(distance - 1, 0), Qt::NoButton,
                  Qt::LeftButton);
        QCOMPARE(started.count(), 0);
        sendMouse(&strip, QEvent::MouseMove, at + QPoint(distance, 0), Qt::NoButton,
                  Qt::LeftButton);
        sendMouse(&strip, QEvent::MouseMove, at + QPoint(distance + 5, 0), Qt::NoButton,
                  Qt::LeftButton);
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toPoint(), strip.mapToGlobal(at));
        QCOMPARE(moved.count(), 1);
    }

    // Through the window: a click on the strip leaves the window where it is, and the size
    // label's double-click switches the size once.
    void windowStripClickAndSizeLabel() {
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        const QRect before = f.geometry();
        QTest::mouseClick(ui.titleStrip, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(f.geometry(), before);
        doubleClick(ui.sizeLabel, QPoint(5, 5));
        QCOMPARE(f.size(), QSize(px(CompactWidth), px(TitleStripHeight)));
    }
};

QTEST_MAIN(PanesTest)
#include "test_ui_panes.moc"
