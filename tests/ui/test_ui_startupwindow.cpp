// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The start-up and the scans as the window lives them: stored values read by the number
// rules, a stored folder whose name is not UTF-8, closing the window while a scan runs,
// and the progress bars when one scan replaces another.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "base/nativepath.h"
#include "tags/containertags.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <cstdio>
#include <sys/stat.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueStartupWindowTest");
constexpr int BigFolders = 20;
constexpr int FilesPerFolder = 2;

void writeLibrary(const QString& root, int folders) {
    for (int i = 0; i < folders; ++i)
        for (int j = 0; j < FilesPerFolder; ++j)
            writeTrack(root, {QStringLiteral("f%1/t%2.mp3").arg(i, 3, 10, QLatin1Char('0')).arg(j),
                              QStringLiteral("T%1.%2").arg(i).arg(j)});
}

// writeTrack for a folder whose name only its bytes spell (Qt's own file classes would
// write the name as UTF-8 text).
void writeTrackByBytes(const QString& folder, const QString& name, const QString& title) {
    QTemporaryDir staging;
    writeTrack(staging.path(), {name, title});
    QVERIFY(::mkdir(pathToNative(folder).constData(), 0755) == 0);
    QVERIFY(::rename(pathToNative(staging.filePath(name)).constData(),
                     pathToNative(folder + QLatin1Char('/') + name).constData()) == 0);
}

// Runs action once, at the first of the scan's pauses at which ready() holds.
class AtScanPause : public QObject {
public:
    AtScanPause(std::function<bool()> ready, std::function<void()> action)
        : m_ready(std::move(ready)), m_action(std::move(action)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_done || !m_ready())
                return;
            m_done = true;
            m_timer.stop();
            m_action();
        });
        m_timer.start(0);
    }
    bool done() const { return m_done; }

private:
    std::function<bool()> m_ready;
    std::function<void()> m_action;
    QTimer m_timer;
    bool m_done = false;
};
} // namespace

class StartupWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_music; // one folder, one track
    QString m_big;   // enough folders that a scan pauses many times
    QString m_empty; // no music at any depth
    SettingsFile m_settings{App};

    std::unique_ptr<StartedWindow> start(const std::function<void(MainWindow&)>& windowMade = {},
                                         FolderDialog dialog = {}) {
        auto started = std::make_unique<StartedWindow>();
        auto media = std::make_unique<FakeMediaControl>(started->mediaLog);
        started->media = media.get();
        StartOptions options = testOptions(App, std::move(media));
        options.window.folderDialog = std::move(dialog);
        started->form = startProgram(std::move(options), windowMade);
        return started;
    }

