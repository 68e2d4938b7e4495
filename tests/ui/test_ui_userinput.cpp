// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window driven the way a person drives it: mouse presses on list rows at their
// places, drags, double-clicks, the scroll bar's arrows, trough and wheel, and keys sent to the
// window (as the display server sends them) with the focus in each kind of control. Every
// check looks at what the user sees: the rows, the level label, the file being played.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "ui/controls/clickablelabel.h"
#include "ui/transport/nowplayingtext.h"
#include "ui/transport/volumebar.h"
#include "ui/window/backgroundwindow.h"
#include "ui/window/layoutswitch.h"
#include "web/webenginesetup.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTextDocument>
#include <QWebEngineView>
#include <QWindow>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueUserInputTest");

QPoint rowCentre(QListView* view, const QString& text) {
    for (int i = 0; i < view->model()->rowCount(); ++i) {
        const QModelIndex index = view->model()->index(i, 0);
        if (index.data().toString() == text) {
            view->scrollTo(index);
            return view->visualRect(index).center();
        }
    }
    qFatal("no row %s", qPrintable(text));
}

void clickRow(QListView* view, const QString& text) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, text));
}

// A place on the window, for events that go through the window as the display server's do.
QPoint onWindow(const MainWindow& f, const QWidget* widget, QPoint at = {}) {
    return widget->mapTo(&f, at.isNull() ? widget->rect().center() : at);
}

QRect scrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

void turnWheel(QWidget* widget, int notches) {
    const QPointF at = widget->rect().center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// Counts the presses of a key that reach a control: the web engine hands the keys a page does
// not use back to the panel's parent, a moment after they were pressed.
class KeyArrivals : public QObject {
public:
    explicit KeyArrivals(QWidget& control) { control.installEventFilter(this); }
    int count(int key) const { return int(m_keys.count(key)); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            m_keys << static_cast<QKeyEvent*>(event)->key();
        return false;
    }

private:
    QList<int> m_keys;
};
} // namespace

class UserInputTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_music;
    SettingsFile m_settings{App};

    std::unique_ptr<StartedWindow> start(bool withWeb = false) {
        auto started = startWindow(App, withWeb);
        started->form->activateWindow();
        (void)QTest::qWaitForWindowExposed(started->form.get());
        return started;
    }

