// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// A playlist from outside becomes the track list: its playable entries in order, titled by
// the library, the file's tag or the playlist; play goes through it and round; a find over it
// gives it back; the list shown is written out as M3U8 by Ctrl+E and by the settings area's
// menu.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "catalogue/playlistfile.h"
#include "support/queuedcalls.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QWindow>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavuePlaylistsTest");

struct Window {
    RunningWindow form;
    StatefulMedia* media = nullptr;
    QStringList log;
};

std::unique_ptr<Window> openWindow(const QString& savedTo = {}) {
    auto window = std::make_unique<Window>();
    auto media = std::make_unique<StatefulMedia>(window->log);
    window->media = media.get();
    StartOptions options = testOptions(App, std::move(media));
    options.window.playlistDialog = [savedTo](QWidget*) { return savedTo; };
    window->form = startProgram(std::move(options));
    return window;
}
} // namespace

class PlaylistsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SettingsFile m_settings{App};
    QString m_music, m_lists;

    QString list(const char* name) const {
        return m_lists + QLatin1Char('/') + QLatin1String(name);
    }

private slots:
    void initTestCase() {
        m_music = m_dir.filePath(QStringLiteral("music"));
        m_lists = m_dir.filePath(QStringLiteral("lists"));
        writeTrack(m_music, {QStringLiteral("A/one.mp3"), QStringLiteral("One")});
        writeTrack(m_lists, {QStringLiteral("b.mp3"), QStringLiteral("Tag B")});
        writeTrack(m_lists, {QStringLiteral("c.mp3"), {}, {}, {}, {}, 12, false});
        QVERIFY(writeFile(list("notes.txt"), "x"));
        QCOMPARE(::mkfifo(QFile::encodeName(list("pipe.mp3")).constData(), 0600), 0);
        QVERIFY(writeFile(list("mix.m3u8"),
                          "\xEF\xBB\xBF#EXTM3U\r\n../music/A/one.mp3\r\n#EXTINF:1,Extinf B\r\n"
                          "b.mp3\r\nmissing.mp3\r\npipe.mp3\r\nnotes.txt\r\nhttp://x/y.mp3\r\n"
                          "#EXTINF:2,Only Extinf\r\nfile://" +
                              QFile::encodeName(list("c.mp3")) + "\r\n"));
        QVERIFY(writeFile(list("none.pls"), "[playlist]\nFile1=missing.mp3\n"));
        m_settings.set(QStringLiteral("Folder"), m_music);
    }

    // Nothing plays: the list shows and play starts with its first entry; the step goes
    // through it and round, and each title comes from the library, the tag or the playlist.
    void becomesTheTrackListAndPlaysThrough() {
        auto w = openWindow();
        Transport& transport = w->form->core().transport();
        const WindowControls ui(*w->form);
        w->log.clear();
        QCOMPARE(transport.openFiles({list("mix.m3u8")}), QStringList{QString()});
        QCOMPARE(w->form->core().browsing().shownKind(), BrowsingModel::RowsKind::Playlist);
        QCOMPARE(rows(ui.titlesList).size(), 3);
        QTRY_COMPARE(rows(ui.titlesList), (QStringList{"One", "Tag B", "Only Extinf"}));
        QTRY_COMPARE(openedNames(w->log), QStringList{"one.mp3"});
        transport.next();
        w->media->finish(PlayEnd::Reached);
        w->media->finish(PlayEnd::Reached);
        QCOMPARE(openedNames(w->log), (QStringList{"one.mp3", "b.mp3", "c.mp3", "one.mp3"}));
        QCOMPARE(highlighted(ui.titlesList), 0);
        // A playlist none of whose entries plays leaves everything as it was.
        QVERIFY(transport.openFiles({list("none.pls")}).value(0).contains("no entry"));
        QCOMPARE(rows(ui.titlesList).size(), 3);
    }

    // While a track plays it plays on; the step after it takes the playlist's first entry.
    void whilePlayingThePlaylistFollows() {
        auto w = openWindow();
        w->media->playState = MediaControl::State::Playing;
        w->log.clear();
        QCOMPARE(w->form->core().transport().openFiles({list("mix.m3u8")}), QStringList{QString()});
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(openedNames(w->log), QStringList());
        w->media->finish(PlayEnd::Reached);
        QCOMPARE(openedNames(w->log), QStringList{"one.mp3"});
    }

    // A find over the playlist, emptied with Esc, gives the playlist back with its highlight.
    void findGivesThePlaylistBack() {
        auto w = openWindow();
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        w->media->playState = MediaControl::State::Playing; // nothing starts
        f.core().transport().openFiles({list("mix.m3u8")});
        f.core().browsing().selectTrack(2);
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QWindow* window = f.windowHandle();
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(window, 'o');
        QCOMPARE(rows(ui.titlesList), QStringList{"One"}); // the library's tracks
        QTest::keyClick(window, Qt::Key_Escape);
        QCOMPARE(f.core().browsing().shownKind(), BrowsingModel::RowsKind::Playlist);
        QTRY_COMPARE(rows(ui.titlesList), (QStringList{"One", "Tag B", "Only Extinf"}));
        QCOMPARE(highlighted(ui.titlesList), 2);
    }

    // Ctrl+E and the settings area's menu write the list shown, read back entry for entry.
    void savesTheShownListByKeyAndMenu() {
        const QString saved = list("saved");
        auto w = openWindow(saved);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        w->media->playState = MediaControl::State::Playing;
        f.core().transport().openFiles({list("mix.m3u8")});
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(f.windowHandle(), Qt::Key_E, Qt::ControlModifier);
        Playlist read;
        QCOMPARE(readPlaylist(saved + QStringLiteral(".m3u8"), read), QString());
        QCOMPARE(read.entries.size(), std::size_t(3));
        QCOMPARE(read.entries[0].path, m_music + QStringLiteral("/A/one.mp3"));
        QCOMPARE(read.entries[2].path, list("c.mp3"));
        QCOMPARE(read.entries[1].title, QStringLiteral("Tag B"));

        QVERIFY(QFile::remove(saved + QStringLiteral(".m3u8")));
        f.core().browsing().showAllTracks(); // the library's one track
        // A right click on the settings area's caption, the menu's second item.
        auto* caption = f.findChild<QLabel*>(QStringLiteral("Label2"));
        QVERIFY(caption);
        QTest::mouseClick(f.windowHandle(), Qt::RightButton, {},
                          caption->mapTo(&f, caption->rect().center()));
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QAction* save = menu->actions().value(1);
        QVERIFY(save);
        QCOMPARE(save->text(), QStringLiteral("プレイリストとして保存…"));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(save).center());
        QTRY_COMPARE(readPlaylist(saved + QStringLiteral(".m3u8"), read), QString());
        QCOMPARE(read.entries.size(), std::size_t(1));
        QCOMPARE(read.entries[0].title, QStringLiteral("One"));
    }
};

QTEST_MAIN(PlaylistsTest)
#include "test_ui_playlists.moc"
