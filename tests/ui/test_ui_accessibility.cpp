// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window without a mouse: Tab walks the controls in reading order, Space, Enter
// and Return do what a click does, and a screen reader finds every control by name and role
// with the press action a click has, and reads what the controls show.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "support/datarow.h"
#include "ui/controls/clickablelabel.h"
#include "ui/controls/imagebutton.h"
#include "ui/settings/palettepicture.h"
#include "ui/style/colours.h"
#include "ui/style/twips.h"
#include "ui/transport/transportbar.h"
#include "ui/transport/volumebar.h"

#include <QAccessible>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QWebEngineView>
#include <QWindow>

#include <algorithm>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueAccessibilityTest");

// A media element with a file open, so that the transport buttons are enabled.
class OpenFileMedia : public MediaControl {
public:
    QStringList calls;
    State current = State::Paused;
    void open(const QString& path) override { m_fileName = path; }
    void play() override {}
    void close() override {}
    void setOutputGain(double) override {}
    State state() const override { return current; }
    qint64 positionMs() const override { return 5000; }
    qint64 durationMs() const override { return 60000; }
    void pause() override { calls << QStringLiteral("pause"); }
    void resume() override { calls << QStringLiteral("resume"); }
    void seekMs(qint64 ms) override { calls << QStringLiteral("seek %1").arg(ms); }
};

QWidget* focused() {
    return QApplication::focusWidget();
}

// The control that holds the focus, by its name: the web panel while its page has it.
QString focusedControl() {
    for (QWidget* widget = focused(); widget; widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty())
            return widget->objectName();
    }
    return {};
}