private slots:
    void initTestCase() {
        m_music = m_home.path() + QStringLiteral("/music");
        const QList<TrackSpec> tracks{
            {"root1.mp3", "Root One", "Ann", "Alb", "2001", 17},
            {"A/a1.mp3", "A One", "Bob", "Alb", "1999", 1},
            {"A/a2.mp3", "A Two", "Zed", "Second", "1999", 17},
            {"A/a3.mp3", "A Three", "Bob", "Alb", "1999", 17},
            {"B/b1.mp3", "B One", "Zed", "Third", "2005", 17},
        };
        for (const TrackSpec& t : tracks)
            writeTrack(m_music, t);
    }

    void init() {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_music);
    }

    void oneClickOnAGroupEntryListsItsTracks() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QListView* folders = ui.groupLists[GroupFolder];
        // The start-up shows the music folder's own files; one click on "A/" shows A's.
        QCOMPARE(rows(ui.titlesList), QStringList{QStringLiteral("Root One")});
        clickRow(folders, QStringLiteral("A/"));
        QCOMPARE(rows(ui.titlesList), (QStringList{QStringLiteral("A One"), QStringLiteral("A Two"),
                                                   QStringLiteral("A Three")}));
        QCOMPARE(rows(ui.numbersList),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
        QCOMPARE(highlighted(ui.titlesList), 0);
        QCOMPARE(highlighted(ui.numbersList), 0);
        // The same entry clicked again, and another entry, each with one click.
        clickRow(folders, QStringLiteral("A/"));
        QCOMPARE(rows(ui.titlesList).size(), 3);
        clickRow(folders, QStringLiteral("B/"));
        QCOMPARE(rows(ui.titlesList), QStringList{QStringLiteral("B One")});

        // Artist page: a click on the tab, then one click on an artist.
        QTest::mouseClick(ui.tabs[GroupArtist], Qt::LeftButton);
        clickRow(ui.groupLists[GroupArtist], QStringLiteral("Bob"));
        QCOMPARE(rows(ui.titlesList),
                 (QStringList{QStringLiteral("A One"), QStringLiteral("A Three")}));
        QTest::mouseClick(ui.tabs[GroupAlbum], Qt::LeftButton);
        clickRow(ui.groupLists[GroupAlbum], QStringLiteral("Second"));
        QCOMPARE(rows(ui.titlesList), QStringList{QStringLiteral("A Two")});

        // Select Start, clicked, plays from what the click showed.
        QTest::mouseClick(ui.selectStartButton, Qt::LeftButton);
        QCOMPARE(openedNames(w->mediaLog), QStringList{QStringLiteral("a2.mp3")});
        // Continuous play goes on from the album entry that was clicked, not from an empty one.
        QVERIFY(highlighted(ui.groupLists[GroupAlbum]) >= 0);
        QCOMPARE(f.core().browsing().rememberedGroupEntry(GroupAlbum),
                 highlighted(ui.groupLists[GroupAlbum]));
    }

    void pressAndDragOnTitlesKeepsTheNumbersInStep() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QTest::mouseClick(ui.tabs[GroupAll], Qt::LeftButton);
        QCOMPARE(rows(ui.titlesList).size(), 5);
        QCOMPARE(highlighted(ui.numbersList), -1);
        const QPoint from = rowCentre(ui.titlesList, QStringLiteral("A One"));
        const QPoint to = rowCentre(ui.titlesList, QStringLiteral("A Three"));
        // Through the window, as the display server delivers a press and a drag row by row.
        QWindow* window = f.windowHandle();
        const auto onList = [&](QPoint p) { return ui.titlesList->viewport()->mapTo(&f, p); };
        QTest::mousePress(window, Qt::LeftButton, {}, onList(from));
        QCOMPARE(highlighted(ui.numbersList), 1);
        for (int y = from.y(); y < to.y(); y += 3) {
            QTest::mouseMove(window, onList(QPoint(from.x(), y)));
            QCOMPARE(highlighted(ui.numbersList), highlighted(ui.titlesList));
        }
        QTest::mouseMove(window, onList(to));
        QCOMPARE(highlighted(ui.titlesList), 3);
        QCOMPARE(highlighted(ui.numbersList), 3);
        QTest::mouseRelease(window, Qt::LeftButton, {}, onList(to));
        QCOMPARE(highlighted(ui.numbersList), 3);
        QCOMPARE(ui.numbersList->verticalScrollBar()->value(),
                 ui.titlesList->verticalScrollBar()->value());
        // A press opens the tag card for the entry now highlighted.
        QTRY_VERIFY(f.tagWindow());
    }

    void doubleClicksQueueAndUnqueueTracks() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        clickRow(ui.groupLists[GroupFolder], QStringLiteral("A/"));
        QWindow* window = f.windowHandle();
        const auto onTitles = [&](const QString& title) {
            return ui.titlesList->viewport()->mapTo(&f, rowCentre(ui.titlesList, title));
        };
        // A double-click on a title queues its file; six of them queue five. (The test's
        // events carry their own times, each click well after the one before.)
        for (int i = 0; i < 6; ++i)
            QTest::mouseDClick(window, Qt::LeftButton, {}, onTitles(QStringLiteral("A Two")));
        QCOMPARE(f.core().browsing().reserved().count(), 5);
        QVERIFY(f.core().browsing().reserved().at(0).endsWith(QLatin1String("/A/a2.mp3")));
        // A double-click on a reserved entry takes it off the list.
        QListView* reserved = ui.reservedList;
        const QPoint entry = reserved->visualRect(reserved->model()->index(1, 0)).center();
        QTest::mouseDClick(window, Qt::LeftButton, {}, reserved->viewport()->mapTo(&f, entry));
        QCOMPARE(f.core().browsing().reserved().count(), 4);
    }

    void arrowKeysInAGroupListShowEachEntrysTracks() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QListView* folders = ui.groupLists[GroupFolder];
        clickRow(folders, QStringLiteral("A/"));
        QTest::keyClick(f.windowHandle(), Qt::Key_Down);
        QCOMPARE(rows(ui.titlesList), QStringList{QStringLiteral("B One")});
        QTest::keyClick(f.windowHandle(), Qt::Key_Up);
        QCOMPARE(rows(ui.titlesList).size(), 3);
        QCOMPARE(f.core().browsing().rememberedGroupEntry(GroupFolder), highlighted(folders));
    }

    void scrollingTheTitlesScrollsTheNumbers() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        ui.titlesList->resize(ui.titlesList->width(), ui.titlesList->sizeHintForRow(0) * 2 + 4);
        ui.numbersList->resize(ui.numbersList->width(), ui.titlesList->height());
        QTest::mouseClick(ui.tabs[GroupAll], Qt::LeftButton);
        QScrollBar* titles = ui.titlesList->verticalScrollBar();
        QTRY_VERIFY(titles->maximum() > 0);
        const QRect down = scrollBarPart(titles, QStyle::SC_ScrollBarAddLine);
        QTest::mouseClick(titles, Qt::LeftButton, {}, down.center());
        QTest::mouseClick(titles, Qt::LeftButton, {}, down.center());
        QCOMPARE(titles->value(), 2);
        QCOMPARE(ui.numbersList->verticalScrollBar()->value(), 2);
        QCOMPARE(ui.numbersList->indexAt(QPoint(2, 2)).data().toString(),
                 f.core().browsing().trackNumbers().at(ui.titlesList->indexAt(QPoint(2, 2)).row()));
    }

    void tagTextShowsAsTheLettersItIs() {
        QTemporaryDir music;
        const QString title = QStringLiteral("<i></i>Q");
        const QString album = QStringLiteral("<img src=a.png width=2000>");
        writeTrack(music.path(), {QStringLiteral("m.mp3"), title, QStringLiteral("Ann"), album});
        m_settings.set(QStringLiteral("Folder"), music.path());
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QTest::keyClick(f.windowHandle(), Qt::Key_S);
        QCOMPARE(openedNames(w->mediaLog), QStringList{QStringLiteral("m.mp3")});
        // The now-playing label is as wide as the markup's letters, not as the markup drawn.
        const QFontMetrics metrics(ui.title->font());
        QVERIFY2(ui.title->sizeHint().width() >= metrics.horizontalAdvance(title),
                 qPrintable(QString::number(ui.title->sizeHint().width())));
        // The album list's tool tip reads as the album's letters too.
        QListView* albums = ui.groupLists[GroupAlbum];
        const QString tip = albums->model()->index(0, 0).data(Qt::ToolTipRole).toString();
        QTextDocument shown;
        shown.setHtml(tip);
        QCOMPARE(shown.toPlainText(), album);
    }

    // While a new scan walks its folders, the list it will replace stays readable, and a
    // double-click and Select Start on its rows act as before.
    void theOldListServesWhileANewScanWalks() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QTest::mouseClick(ui.tabs[GroupAll], Qt::LeftButton);
        const QStringList before = rows(ui.titlesList);
        QCOMPARE(before.size(), 5);
        QStringList shownInTheWalk;
        QTimer::singleShot(0, &f, [&] { // the walk's first pause
            shownInTheWalk = rows(ui.titlesList);
            const QPoint row = rowCentre(ui.titlesList, QStringLiteral("A Two"));
            QTest::mouseDClick(f.windowHandle(), Qt::LeftButton, {},
                               ui.titlesList->viewport()->mapTo(&f, row));
            QTest::mouseClick(ui.selectStartButton, Qt::LeftButton);
        });
        f.musicFolder().set(m_music + QStringLiteral("/B"));
        QCOMPARE(shownInTheWalk, before);
        QCOMPARE(f.core().browsing().reserved().paths(),
                 QStringList{m_music + QStringLiteral("/A/a2.mp3")});
        QCOMPARE(openedNames(w->mediaLog), QStringList{QStringLiteral("a2.mp3")});
        QCOMPARE(rows(ui.titlesList), QStringList{QStringLiteral("B One")}); // then the new list
    }

    // A file that cannot be played is named where the title goes, for good when play stops
    // at it; so is a missing sound device. The track play goes on with shows its title at
    // once, saying for a while how many files were passed over before it.
    void whatCannotPlayIsSaidWhereTheTitleGoes() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QTest::keyClick(f.windowHandle(), Qt::Key_S);
        QCOMPARE(openedNames(w->mediaLog), QStringList{QStringLiteral("root1.mp3")});
        QCOMPARE(ui.title->text(), QStringLiteral("Root One"));
        emit w->media->audioOutputMissing();
        QCOMPARE(ui.title->text(), QStringLiteral("音声出力がありません"));
        w->media->finish(PlayEnd::Failed); // continuous play goes on with the next track
        QCOMPARE(openedNames(w->mediaLog).last(), QStringLiteral("a1.mp3"));
        QCOMPARE(ui.title->text(), QStringLiteral("A One（再生できない 1 曲を飛ばしました）"));
        QTRY_COMPARE_WITH_TIMEOUT(ui.title->text(), QStringLiteral("A One"), 5000);

        // Two in a row, then a short track: each title as its track starts.
        w->media->finish(PlayEnd::Failed);
        w->media->finish(PlayEnd::Failed);
        QCOMPARE(openedNames(w->mediaLog).last(), QStringLiteral("a3.mp3"));
        QCOMPARE(ui.title->text(), QStringLiteral("A Three（再生できない 2 曲を飛ばしました）"));
        w->media->finish(PlayEnd::Reached);
        QCOMPARE(openedNames(w->mediaLog).last(), QStringLiteral("b1.mp3"));
        QCOMPARE(ui.title->text(), QStringLiteral("B One"));

        QTest::keyClick(f.windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(openedNames(w->mediaLog).last(), QStringLiteral("b1.mp3"));
        w->media->finish(PlayEnd::Failed); // a select start stops at its file
        // The notice stays when its hold is over: nothing happens then, so the check waits the
        // hold out.
        QTest::qWait(NowPlayingText::NoticeMs + 300);
        QCOMPARE(openedNames(w->mediaLog).last(), QStringLiteral("b1.mp3"));
        QCOMPARE(ui.title->text(), QStringLiteral("b1.mp3 再生できません"));
    }

    void theSameKeyTwiceActsTwiceWhereverTheFocusIs() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QWindow* window = f.windowHandle();
        const QList<QWidget*> focusTargets{&f, ui.titlesList, ui.groupLists[GroupFolder],
                                           ui.folderBox, ui.continuousStartButton};
        for (QWidget* target : focusTargets) {
            const char* const where = target->metaObject()->className();
            target->setFocus();
            QVERIFY2(target->hasFocus() || QApplication::focusWidget() == target, where);
            const QRect normal = f.geometry();
            QTest::keyClick(window, Qt::Key_W);
            QVERIFY2(f.windowState() & Qt::WindowMaximized, where);
            QVERIFY2(ui.titleStrip->isHidden(), where);
            QTest::keyClick(window, Qt::Key_W);
            QVERIFY2(!(f.windowState() & Qt::WindowMaximized), where);
            QVERIFY2(ui.titleStrip->isVisible() && ui.settingsFrame->isVisible(), where);
            QTRY_COMPARE(f.geometry(), normal);

            w->mediaLog.clear();
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(window, Qt::Key_S);
            QCOMPARE(openedNames(w->mediaLog).size(), 3);
            for (int i = 0; i < 2; ++i)
                QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(openedNames(w->mediaLog).size(), 5);

            for (int round = 0; round < 2; ++round) {
                f.library().reserveSelectedTrack();
                QCOMPARE(f.core().browsing().reserved().count(), 1);
                QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
                QVERIFY2(f.core().browsing().reserved().count() == 0, where);
            }
        }
    }

    void keysActOnceWithTheFocusInTheWebPanel() {
        auto w = start(true);
        MainWindow& f = *w->form;
        QVERIFY(webPanelAdded(f));
        const WindowControls ui(f);
        auto* const web = qobject_cast<QWebEngineView*>(ui.webPanel);
        QVERIFY(web);
        QTRY_VERIFY_WITH_TIMEOUT(!web->url().isEmpty() && web->page()->contentsSize().height() > 0,
                                 15000);
        QWidget* page = web->focusProxy() ? web->focusProxy() : web;
        QSignalSpy focusTimerRan(ui.focusTimer, &QTimer::timeout);
        QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(5, 5));
        page->setFocus();
        QTRY_VERIFY(page->hasFocus());
        // The page taking the focus arms the window's focus timer, which runs once.
        QTRY_COMPARE(focusTimerRan.count(), 1);
        w->mediaLog.clear();
        // Each key acts once, also after the web engine has handed it back.
        const KeyArrivals handedBack(*web->parentWidget());
        QTest::keyClick(f.windowHandle(), Qt::Key_S);
        QTRY_COMPARE(handedBack.count(Qt::Key_S), 1);
        QCOMPARE(openedNames(w->mediaLog).size(), 1);
        QTest::keyClick(f.windowHandle(), Qt::Key_W);
        QTRY_COMPARE(handedBack.count(Qt::Key_W), 1);
        QVERIFY(f.windowState() & Qt::WindowMaximized);
    }

    void volumeBarRaisesTheLevelTowardsItsTop() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QScrollBar* bar = ui.volumeBar;
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("128"));
        const QRect up = scrollBarPart(bar, QStyle::SC_ScrollBarSubLine);
        const QRect down = scrollBarPart(bar, QStyle::SC_ScrollBarAddLine);
        QVERIFY(up.center().y() < down.center().y());
        QTest::mouseClick(bar, Qt::LeftButton, {}, up.center());
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("129"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, down.center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, down.center());
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("127"));
        // A click in the trough above the thumb is a large step up.
        const QRect above = scrollBarPart(bar, QStyle::SC_ScrollBarSubPage);
        QVERIFY(!above.isEmpty());
        QTest::mouseClick(bar, Qt::LeftButton, {}, above.center());
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("143"));
        turnWheel(bar, 1);
        QVERIFY2(ui.volumeLabel->text().toInt() > 143, qPrintable(ui.volumeLabel->text()));
        const int afterWheel = ui.volumeLabel->text().toInt();
        bar->setFocus();
        QTest::keyClick(f.windowHandle(), Qt::Key_Up);
        QCOMPARE(ui.volumeLabel->text().toInt(), afterWheel + 1);
        // The thumb at the very top is the loudest level.
        QTest::mousePress(bar, Qt::LeftButton, {},
                          scrollBarPart(bar, QStyle::SC_ScrollBarSlider).center());
        QTest::mouseMove(bar, QPoint(bar->width() / 2, 0));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 0));
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("255"));
    }

    void sizeLabelDoubleClickIsOneAction() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        const QSize full = f.size();
        // One click: compact.
        QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, onWindow(f, ui.sizeLabel));
        QCOMPARE(f.height(), ui.titleStrip->height());
        // A double-click (press, release, double-click, release): one switch, back to full,
        // and no layout switch. The test's events carry their own times: the click before is
        // no part of it.
        QTest::mouseDClick(f.windowHandle(), Qt::LeftButton, {}, onWindow(f, ui.sizeLabel));
        QCOMPARE(f.size(), full);
        QVERIFY(!(f.windowState() & Qt::WindowMaximized));
    }

    void titleStripDoubleClickAndDrag() {
        m_settings.set(QStringLiteral("back"), QStringLiteral("0"));
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QVERIFY(f.backgroundWindow() && f.backgroundWindow()->isVisible());
        const QPoint grip = onWindow(f, ui.titleStrip, QPoint(ui.titleStrip->width() / 2, 5));

        // A double-click on the strip is the W action, both ways.
        QTest::mouseDClick(f.windowHandle(), Qt::LeftButton, {}, grip);
        QVERIFY(f.windowState() & Qt::WindowMaximized);
        QTest::keyClick(f.windowHandle(), Qt::Key_W);
        QVERIFY(!(f.windowState() & Qt::WindowMaximized));
        QTRY_COMPARE(f.backgroundWindow()->frameGeometry(), f.frameGeometry());

        // A press alone moves nothing; moving with the button held drags the window, the
        // background hidden meanwhile and behind the window again once the button is let go.
        const QPoint before = f.pos();
        QTest::mousePress(ui.titleStrip, Qt::LeftButton, {}, ui.titleStrip->mapFrom(&f, grip));
        QCOMPARE(f.pos(), before);
        QTest::mouseMove(ui.titleStrip, ui.titleStrip->mapFrom(&f, grip) + QPoint(30, 20));
        QTRY_COMPARE(f.pos(), before + QPoint(30, 20));
        QVERIFY(!f.backgroundWindow()->isVisible());
        QTest::mouseRelease(ui.titleStrip, Qt::LeftButton, {},
                            ui.titleStrip->mapFrom(&f, grip) + QPoint(30, 20));
        QTRY_VERIFY(f.backgroundWindow()->isVisible());
        QCOMPARE(f.backgroundWindow()->frameGeometry(), f.frameGeometry());
    }

    void wTwiceKeepsTheNativeWindowAndTheBackgroundBehind() {
        m_settings.set(QStringLiteral("back"), QStringLiteral("0"));
        auto w = start();
        MainWindow& f = *w->form;
        const QRect normal = f.geometry();
        const QWindow* native = f.windowHandle();
        QTest::keyClick(f.windowHandle(), Qt::Key_W);
        QTRY_VERIFY(staysOnTop(f));
        QTRY_COMPARE(f.backgroundWindow()->frameGeometry(), f.frameGeometry());
        QTest::keyClick(f.windowHandle(), Qt::Key_W);
        QTRY_COMPARE(f.geometry(), normal);
        QVERIFY(!staysOnTop(f));
        // Re-creating the native window makes a window manager forget size, place and focus.
        QCOMPARE(f.windowHandle(), native);
        QTRY_COMPARE(f.backgroundWindow()->frameGeometry(), f.frameGeometry());
    }
};

int main(int argc, char* argv[]) {
    prepareWebEngine();
    QApplication app(argc, argv);
    UserInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_userinput.moc"