private slots:
    void initTestCase() {
        m_music = m_dir.filePath(QStringLiteral("music"));
        m_big = m_dir.filePath(QStringLiteral("big"));
        m_empty = m_dir.filePath(QStringLiteral("empty"));
        writeTrack(m_music, {QStringLiteral("one.mp3"), QStringLiteral("One")});
        writeLibrary(m_big, BigFolders);
        QVERIFY(QDir().mkpath(m_empty + QStringLiteral("/sub")));
        QFile note(m_empty + QStringLiteral("/sub/notes.txt"));
        QVERIFY(note.open(QIODevice::WriteOnly));
    }

    void init() {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_music);
    }

    // An empty value is not a missing one: the leading-number rule reads it as 0.
    void emptyValuesReadAsZero() {
        for (const char* key : {"back", "Fontsize", "filter1", "filter2", "alph"})
            m_settings.set(QString::fromLatin1(key), QString());
        auto started = start();
        MainWindow& f = *started->form;
        const WindowControls ui(f);
        QVERIFY(ui.settingsFrame->backgroundShown());
        QVERIFY(f.backgroundWindow() && f.backgroundWindow()->isVisible());
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 0);
        QVERIFY(!ui.settingsFrame->fileType(1));
        QVERIFY(!ui.settingsFrame->fileType(2));
        QVERIFY(ui.settingsFrame->fileType(0)); // MP3 files are always listed
        // 0 is no opacity the slider can take: the default stands in.
        QCOMPARE(ui.settingsFrame->opacity(), 250);
    }

    // Values the program never writes, outside what their controls take, give the default.
    void outOfRangeValuesGiveTheDefault() {
        m_settings.set(QStringLiteral("back"), QStringLiteral("7"));
        m_settings.set(QStringLiteral("Fontsize"), QStringLiteral("-1"));
        m_settings.set(QStringLiteral("filter2"), QStringLiteral("2"));
        m_settings.set(QStringLiteral("alph"), QStringLiteral("300"));
        auto started = start();
        MainWindow& f = *started->form;
        const WindowControls ui(f);
        QVERIFY(!ui.settingsFrame->backgroundShown());
        QVERIFY(!f.backgroundWindow());
        QCOMPARE(ui.settingsFrame->fontSizeIndex(), 0);
        QVERIFY(ui.settingsFrame->fileType(2));
        QCOMPARE(ui.settingsFrame->opacity(), 250);
    }

    // Folder names are bytes: one that is not UTF-8 is kept and scanned like any other.
    void folderNamedByBytesIsKept() {
        const QString folder =
            m_dir.path() + QStringLiteral("/caf") + pathFromNative(QByteArray("\xe9 \xff\xfe", 4));
        QVERIFY(pathToNative(folder).endsWith("caf\xe9 \xff\xfe"));
        writeTrackByBytes(folder, QStringLiteral("track.mp3"), QStringLiteral("Escaped"));
        QCOMPARE(acceptedMusicFolder(folder), folder);

        m_settings.set(QStringLiteral("Folder"), folder);
        auto started = start();
        MainWindow& f = *started->form;
        const WindowControls ui(f);
        QCOMPARE(ui.settingsFrame->folderText(), folder);
        QCOMPARE(f.core().browsing().folderPrefix(), folder + QLatin1Char('/'));
        QCOMPARE(f.core().browsing().trackTitles(), QStringList{QStringLiteral("Escaped")});
    }

    // The "types" setting adds its file types to what the boxes list, at start-up and after
    // a box changes; without it a FLAC file is not listed.
    void optInTypesJoinTheBoxes() {
        const QString folder = m_dir.filePath(QStringLiteral("mixed"));
        writeTrack(folder, {QStringLiteral("a.mp3"), QStringLiteral("Mp3")});
        QFile flac(folder + QStringLiteral("/b.FLAC"));
        QVERIFY(flac.open(QIODevice::WriteOnly) && flac.write("fLaC") == 4);
        flac.close();
        m_settings.set(QStringLiteral("Folder"), folder);
        {
            auto started = start();
            const PlayerCore& core = started->form->core();
            QCOMPARE(core.browsing().trackTitles(), QStringList{QStringLiteral("Mp3")});
            QVERIFY(!core.browsing().filePattern().matches(QStringLiteral("b.FLAC")));
        }
        m_settings.set(QStringLiteral("types"), QStringLiteral(" Flac ,wma"));
        auto started = start();
        MainWindow& f = *started->form;
        QCOMPARE(f.core().tagReading().extraTypes, unsigned(ExtraFlac));
        QCOMPARE(f.core().browsing().trackTitles(), (QStringList{"Mp3", "b.FLAC"}));
        const WindowControls ui(f);
        ui.settingsFrame->setFileType(1, false); // MID off: the pattern is made again
        QCOMPARE(f.core().browsing().filePattern().text(), QStringLiteral("*.MP3;*.wav;*.flac"));
    }

    // Closed from one of the start-up scan's pauses (as a quit signal closes it): the scan
    // stops, the start-up ends there, and only the unload's settings are written.
    void closingDuringTheStartupScanEndsIt() {
        m_settings.set(QStringLiteral("Folder"), m_big);
        std::unique_ptr<AtScanPause> closer;
        bool closedDuringScan = false;
        auto started = start([&](MainWindow& form) {
            closer = std::make_unique<AtScanPause>([&form] { return form.scanRunning(); },
                                                   [&] {
                                                       closedDuringScan = true;
                                                       form.close();
                                                   });
        });
        MainWindow& f = *started->form;
        QVERIFY(closedDuringScan);
        QVERIFY(started->form.program().ended);
        QVERIFY(!f.scanRunning());
        QVERIFY(!f.isVisible());
        QCOMPARE(f.core().catalogue().rowCount(), 0);
        QVERIFY(started->mediaLog.contains(QStringLiteral("Close")));
        for (const char* key : {"filter0", "filter1", "filter2"})
            QCOMPARE(m_settings.get(QString::fromLatin1(key)), QStringLiteral("1"));
        // The later start-up steps would have written these through their controls.
        for (const char* key : {"alph", "Fontsize", "back", "option1", "color"})
            QCOMPARE(m_settings.get(QString::fromLatin1(key)), QStringLiteral("<missing>"));
        QCOMPARE(m_settings.get(QStringLiteral("Folder")), m_big);
    }

    // Ctrl+Q in a pause of a scan of a newly chosen folder: the window unloads, the scan
    // goes no further and the chosen folder is not stored after the unload.
    void ctrlQDuringAFolderScanStopsIt() {
        auto started =
            start({}, [this](QWidget*, const QString&, const QString&) { return m_big; });
        MainWindow& f = *started->form;
        QVERIFY(f.isVisible());
        m_settings.set(QStringLiteral("alph"), QStringLiteral("250"));
        QSignalSpy unloaded(&f, &MainWindow::unloaded);
        QSignalSpy finished(&f, &MainWindow::scanFinished);
        AtScanPause quit([&f] { return f.scanRunning(); },
                         [&f] {
                             // As a person presses it: to the window, on to the focus.
                             QTest::keyClick(f.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
                         });
        f.musicFolder().choose();
        QVERIFY(quit.done());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!f.isVisible());
        QVERIFY(!f.scanRunning());
        QCOMPARE(finished.count(), 0);
        QVERIFY(f.core().catalogue().rowCount() < BigFolders * FilesPerFolder);
        QCOMPARE(m_settings.get(QStringLiteral("Folder")), m_music);
        // No scan starts after the unload either: the catalogue stays as the unload left it.
        const int rows = f.core().catalogue().rowCount();
        f.musicFolder().set(m_big);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(f.core().catalogue().rowCount(), rows);
    }

    // A scan reading tags (bars shown) replaced by a scan of a folder without music: the
    // new scan never reads a tag, and the window is idle with both bars hidden.
    void progressBarsGoWhenAnEmptyFolderReplacesAScan() {
        auto started = start();
        MainWindow& f = *started->form;
        const WindowControls ui(f);
        QVERIFY(ui.foldersBar->isHidden() && ui.filesBar->isHidden());
        AtScanPause replace([&ui] { return !ui.foldersBar->isHidden(); },
                            [this, &f] { f.musicFolder().set(m_empty); });
        f.musicFolder().set(m_big);
        QVERIFY(replace.done());
        QCOMPARE(f.core().browsing().folderPrefix(), m_empty + QLatin1Char('/'));
        QCOMPARE(f.core().catalogue().rowCount(), 0);
        QVERIFY(ui.foldersBar->isHidden());
        QVERIFY(ui.filesBar->isHidden());
    }
};

QTEST_MAIN(StartupWindowTest)
#include "test_ui_startupwindow.moc"