// The controls Tab (or Shift+Tab) takes the focus to, pressed until `count` controls have had
// it. The page in the web panel takes a key a little later, and may keep the focus for a few
// presses while Tab walks its links: the panel counts once.
QStringList tabRound(QWindow* window, bool forward, qsizetype count) {
    QStringList seen;
    QString last = focusedControl();
    for (qsizetype press = 0; press < count + 5 && seen.size() < count; ++press) {
        QTest::keyClick(window, Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        if (QTest::qWaitFor([&] { return focusedControl() != last; }, 1000)) {
            last = focusedControl();
            seen << last;
        }
    }
    return seen;
}

// Presses Tab on the window, as the display server sends it, until `target` has the focus.
bool tabTo(QWindow* window, const QWidget* target) {
    for (int i = 0; i < 80; ++i) {
        if (focused() == target)
            return true;
        QTest::keyClick(window, Qt::Key_Tab);
    }
    return focused() == target;
}

QAccessibleInterface* accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
    std::unique_ptr<StartedWindow> m_window;
    std::unique_ptr<SettingsFile> m_settings;
    QTemporaryDir m_music;

    MainWindow& form() { return *m_window->form; }

    // The window anew over a music folder of one track, with a file open in the media element
    // (so that the transport bar is enabled), and with its web panel when asked.
    void startWithAFileOpen(bool withWeb) {
        m_window.reset();
        m_settings->set(QStringLiteral("Folder"), m_music.path());
        m_window = std::make_unique<StartedWindow>();
        m_window->form = startProgram(testOptions(App, std::make_unique<OpenFileMedia>(), withWeb));
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }

private slots:
    void initTestCase() {
        writeTrack(m_music.path(),
                   {QStringLiteral("song.mp3"), QStringLiteral("Morning Song"),
                    QStringLiteral("Ann"), QStringLiteral("Alb"), QStringLiteral("2001")});
    }
    void init() {
        m_settings = std::make_unique<SettingsFile>(App);
        m_window = startWindow(App);
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }
    void cleanup() {
        m_window.reset();
        m_settings.reset();
    }

    // Every control a screen reader can reach has a name; the window's own controls show in
    // the roles their looks stand for and answer the press action as a click.
    void namesAndRoles() {
        MainWindow& f = form();
        const WindowControls ui(f);
        for (QWidget* control : f.findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisibleTo(&f))
                continue;
            QAccessibleInterface* face = accessible(control);
            QVERIFY(face);
            QVERIFY2(!face->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(control->metaObject()->className()));
        }
        for (int i = 0; i < GroupCount; ++i) {
            QCOMPARE(accessible(ui.tabs[i])->role(), QAccessible::PageTab);
            QCOMPARE(accessible(ui.tabs[i])->text(QAccessible::Name), ui.tabs[i]->text());
        }
        for (QWidget* button : std::initializer_list<QWidget*>{ui.homeButton, ui.closeButton,
                                                               ui.backButton, ui.sizeLabel})
            QCOMPARE(accessible(button)->role(), QAccessible::Button);
        QCOMPARE(accessible(ui.closeButton)->text(QAccessible::Name),
                 QStringLiteral("閉じる (Close)"));
        QCOMPARE(accessible(ui.palette)->role(), QAccessible::ColorChooser);
        QVERIFY(!accessible(ui.palette)->text(QAccessible::Description).isEmpty());

        QAccessibleActionInterface* press = accessible(ui.tabs[GroupYear])->actionInterface();
        QVERIFY(press);
        QVERIFY(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
        press->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(f.library().currentTab(), int(GroupYear));
        QVERIFY(ui.tabs[GroupYear]->isBordered());
    }

    // Tab goes round every control once, top to bottom and left to right by their places, into
    // the web panel's page and out of it after its links, and from the last control on to the
    // first; Shift+Tab the other way round. Of the stacked group lists only the one shown is on
    // the way, and of each group of options the checked one.
    void tabGoesRoundInReadingOrder_data() {
        QTest::addColumn<bool>("forward");
        dataRow("Tab", true);
        dataRow("Shift+Tab", false);
    }
    void tabGoesRoundInReadingOrder() {
        QFETCH(bool, forward);
        startWithAFileOpen(true);
        MainWindow& f = form();
        QVERIFY(webPanelAdded(f));
        const WindowControls ui(f);
        auto* const web = qobject_cast<QWebEngineView*>(ui.webPanel);
        QVERIFY(web);
        QTRY_VERIFY_WITH_TIMEOUT(web->page()->contentsSize().height() > 0, 15000);
        const QStringList reading{
            "Label9",      "Image2",     "Image1",      "Image3",   "ListNo",   "ListName",
            "Web1",        "TabSel0",    "TabSel1",     "TabSel2",  "TabSel3",  "TabSel4",
            "TabSel5",     "TagGroupe0", "OptionList",  "Text1",    "Command2", "Option1_0",
            "OptionBack1", "Picture2",   "Optionfont0", "Check1_1", "Check1_2", "HScroll1",
            "playPause",   "stop",       "position",    "Command1", "Command3", "VScroll1",
            "Command4"};
        // From the first control round to it again.
        QStringList expected = reading.mid(1) << reading.first();
        if (!forward)
            std::reverse(expected.begin(), expected.end() - 1);
        ui.sizeLabel->setFocus();
        const QStringList round = tabRound(f.windowHandle(), forward, reading.size());
        QVERIFY2(round == expected, qPrintable(round.join(QLatin1Char(' '))));
    }

    // Choosing the Artist tab from the keyboard puts its list on Tab's way instead of the
    // folder list.
    void tabFollowsTheShownGroupList() {
        MainWindow& f = form();
        const WindowControls ui(f);
        QWindow* window = f.windowHandle();
        QVERIFY(tabTo(window, ui.tabs[GroupArtist]));
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(f.library().currentTab(), int(GroupArtist));
        for (int i = GroupArtist; i < GroupCount; ++i) // past the tabs to its right
            QTest::keyClick(window, Qt::Key_Tab);
        QCOMPARE(focused(), ui.groupLists[GroupArtist]);
    }

    // A screen reader reads each control as what it is, and one that shows a value with the
    // value it shows: here with a track playing and the volume raised by three from the keys.
    void readingsFollowWhatIsShown_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("text");
        QTest::addColumn<QString>("expected");
        const int name = QAccessible::Name;
        const int value = QAccessible::Value;
        const int description = QAccessible::Description;
        dataRow("now playing", "title", name, "Now playing");
        dataRow("now playing: the title", "title", description, "Morning Song");
        dataRow("clock", "time", name, "Time (elapsed / total)");
        dataRow("clock: the times", "time", description, "00:05 / 01:00");
        dataRow("position: the times", "position", description, "00:05 of 01:00");
        dataRow("volume: the level", "VScroll1", value, "131");
        dataRow("volume label: the level", "Vol", description, "131");
        dataRow("track change option", "Option1_1", name, "即時 (At once)");
        dataRow("background option", "OptionBack0", name, "表示 (Shown)");
        dataRow("text size option", "Optionfont2", name, "大 (Large)");
    }
    void readingsFollowWhatIsShown() {
        QFETCH(QString, control);
        QFETCH(int, text);
        QFETCH(QString, expected);
        startWithAFileOpen(false);
        MainWindow& f = form();
        QWindow* window = f.windowHandle();
        QTest::keyClick(window, Qt::Key_S); // continuous play
        QVERIFY(tabTo(window, WindowControls(f).volumeBar));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(window, Qt::Key_Up);

        auto* widget = optionalControl<QWidget>(f, control);
        QVERIFY2(widget, qPrintable(control));
        QAccessibleInterface* face = accessible(widget);
        QCOMPARE(face->text(QAccessible::Text(text)), expected);
        if (text == QAccessible::Value) {
            QVERIFY(face->valueInterface());
            QCOMPARE(face->valueInterface()->currentValue().toString(), expected);
        }
    }

    // Space, Enter and Return on a focused control do what its click does; the window's own
    // keys still act wherever the focus is.
    void keysActLikeClicks() {
        MainWindow& f = form();
        const WindowControls ui(f);
        QWindow* window = f.windowHandle();

        QVERIFY(tabTo(window, ui.tabs[GroupAlbum]));
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(f.library().currentTab(), int(GroupAlbum));
        QVERIFY(tabTo(window, ui.tabs[GroupAll]));
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.library().currentTab(), int(GroupAll));

        QSignalSpy home(ui.homeButton, &ImageButton::clicked);
        QSignalSpy back(ui.backButton, &ImageButton::clicked);
        QVERIFY(tabTo(window, ui.homeButton));
        QTest::keyClick(window, Qt::Key_Space);
        QVERIFY(tabTo(window, ui.backButton));
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(home.size(), 1);
        QCOMPARE(back.size(), 1);

        // The size label: compact, then full again.
        QVERIFY(tabTo(window, ui.sizeLabel));
        QTest::keyClick(window, Qt::Key_Space);
        QTRY_COMPARE(f.width(), px(1500));
        QTest::keyClick(window, Qt::Key_Return);
        QTRY_COMPARE(f.width(), px(13425));

        // Enter on a push button presses it: STOP closes the media element.
        m_window->mediaLog.clear();
        QVERIFY(tabTo(window, ui.stopButton));
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(m_window->mediaLog.contains(QStringLiteral("Close")));

        // The key preview goes on working with the focus on one of these controls.
        QVERIFY(tabTo(window, ui.tabs[GroupYear]));
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(ui.reservedList->model()->rowCount(), 0);
        QCOMPARE(f.library().currentTab(), int(GroupAll));

        // The close button closes the window as its click does.
        QSignalSpy unloaded(&f, &MainWindow::unloaded);
        QVERIFY(tabTo(window, ui.closeButton));
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(unloaded.size(), 1);
    }

    // The palette: arrow keys move its marker, Space or Enter applies the colour under it and
    // stores it, as a left-button release at that place does.
    void paletteFromKeyboard() {
        MainWindow& f = form();
        const WindowControls ui(f);
        QWindow* window = f.windowHandle();
        auto* palette = qobject_cast<PalettePicture*>(ui.palette);
        QVERIFY(palette);
        QVERIFY(tabTo(window, ui.palette));
        QCOMPARE(palette->marker(), QPoint(0, 0));
        QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier); // 10
        QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier); // 20
        QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier); // 30
        QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier); // 40
        QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier); // 50: the next block
        QTest::keyClick(window, Qt::Key_Right);
        QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(palette->marker(), QPoint(51, 20));
        QTest::keyClick(window, Qt::Key_Space);
        const std::int32_t expected = fromQColor(paletteImage().pixelColor(51, 20));
        QCOMPARE(f.currentColour(), expected);
        QCOMPARE(m_settings->get(QStringLiteral("color")), QString::number(expected));

        // The marker stays on the palette: the corner picks pure white.
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(window, Qt::Key_Right, Qt::ShiftModifier);
            QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
        }
        QCOMPARE(palette->marker(), QPoint(99, 31));
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.currentColour(), 0xFFFFFF);
    }

    // The transport buttons and the position slider are reached with Tab; Enter and Space
    // press the buttons.
    void transportButtons() {
        QWidget host;
        auto* bar = new TransportBar(&host);
        bar->setState(MediaControl::State::Paused, 5000, 60000);
        QSignalSpy playPause(bar, &TransportBar::playPauseRequested);
        QSignalSpy stop(bar, &TransportBar::stopRequested);
        host.show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        const QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 2);
        QWindow* window = host.windowHandle();
        QVERIFY(tabTo(window, buttons[0]));
        QCOMPARE(accessible(buttons[0])->text(QAccessible::Name), QStringLiteral("Play"));
        QCOMPARE(accessible(buttons[0])->role(), QAccessible::Button);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(playPause.size(), 1);
        QVERIFY(tabTo(window, buttons[1]));
        QCOMPARE(accessible(buttons[1])->text(QAccessible::Name), QStringLiteral("Stop"));
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(stop.size(), 1);
        QCOMPARE(playPause.size(), 1);
        auto* slider = bar->findChild<QSlider*>();
        QVERIFY(tabTo(window, slider));
        QVERIFY(!accessible(slider)->text(QAccessible::Name).isEmpty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_ui_accessibility.moc"
