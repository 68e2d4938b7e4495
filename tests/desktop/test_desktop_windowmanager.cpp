// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window on a real X server with a real window manager, driven only by the pointer
// and key events a person sends (xdotool), and checked as the person sees it: the rows the
// track list shows, the level label, the file the player opens, and the windows' places and
// sizes as the X server reports them. Run it under tests/desktop/run-with-wm.sh.
#include "xtools.h"

#include "support/datarow.h"
#include "ui/cards/splashcard.h"
#include "ui/cards/tagcard.h"
#include "ui/controls/clickablelabel.h"
#include "ui/mainwindowfixture.h"
#include "ui/transport/volumebar.h"
#include "ui/windowcontrols.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

using namespace sonavue;
using namespace sonavue::testing;
namespace x = sonavue::xtools;

// Runs a checking step of this file and ends the test function when the step failed.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace {
const QString App = QStringLiteral("SonavueWindowManagerTest");
constexpr QSize NormalSize(895, 684);

x::WindowId xId(const QWidget* window) {
    return x::WindowId(window->winId());
}

// Where the X server has the window; an empty rectangle when it is not viewable.
QRect xGeometry(const QWidget* window) {
    const auto info = x::windowInfo(xId(window));
    return info && info->viewable ? info->geometry : QRect();
}

bool xViewable(const QWidget* window) {
    const auto info = x::windowInfo(xId(window));
    return info && info->viewable;
}

// A point of a control, relative to its window's top-left corner.
QPoint inWindow(const QWidget* control, QPoint local) {
    return control->mapTo(control->window(), local);
}
QPoint centreOf(const QWidget* control) {
    return inWindow(control, control->rect().center());
}
QPoint centreOfRow(const QListView* list, int row) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    return list->viewport()->mapTo(list->window(), rect.center());
}

QStringList shownRows(const QListView* list) {
    QStringList rows;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        rows << list->model()->index(i, 0).data().toString();
    return rows;
}
int rowOf(const QListView* list, const QString& text) {
    return int(shownRows(list).indexOf(text));
}

QString lastOpened(const QStringList& mediaLog) {
    for (auto it = mediaLog.crbegin(); it != mediaLog.crend(); ++it)
        if (it->startsWith(QLatin1String("Open ")))
            return it->mid(5);
    return {};
}

// The background window lies directly under the main window in the window manager's stack.
bool justBelow(const QWidget* background, const QWidget* main) {
    const QList<x::WindowId> stack = x::stackingOrder();
    const qsizetype below = stack.indexOf(xId(background));
    return below >= 0 && below + 1 == stack.indexOf(xId(main));
}

bool inTaskBarsOrSwitchers(const QWidget* window) {
    const QStringList state = x::atoms(xId(window), QStringLiteral("_NET_WM_STATE"));
    return !state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")) ||
           !state.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER"));
}

