// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Find as you type in the main window, by keys sent to the window as the display server sends
// them: Ctrl+F, letters, the arrows, Enter, Ctrl+C and Esc, with a double-click on a found
// track. Every check looks at what the user sees: the field, the track list's rows and
// highlight, the reserved list, the files played.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QWindow>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueFindTest");

QPoint rowCentre(const QListView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
}
} // namespace

class FindTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    SettingsFile m_settings{App};

    QString writeLibrary() {
        const QString music = m_home.path() + QStringLiteral("/music");
        for (const TrackSpec& t : QList<TrackSpec>{{"root1.mp3", "Root One", "Ann", "Alb"},
                                                   {"A/a1.mp3", "Sweet Song", "Bob", "Alb"},
                                                   {"A/a2.mp3", "A Two", "Zed", "Second"},
                                                   {"A/a3.mp3", "Swan", "Bob", "Alb"},
                                                   {"B/b1.mp3", "B One", "Zed", "Swing"}})
            writeTrack(music, t);
        m_settings.set(QStringLiteral("Folder"), music);
        return music;
    }

private slots:
    void findAsYouType() {
        const QString music = writeLibrary();
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        auto* field = control<QLineEdit>(f, QStringLiteral("FindText"));
        QWindow* window = f.windowHandle();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // Folder A's tracks, the third highlighted, and the focus in the track list.
        f.core().browsing().selectGroupEntry(GroupFolder, 1);
        f.core().browsing().selectTrack(2);
        ui.titlesList->setFocus();
        const QStringList folderA = rows(ui.titlesList);
        QCOMPARE(folderA.size(), 3);
        QVERIFY(field->isHidden());

        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(field->isVisible());
        QCOMPARE(f.focusWidget(), field);
        // S and W are letters of the text: nothing plays and the layout stays.
        QTest::keyClick(window, 's');
        QTest::keyClick(window, 'W');
        QCOMPARE(field->text(), QStringLiteral("sW"));
        QCOMPARE(rows(ui.titlesList), (QStringList{"Sweet Song", "Swan", "B One"}));
        QCOMPARE(highlighted(ui.titlesList), 0);
        QVERIFY(openedNames(w->mediaLog).isEmpty());
        QVERIFY(ui.stopButton->isVisible());
        QTest::keyClick(window, 'a');
        QCOMPARE(rows(ui.titlesList), QStringList{"Swan"});
        QTest::keyClick(window, Qt::Key_Backspace);

        // Down and Enter play the second; at the end of the found tracks play goes round.
        QTest::keyClick(window, Qt::Key_Down);
        QTest::keyClick(window, Qt::Key_Down);
        QCOMPARE(highlighted(ui.titlesList), 2);
        QTest::keyClick(window, Qt::Key_Up);
        QTest::keyClick(window, Qt::Key_Return);
        w->media->finish(PlayEnd::Reached);
        w->media->finish(PlayEnd::Reached);
        w->media->finish(PlayEnd::Reached);
        QCOMPARE(openedNames(w->mediaLog), (QStringList{"a3.mp3", "b1.mp3", "a1.mp3", "a3.mp3"}));

        // A double-click queues a found track; Ctrl+C still empties the reserved list.
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           ui.titlesList->viewport()->mapTo(&f, rowCentre(ui.titlesList, 2)));
        QCOMPARE(f.core().browsing().reserved().paths(), QStringList{music + "/B/b1.mp3"});
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f.core().browsing().reserved().count(), 0);

        // Esc: the field goes, folder A's list comes back with its highlight and the focus.
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(field->isHidden());
        QCOMPARE(rows(ui.titlesList), folderA);
        QCOMPARE(highlighted(ui.titlesList), 2);
        QCOMPARE(f.focusWidget(), ui.titlesList);
    }

    // A scan reading tags refills the track list: the find stays open with its text and the
    // focus, a letter typed meanwhile is the find's (W does not switch the layout, S does not
    // start play), and the find searches what the scan read.
    void findStaysOpenThroughAScan() {
        const QString music = writeLibrary();
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        auto* field = control<QLineEdit>(f, QStringLiteral("FindText"));
        QWindow* window = f.windowHandle();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        ui.titlesList->setFocus();
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(window, 's');
        QVERIFY(!rows(ui.titlesList).contains(QStringLiteral("Root One")));

        // At the scan's first refill the next letters are typed, during the scan's next pause.
        bool typed = false;
        QMetaObject::Connection refilled;
        refilled = connect(&f.core().browsing(), &BrowsingModel::tracksRefilled, this, [&] {
            disconnect(refilled);
            QTimer::singleShot(0, this, [&] {
                QVERIFY(f.scanRunning());
                QTest::keyClick(window, 'w');
                typed = true;
            });
        });
        f.musicFolder().set(music);
        QVERIFY(typed);
        QVERIFY(ui.stopButton->isVisible());
        QVERIFY(field->isVisible());
        QCOMPARE(field->text(), QStringLiteral("sw"));
        QCOMPARE(f.focusWidget(), field);
        // The find goes on over the rows the scan read, and S is a letter of it.
        QCOMPARE(rows(ui.titlesList), (QStringList{"Sweet Song", "Swan", "B One"}));
        QTest::keyClick(window, 's');
        QCOMPARE(field->text(), QStringLiteral("sws"));
        QCOMPARE(openedNames(w->mediaLog), QStringList());
        // Esc brings back the list the scan left: the first folder's.
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(field->isHidden());
        QCOMPARE(rows(ui.titlesList), QStringList{"Root One"});
        QCOMPARE(f.focusWidget(), ui.titlesList);
    }
};

QTEST_MAIN(FindTest)
#include "test_ui_find.moc"
