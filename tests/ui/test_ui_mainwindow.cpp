// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window through the real entry procedure: start-up settings, the scan bound to
// the window, group tabs and lists, the track list and the reserved list, and the layout.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "base/userfolders.h"
#include "support/artifacts.h"
#include "support/datarow.h"
#include "ui/controls/clickablelabel.h"
#include "ui/style/twips.h"
#include "ui/window/layoutrules.h"
#include "web/webenginesetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWebEngineView>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueMainWindowTest");

int rowOf(const QListView* view, const QString& text) {
    for (int i = 0; i < view->model()->rowCount(); ++i)
        if (view->model()->index(i, 0).data().toString() == text)
            return i;
    return -1;
}

// Whether anything is drawn on the picture: it holds more than one colour.
bool drawnOn(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != picture.pixel(0, 0))
                return true;
    return false;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_music;
    SettingsFile m_settings{App};

    // The window started on the stored folder, or on the one given.
    std::unique_ptr<StartedWindow> start(const QString& folder = {}) {
        if (!folder.isEmpty())
            m_settings.set(QStringLiteral("Folder"), folder);
        auto started = startWindow(App);
        if (started->form->scanRunning())
            qFatal("the start-up returned while its scan was running");
        return started;
    }

private slots:
    void initTestCase() {
        // The A/B/C tree: files of the music folder itself, A with files, B holding only C.
        m_music = m_home.path() + QStringLiteral("/music");
        const QList<TrackSpec> tracks{
            {"root1.mp3", "Root One", "abc", "Alb", "2001", 17},
            {"root2.wav", {}, {}, {}, {}, 0, false},
            {"A/a1.mp3", "A One", "ABC", "Alb", "1999", 1},
            {"A/a2.mp3", "A Two", "Zed", "Second", "1999", 17},
            {"A/a3.wav", {}, {}, {}, {}, 0, false},
            {"B/C/c1.mp3", "C One", "abc", "Third", "2005", 146},
        };
        for (const TrackSpec& t : tracks)
            writeTrack(m_music, t);
        QDir().mkpath(personalFolder());
    }

    void init() { m_settings.remove(); }

    void startsWithDefaultsWithoutSettingsFile() {
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QCOMPARE(ui.settingsFrame->folderText(), defaultMusicFolder());
        QCOMPARE(f.core().browsing().folderPrefix(), defaultMusicFolder() + QLatin1Char('/'));
        QCOMPARE(f.currentColour(), 0xFFFFFF);
        QVERIFY(!ui.settingsFrame->immediateChange());
        QCOMPARE(ui.settingsFrame->opacity(), 250);
        QCOMPARE(f.windowOpacity(), 250 / 255.0);
        for (QCheckBox* box : ui.fileTypeBoxes)
            QVERIFY(box->isChecked());
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 0);
        QCOMPARE(ui.titlesList->font().pointSizeF(), 10.0);
        QVERIFY(!ui.settingsFrame->backgroundShown());
        QVERIFY(!f.backgroundWindow());
        QVERIFY(f.isVisible());
        QCOMPARE(f.windowTitle(), QStringLiteral("Sonavue"));
        // Only the controls whose value changed wrote their keys.
        QCOMPARE(m_settings.get(QStringLiteral("alph")), QStringLiteral("250"));
        QCOMPARE(m_settings.get(QStringLiteral("Fontsize")), QStringLiteral("0"));
        QCOMPARE(m_settings.get(QStringLiteral("option1")), QStringLiteral("<missing>"));
    }

    void replacesUnusableStoredFolders_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("kept");
        dataRow("existing", QStringLiteral("MUSIC"), true);
        dataRow("missing", QStringLiteral("MUSIC/nowhere"), false);
        dataRow("trailing separator", QStringLiteral("MUSIC/"), false);
        dataRow("a file", QStringLiteral("MUSIC/root1.mp3"), false);
        dataRow("empty", QString(), false);
        dataRow("root", QStringLiteral("/"), true);
    }
    void replacesUnusableStoredFolders() {
        QFETCH(QString, stored);
        QFETCH(bool, kept);
        stored.replace(QStringLiteral("MUSIC"), m_music);
        const QString expected = kept ? stored : defaultMusicFolder();
        QCOMPARE(acceptedMusicFolder(stored), expected);
        QCOMPARE(folderPrefixFor(QStringLiteral("/")), QStringLiteral("/"));
    }

    void scansTheStoredFolderIntoTheGroupLists() {
        auto w = start(m_music);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QCOMPARE(f.core().browsing().folderPrefix(), m_music + QLatin1Char('/'));
        QCOMPARE(f.core().groups()[GroupFolder].entries(),
                 (QStringList{QString(), QStringLiteral("A/"), QStringLiteral("B/C/")}));
        // Artists spelt abc and ABC count as one, written as first met.
        QCOMPARE(f.core().groups()[GroupArtist].entries(),
                 (QStringList{QStringLiteral("abc"), QStringLiteral("Zed")}));
        // The scan ends on the Folder page with the music folder's own tracks.
        QCOMPARE(f.library().currentTab(), int(GroupFolder));
        QVERIFY(ui.tabs[0]->isBordered());
        QCOMPARE(f.core().browsing().trackTitles(),
                 (QStringList{QStringLiteral("Root One"), QStringLiteral("root2.wav")}));
        QCOMPARE(f.core().browsing().selectedTrack(), 0);
        QCOMPARE(f.core().browsing().selectedNumberEntry(), 0);
        QVERIFY(ui.foldersBar->isHidden());
        QVERIFY(ui.filesBar->isHidden());
    }

    void groupTabsAndLists() {
        auto w = start(m_music);
        MainWindow& f = *w->form;
        const WindowControls ui(f);

        // "ALL" lists every row with its number and leaves the source marker.
        f.library().showTab(GroupArtist);
        f.core().browsing().selectGroupEntry(GroupArtist, 1); // Zed
        QCOMPARE(f.core().browsing().sourceList(), int(GroupArtist));
        f.library().showTab(GroupAll);
        QCOMPARE(f.core().browsing().trackNumbers(), (QStringList{"0", "1", "2", "3", "4", "5"}));
        QCOMPARE(f.core().browsing().sourceList(), int(GroupArtist));

        // The Year tab changes the page, not the track list.
        f.library().showTab(GroupYear);
        QCOMPARE(f.core().browsing().trackNumbers().size(), 6);
        QVERIFY(ui.tabs[GroupYear]->isBordered());
        QVERIFY(!ui.tabs[GroupAll]->isBordered());

        // An artist lists exactly its spelling's tracks in catalogue order.
        f.core().browsing().selectGroupEntry(GroupArtist, 0); // abc
        QCOMPARE(f.core().browsing().trackTitles(),
                 (QStringList{QStringLiteral("Root One"), QStringLiteral("C One")}));
        QCOMPARE(f.core().browsing().selectedTrack(), 0);
        QCOMPARE(f.core().browsing().sourceList(), int(GroupArtist));
        QCOMPARE(f.core().browsing().rememberedGroupEntry(GroupArtist), 0);

        // The genre list holds every distinct name; the folder entry "A/" its own tracks.
        QVERIFY(f.core().groups()[GroupGenre].entries().contains(QStringLiteral("JPop")));
        f.core().browsing().selectGroupEntry(GroupFolder, 1);
        QCOMPARE(f.core().browsing().trackTitles(),
                 (QStringList{QStringLiteral("A One"), QStringLiteral("A Two"),
                              QStringLiteral("a3.wav")}));

        // Cleared WAV box: the folder view no longer shows WAV tracks, "ALL" still does.
        ui.fileTypeBoxes[2]->setChecked(false);
        f.core().browsing().selectGroupEntry(GroupFolder, 0);
        f.core().browsing().selectGroupEntry(GroupFolder, 1);
        QCOMPARE(f.core().browsing().trackTitles(),
                 (QStringList{QStringLiteral("A One"), QStringLiteral("A Two")}));

        // Hovering makes one tab bold and keeps it bold after the pointer has gone.
        f.library().markHoveredTab(3);
        f.library().markHoveredTab(4);
        QVERIFY(ui.tabs[4]->isBoldLook());
        QVERIFY(!ui.tabs[3]->isBoldLook());
    }

    void folderListClickOnVanishedFolderShowsNothing() {
        QTemporaryDir music;
        writeTrack(music.path(), {QStringLiteral("gone/x.mp3"), QStringLiteral("X")});
        auto w = start(music.path());
        QDir(music.path() + QStringLiteral("/gone")).removeRecursively();
        QCOMPARE(w->form->core().browsing().selectedGroupEntry(GroupFolder), 0);
        w->form->library().pickGroupEntry(GroupFolder); // the user clicks the selected entry again
        QVERIFY(w->form->core().browsing().trackTitles().isEmpty());
    }

    void trackAndReservedLists() {
        auto w = start(m_music);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.library().showTab(GroupAll);

        // Six double-clicks under "終了後" keep the first five paths in order.
        for (int i = 0; i < 6; ++i) {
            f.core().browsing().selectTrack(i);
            f.library().reserveSelectedTrack();
        }
        const QStringList reserved = f.core().browsing().reserved().paths();
        QCOMPARE(reserved.size(), 5);
        QCOMPARE(reserved.first(), m_music + QStringLiteral("/root1.mp3"));
        QVERIFY(!f.core().player().reservedPlaying());

        // Removing entries; the last removal leaves reservedPlaying to the focus change.
        ui.reservedList->setCurrentIndex(ui.reservedList->model()->index(0, 0));
        f.library().removeSelectedReserved();
        QCOMPARE(f.core().browsing().reserved().paths().size(), 4);
        f.core().browsing().reserved().clear();

        // Under "即時" the first double-click queues and fades; the second only queues.
        ui.trackChangeOptions[1]->setChecked(true);
        QCOMPARE(m_settings.get(QStringLiteral("option1")), QStringLiteral("False"));
        f.core().browsing().selectTrack(2);
        f.library().reserveSelectedTrack();
        QVERIFY(f.core().player().reservedPlaying());
        QVERIFY(f.core().player().fading());
        QCOMPARE(f.core().player().fadeStartLevel(), 128);
        f.library().reserveSelectedTrack();
        QCOMPARE(f.core().browsing().reserved().paths(),
                 (QStringList{m_music + QStringLiteral("/A/a1.mp3"),
                              m_music + QStringLiteral("/A/a1.mp3")}));
        f.core().browsing().reserved().clear();
        f.library().leaveReservedList();
        QVERIFY(!f.core().player().reservedPlaying());

        // Titles and numbers keep the same selection.
        f.core().browsing().selectTrack(4);
        QCOMPARE(f.core().browsing().selectedNumberEntry(), 4);
    }

    void numberColumnScrollsWithTitles() {
        QTemporaryDir music;
        for (int i = 0; i < 200; ++i)
            writeTrack(music.path(), {QStringLiteral("t%1.mp3").arg(i, 3, 10, QLatin1Char('0')),
                                      QStringLiteral("T%1").arg(i)});
        auto w = start(music.path());
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        ui.titlesList->verticalScrollBar()->setValue(120);
        QCOMPARE(ui.numbersList->verticalScrollBar()->value(), 120);
        ui.numbersList->verticalScrollBar()->setValue(40);
        QCOMPARE(ui.titlesList->verticalScrollBar()->value(), 40);
        QCOMPARE(ui.numbersList->indexAt(QPoint(2, 2)).data().toString(),
                 QString::number(
                     rowOf(ui.titlesList, ui.titlesList->indexAt(QPoint(2, 2)).data().toString())));
    }

    void restoresStoredSettings() {
        m_settings.set(QStringLiteral("Folder"), m_music);
        m_settings.set(QStringLiteral("filter2"), QStringLiteral("0"));
        m_settings.set(QStringLiteral("Fontsize"), QStringLiteral("2"));
        m_settings.set(QStringLiteral("back"), QStringLiteral("0"));
        m_settings.set(QStringLiteral("option1"), QStringLiteral("FALSE"));
        m_settings.set(QStringLiteral("alph"), QStringLiteral("&H40"));
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        // The start-up scan ran before the boxes were restored: WAV files are listed.
        QCOMPARE(f.core().catalogue().rowCount(), 6);
        QVERIFY(!ui.settingsFrame->fileType(2));
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 2);
        QCOMPARE(ui.titlesList->font().pointSizeF(), 14.0);
        for (QListView* list : ui.groupLists) {
            QCOMPARE(list->font().pointSizeF(), 14.0);
            QCOMPARE(list->height(), px(2910));
        }
        QVERIFY(ui.settingsFrame->immediateChange());
        QCOMPARE(ui.settingsFrame->opacity(), 64);
        QVERIFY(f.backgroundWindow());
        QVERIFY(f.backgroundWindow()->isVisible());

        // Closing writes the three boxes and closes the media element.
        QSignalSpy unloaded(&f, &MainWindow::unloaded);
        f.close();
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(m_settings.get(QStringLiteral("filter2")), QStringLiteral("0"));
        QCOMPARE(m_settings.get(QStringLiteral("filter0")), QStringLiteral("1"));
        QCOMPARE(w->mediaLog.last(), QStringLiteral("Close"));
        QVERIFY(!f.backgroundWindow());
    }

    void valuesThatDoNotFitFallBackToDefaults() {
        m_settings.set(QStringLiteral("Folder"), m_music);
        m_settings.set(QStringLiteral("Fontsize"), QString());
        m_settings.set(QStringLiteral("alph"), QStringLiteral("9000"));
        m_settings.set(QStringLiteral("option1"), QStringLiteral("maybe"));
        m_settings.set(QStringLiteral("filter1"), QStringLiteral("7"));
        m_settings.set(QStringLiteral("back"), QStringLiteral("5"));
        m_settings.set(QStringLiteral("filter0"), QStringLiteral("0"));
        m_settings.set(QStringLiteral("color"), QStringLiteral("&Hffffffffffffffffffff"));
        auto w = start();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 0);
        QCOMPARE(ui.settingsFrame->opacity(), 250);
        QVERIFY(!ui.settingsFrame->immediateChange());
        QVERIFY(ui.settingsFrame->fileType(1));
        QVERIFY(ui.settingsFrame->fileType(0));
        QVERIFY(!ui.settingsFrame->backgroundShown());
    }

    void resizeFollowsTheDesignedRules() {
        auto w = start(m_music);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.resize(px(12000), px(6000));
        QCOMPARE(twips(ui.titlesList->width()), 4320.0);
        QCOMPARE(twips(ui.groupLists[0]->width()), 4800.0);
        QCOMPARE(twips(ui.groupLists[5]->width()), 4800.0);
        QCOMPARE(twips(ui.reservedList->width()), 4800.0);
        // Controls round to whole pixels: the web buttons end within a pixel of 11800.
        QVERIFY(std::abs(twips(ui.webButtons->x() + ui.webButtons->width()) - 11800.0) <= 15);
        const ResizeGeometry normal =
            resizeGeometry(12000, 6000, false, 360, 1335, [](double t) { return twips(px(t)); });
        QCOMPARE(normal.webLeft, 5200.0);
        QCOMPARE(normal.webWidth, 6600.0);
        QCOMPARE(normal.webButtonsLeft + 1335, 11800.0);
        QCOMPARE(ui.pages[3]->pos(), ui.pages[0]->pos());

        // The maximised figures, from the same arithmetic the window runs.
        const ResizeGeometry big =
            resizeGeometry(19200, 14400, true, 360, 1335, [](double t) { return t; });
        QCOMPARE(big.titlesWidth, 5920.0);
        QCOMPARE(big.groupWidth, 6400.0);
        QCOMPARE(big.webLeft, 7600.0);
        QCOMPARE(big.webWidth, 10400.0);
        QCOMPARE(*big.webHeight, 12400.0);
        QVERIFY(big.topmost);
        const ResizeGeometry low =
            resizeGeometry(12000, 5000, false, 360, 1335, [](double t) { return t; });
        QVERIFY(!low.webHeight);
        QCOMPARE(
            *resizeGeometry(12000, 6000, false, 360, 1335, [](double t) { return t; }).webHeight,
            3600.0);
    }

    void focusTimerIsAOneShot() {
        auto w = start();
        QWidget* focusBefore = QApplication::focusWidget();
        w->form->armFocusTimer();
        const QTimer* focusTimer = control<QTimer>(*w->form, QStringLiteral("Timer1"));
        QVERIFY(focusTimer->isActive());
        QCOMPARE(QApplication::focusWidget(), focusBefore);
        QTRY_VERIFY_WITH_TIMEOUT(!focusTimer->isActive(), 2000);
    }

    // With the library kept, a file added while the window shows every track comes into the
    // list without moving it: the list scrolled as it was, the same track selected.
    void keptLibraryTakesChangesInPlace() {
        QTemporaryDir cache, music;
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        for (int i = 0; i < 80; ++i)
            writeTrack(music.path(), {QStringLiteral("t%1.mp3").arg(i, 2, 10, QLatin1Char('0')),
                                      QStringLiteral("T%1").arg(i, 2, 10, QLatin1Char('0'))});
        m_settings.set(QStringLiteral("keeplibrary"), QStringLiteral("1"));
        auto w = start(music.path());
        qunsetenv("XDG_CACHE_HOME");
        MainWindow& f = *w->form;
        LibraryKeeper* keeper = f.core().keeper();
        QVERIFY(keeper);
        // The music folder watched (the watches are placed on a thread of their own).
        QTRY_COMPARE_WITH_TIMEOUT(keeper->watcher().watchedFolders(), 1, 20000);
        const WindowControls ui(f);
        f.library().showTab(GroupAll);
        f.core().browsing().selectTrack(40);
        QScrollBar* bar = ui.titlesList->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int scrolled = bar->value();
        QVERIFY(scrolled > 0);
        QSignalSpy upToDate(keeper, &LibraryKeeper::broughtUpToDate);
        writeTrack(music.path(), {QStringLiteral("t00a.mp3"), QStringLiteral("New")});
        QVERIFY(upToDate.wait(20000));
        QCOMPARE(upToDate.at(0).at(0).toBool(), true);
        QCOMPARE(f.core().browsing().trackCount(), 81);
        QCOMPARE(f.core().browsing().trackTitles().at(1), QStringLiteral("New"));
        QCOMPARE(ui.titlesList->currentIndex().data().toString(), QStringLiteral("T40"));
        QCOMPARE(bar->value(), scrolled);
    }

    void savesAPictureOfTheWindow() {
        m_settings.set(QStringLiteral("Folder"), m_music);
        auto w = startWindow(App, true);
        w->form->library().showTab(GroupAll);
        // The picture shows the web panel's page: loaded, and drawn in the panel.
        QVERIFY(webPanelAdded(*w->form));
        const WindowControls ui(*w->form);
        auto* const web = qobject_cast<QWebEngineView*>(ui.webPanel);
        QVERIFY(web);
        QTRY_COMPARE_WITH_TIMEOUT(web->title(), QStringLiteral("Sonavue"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(drawnOn(web->grab().toImage()), 15000);
        QVERIFY(w->form->grab().save(artifactPath(QStringLiteral("main-window.png"))));
    }
};

int main(int argc, char* argv[]) {
    // A home of the test's own, so the documents folder is known and empty.
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    prepareWebEngine();
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_mainwindow.moc"