bool splashShown() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<SplashCard*>(window) && window->isVisible())
            return true;
    return false;
}
} // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_music;
    SettingsFile m_settings{App};
    std::unique_ptr<StartedWindow> m_window;
    QRect m_screen;

    // Starts the program on the test library with the background option given, and waits
    // until the window is on the screen with nothing in front of it.
    void start(bool background) {
        m_settings.set(QStringLiteral("Folder"), m_music);
        m_settings.set(QStringLiteral("back"),
                       background ? QStringLiteral("0") : QStringLiteral("1"));
        m_window = startWindow(App);
        MainWindow& f = *m_window->form;
        WAIT_VERIFY2(xViewable(&f), "the main window never appeared on the X server");
        QVERIFY2(x::waitUntil([] { return !splashShown(); }, 10000), "the splash stays");
        WAIT_COMPARE(xGeometry(&f).size(), NormalSize);
        if (background) {
            QVERIFY(f.backgroundWindow());
            WAIT_COMPARE(xGeometry(f.backgroundWindow()), xGeometry(&f));
        }
    }

    // A click on a part of the window that does nothing, as a person gives a window the focus.
    void focusByClick() {
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        QVERIFY(x::click(xId(&f), centreOf(ui.nowLabel)));
        WAIT_COMPARE(x::activeWindow(), xId(&f));
    }

    // After each press of W: the background, when shown, lies exactly behind the window.
    void checkBackgroundBehind() {
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        if (!ui.settingsFrame->backgroundShown())
            return;
        QVERIFY(f.backgroundWindow());
        WAIT_COMPARE(xGeometry(f.backgroundWindow()), xGeometry(&f));
    }

    void checkLargeLayout() {
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        WAIT_COMPARE(xGeometry(&f), m_screen);
        QVERIFY(!ui.titleStrip->isVisible());
        QVERIFY(!ui.settingsFrame->isVisible());
        checkBackgroundBehind();
    }

    void checkNormalLayout(QPoint place) {
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        WAIT_COMPARE(xGeometry(&f), QRect(place, NormalSize));
        QVERIFY(ui.titleStrip->isVisible());
        QVERIFY(ui.settingsFrame->isVisible());
        QVERIFY(ui.volumeBar->isVisible());
        WAIT_COMPARE(x::activeWindow(), xId(&f));
        QVERIFY(!x::atoms(xId(&f), QStringLiteral("_NET_WM_STATE"))
                     .contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        checkBackgroundBehind();
    }

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(x::windowManagerRunning(), "no window manager: run under run-with-wm.sh");
        m_screen = x::screenGeometry();
        QVERIFY(m_screen.isValid());
        m_music = m_home.path() + QStringLiteral("/music");
        const QList<TrackSpec> tracks{
            {"root1.mp3", "Root One", "abc", "Alb", "2001", 17},
            {"root2.wav", {}, {}, {}, {}, 0, false},
            {"A/a1.mp3", "A One", "abc", "Alb", "1999", 1},
            {"A/a2.mp3", "A Two", "Zed", "Second", "1999", 17},
            {"A/a3.wav", {}, {}, {}, {}, 0, false},
            {"B/b1.mp3", "B One", "Zed", "Third", "2005", 146},
        };
        for (const TrackSpec& t : tracks)
            writeTrack(m_music, t);
    }

    void cleanup() {
        // A failed drag must not leave the button held for the next test.
        x::releaseButton();
        m_window.reset();
    }

    // One click on a group entry lists that entry's tracks, and Select Start plays from them.
    void oneClickOnAGroupEntry() {
        STEP(start(false));
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        const x::WindowId window = xId(&f);

        QVERIFY(x::click(window, centreOf(ui.tabs[GroupArtist])));
        WAIT_VERIFY(ui.groupLists[GroupArtist]->isVisible());
        QVERIFY(x::click(window,
                         centreOfRow(ui.groupLists[GroupArtist],
                                     rowOf(ui.groupLists[GroupArtist], QStringLiteral("Zed")))));
        WAIT_COMPARE(shownRows(ui.titlesList),
                     (QStringList{QStringLiteral("A Two"), QStringLiteral("B One")}));
        QVERIFY(x::click(window, centreOf(ui.selectStartButton)));
        WAIT_COMPARE(lastOpened(m_window->mediaLog), QStringLiteral("a2.mp3"));

        QVERIFY(x::click(window, centreOf(ui.tabs[GroupFolder])));
        WAIT_VERIFY(ui.groupLists[GroupFolder]->isVisible());
        QVERIFY(
            x::click(window, centreOfRow(ui.groupLists[GroupFolder],
                                         rowOf(ui.groupLists[GroupFolder], QStringLiteral("B/")))));
        WAIT_COMPARE(shownRows(ui.titlesList), QStringList{QStringLiteral("B One")});
        QVERIFY(x::click(window, centreOf(ui.selectStartButton)));
        WAIT_COMPARE(lastOpened(m_window->mediaLog), QStringLiteral("b1.mp3"));
    }

    // Towards the top of the volume bar is louder: its up arrow raises the level.
    void volumeBarArrows() {
        STEP(start(false));
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("128"));
        // The arrows are the square ends of the bar.
        const int side = ui.volumeBar->width();
        const QPoint up = inWindow(ui.volumeBar, QPoint(side / 2, side / 2));
        const QPoint down =
            inWindow(ui.volumeBar, QPoint(side / 2, ui.volumeBar->height() - side / 2));
        QVERIFY(x::click(xId(&f), up));
        WAIT_COMPARE(ui.volumeLabel->text(), QStringLiteral("129"));
        QVERIFY(x::click(xId(&f), down));
        QVERIFY(x::click(xId(&f), down));
        WAIT_COMPARE(ui.volumeLabel->text(), QStringLiteral("127"));
    }

    // W, then W again: the large layout, then the normal window at its place, with the focus.
    void layoutKeyTwice_data() {
        QTest::addColumn<bool>("background");
        dataRow("no background", false);
        dataRow("background shown", true);
    }
    void layoutKeyTwice() {
        QFETCH(bool, background);
        STEP(start(background));
        MainWindow& f = *m_window->form;
        // The window manager has moved the window away from the corner that the large layout
        // takes, as it does when the user moves it.
        QVERIFY(x::xdotool({QStringLiteral("windowmove"), QString::number(xId(&f)),
                            QStringLiteral("160"), QStringLiteral("120")}));
        WAIT_VERIFY(xGeometry(&f).topLeft() != QPoint(0, 0));
        const QPoint place = xGeometry(&f).topLeft();
        STEP(focusByClick());

        QVERIFY(x::pressKey(QStringLiteral("w")));
        STEP(checkLargeLayout());
        QVERIFY(x::pressKey(QStringLiteral("w")));
        STEP(checkNormalLayout(place));
    }

    // The background window belongs to the main window: no task-bar or switcher entry of its
    // own, and directly behind the main window, also when the main window is clicked and when
    // the background itself is raised (as a switcher would).
    void backgroundStaysBehindTheWindow() {
        STEP(start(true));
        MainWindow& f = *m_window->form;
        BackgroundWindow* background = f.backgroundWindow();
        QVERIFY(!inTaskBarsOrSwitchers(background));
        WAIT_VERIFY(justBelow(background, &f));
        STEP(focusByClick());
        WAIT_VERIFY(justBelow(background, &f));
        QVERIFY(x::xdotool({QStringLiteral("windowraise"), QString::number(xId(background))}));
        // The raise and the window's answer to it may both be over before a first look, so
        // the look waits a moment to be after them: a look before the answer would pass anyway.
        QTest::qWait(300);
        WAIT_VERIFY(justBelow(background, &f));
        WAIT_COMPARE(xGeometry(background), xGeometry(&f));
    }

    // A title-strip drag with the background shown: the background is away while the
    // window moves and lies exactly behind it once the move has ended.
    void titleStripDragWithBackground() {
        STEP(start(true));
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        BackgroundWindow* background = f.backgroundWindow();
        const QPoint before = xGeometry(&f).topLeft();
        const QPoint delta(120, 90);

        QVERIFY(x::pressButton(xId(&f),
                               inWindow(ui.titleStrip, QPoint(300, ui.titleStrip->height() / 2))));
        QVERIFY(x::dragBy(delta));
        WAIT_VERIFY2(!xViewable(background), "the background stays on screen during the drag");
        QVERIFY(x::releaseButton());

        // The window follows the pointer (give or take the few pixels before a move starts).
        const auto missedBy = [&] {
            return (xGeometry(&f).topLeft() - (before + delta)).manhattanLength();
        };
        WAIT_VERIFY2(missedBy() <= 16,
                     qPrintable(QStringLiteral("from %1,%2 the window went to %3,%4")
                                    .arg(before.x())
                                    .arg(before.y())
                                    .arg(xGeometry(&f).x())
                                    .arg(xGeometry(&f).y())));
        WAIT_COMPARE(xGeometry(background), xGeometry(&f));
        WAIT_COMPARE(x::activeWindow(), xId(&f));
        // Shown again, it is still no window of its own to the task bars and switchers.
        QVERIFY(!inTaskBarsOrSwitchers(background));
        WAIT_VERIFY(justBelow(background, &f));
    }

    // A double-click on the title strip is the W action, with a window manager too.
    void titleStripDoubleClick() {
        STEP(start(false));
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        const QPoint place = xGeometry(&f).topLeft();
        QVERIFY(x::click(xId(&f), inWindow(ui.titleStrip, QPoint(300, ui.titleStrip->height() / 2)),
                         2));
        STEP(checkLargeLayout());
        QVERIFY(x::pressKey(QStringLiteral("w")));
        STEP(checkNormalLayout(place));
    }

    // The window manager never gives the tag card the focus: a click on a track shows the
    // card, a click on another track shows that one on it, and a click anywhere else in the
    // window takes it away at once instead of leaving it over the window until it fades.
    void tagCardGoesAtAClickElsewhere() {
        STEP(start(false));
        MainWindow& f = *m_window->form;
        const WindowControls ui(f);
        const x::WindowId window = xId(&f);
        QVERIFY(x::click(window, centreOf(ui.tabs[GroupAll])));
        WAIT_COMPARE(ui.titlesList->model()->rowCount(), 6);
        QVERIFY(x::click(window, centreOfRow(ui.titlesList, 0)));
        WAIT_VERIFY(f.tagWindow() && xViewable(f.tagWindow()));
        const QPointer<TagCard> card = f.tagWindow();
        // From here only a click can close the card.
        card->holdTimer().stop();
        card->fadeTimer().stop();
        const QString second = f.core().browsing().rowPath(1);
        QVERIFY(x::click(window, centreOfRow(ui.titlesList, 1)));
        WAIT_COMPARE(card->pathLabel()->text(), second);
        QVERIFY(card && xViewable(card));

        QVERIFY(x::click(window, centreOf(ui.reservedLabel)));
        WAIT_VERIFY2(!card, "the card stays after a click on a label of the window");
    }
};

QTEST_MAIN(WindowManagerTest)
#include "test_desktop_windowmanager.moc"
