// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Player control, volume and keys through the real main window: a media double for the
// exact command sequences, and the real GStreamer element with short files end to end.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "playback/audiofiles.h"
#include "playback/gstmediaelement.h"
#include "playback/testsinks.h"
#include "playback/volume.h"
#include "support/datarow.h"
#include "ui/transport/transportbar.h"
#include "ui/transport/volumebar.h"
#include "ui/window/layoutswitch.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <gst/gst.h>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavuePlayerWindowTest");

// Records the wave-out values as well as the commands.
class RecordingMedia : public FakeMediaControl {
public:
    using FakeMediaControl::FakeMediaControl;
    QList<double> gains;
    void setOutputGain(double gain) override { gains << gain; }
};
} // namespace

class PlayerWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_music;
    SettingsFile m_settings{App};
    QStringList m_log;
    RecordingMedia* m_media = nullptr;

    RunningWindow startWith(std::unique_ptr<MediaControl> media) {
        return startProgram(testOptions(App, std::move(media)));
    }
    RunningWindow startRecorded() {
        m_log.clear();
        auto media = std::make_unique<RecordingMedia>(m_log);
        m_media = media.get();
        return startWith(std::move(media));
    }
    QStringList opened() const {
        QStringList names;
        for (const QString& entry : m_log)
            if (entry.startsWith(QLatin1String("Open ")))
                names << entry.mid(5);
        return names;
    }

private slots:
    void initTestCase() {
        // Two folder entries: A with two tracks, B with one; 0.15 s each.
        m_music = m_dir.path() + QStringLiteral("/music");
        QDir().mkpath(m_music + QStringLiteral("/A"));
        QDir().mkpath(m_music + QStringLiteral("/B"));
        const QByteArray wav = testaudio::wavBytes(150);
        QVERIFY(testaudio::writeFile(m_music + QStringLiteral("/A/a1.wav"), wav));
        QVERIFY(testaudio::writeFile(m_music + QStringLiteral("/A/a2.wav"), wav));
        QVERIFY(testaudio::writeFile(m_music + QStringLiteral("/B/b1.wav"), wav));
        QVERIFY(testaudio::writeFile(m_music + QStringLiteral("/B/long.wav"),
                                     testaudio::wavBytes(2000)));
    }
    void init() {
        m_settings.remove();
        m_settings.set(QStringLiteral("Folder"), m_music);
    }

    void keysReachTheWindowAndTheFocusedControl() {
        auto form = startRecorded();
        MainWindow& f = *form;
        const WindowControls ui(f);
        f.activateWindow();
        ui.folderBox->setFocus();
        ui.folderBox->clear();

        // Keys go to the window as the display server sends them, and on to the focused box.
        // S typed in the folder box starts continuous play and also types s.
        QTest::keyClick(f.windowHandle(), Qt::Key_S);
        QCOMPARE(ui.folderBox->text(), QStringLiteral("s"));
        QCOMPARE(opened(), QStringList{QStringLiteral("a1.wav")});
        QCOMPARE(f.core().player().position().track, std::optional<int>(0));

        // Ctrl+Shift+S is a continuous start too; Ctrl+S a select start.
        QTest::keyClick(f.windowHandle(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(opened().join(","), QStringLiteral("a1.wav,a2.wav"));
        f.core().browsing().selectTrack(0);
        QTest::keyClick(f.windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(opened().last(), QStringLiteral("a1.wav"));
        QCOMPARE(ui.title->text(), QStringLiteral("a1.wav"));

        // W switches to the large layout and types w; W again restores everything.
        QTest::keyClick(f.windowHandle(), Qt::Key_W);
        QVERIFY(f.windowState() & Qt::WindowMaximized);
        QVERIFY(ui.folderBox->text().endsWith(QLatin1Char('w')));
        for (QWidget* hidden : std::initializer_list<QWidget*>{
                 ui.transportBar, ui.stopButton, ui.titleStrip, ui.settingsFrame,
                 ui.continuousStartButton, ui.selectStartButton, ui.volumeBar})
            QVERIFY(hidden->isHidden());
        QTRY_VERIFY(staysOnTop(f));
        f.handleKey(Qt::Key_W, Qt::NoModifier);
        QVERIFY(!(f.windowState() & Qt::WindowMaximized));
        QVERIFY(ui.settingsFrame->isVisible() && ui.titleStrip->isVisible() &&
                ui.volumeBar->isVisible());
        QTRY_VERIFY(!staysOnTop(f));
        QVERIFY(!f.backgroundWindow()); // "無し": W shows no background
    }

    // Ctrl+C empties the reserved list and Ctrl+Q closes the window, each with Ctrl alone: with
    // Alt or Shift as well they do nothing.
    void ctrlKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("acts");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        dataRow("Ctrl+C", int(Qt::Key_C), ctrl, true);
        dataRow("Alt+C", int(Qt::Key_C), Qt::KeyboardModifiers(Qt::AltModifier), false);
        dataRow("Ctrl+Shift+C", int(Qt::Key_C), (ctrl | Qt::ShiftModifier), false);
        dataRow("Ctrl+Alt+C", int(Qt::Key_C), (ctrl | Qt::AltModifier), false);
        dataRow("Ctrl+Q", int(Qt::Key_Q), ctrl, true);
        dataRow("Ctrl+Shift+Q", int(Qt::Key_Q), (ctrl | Qt::ShiftModifier), false);
        dataRow("Ctrl+Alt+Q", int(Qt::Key_Q), (ctrl | Qt::AltModifier), false);
    }
    void ctrlKeys() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, acts);
        auto form = startRecorded();
        MainWindow& f = *form;
        f.library().reserveSelectedTrack();
        QCOMPARE(f.core().browsing().reserved().count(), 1);
        QSignalSpy unloaded(&f, &MainWindow::unloaded);
        QTest::keyClick(f.windowHandle(), Qt::Key(key), modifiers);
        const bool emptied = acts && key == Qt::Key_C;
        const bool closed = acts && key == Qt::Key_Q;
        QCOMPARE(f.core().browsing().reserved().count(), emptied ? 0 : 1);
        QCOMPARE(unloaded.count(), closed ? 1 : 0); // closing with everything its closing does
        QCOMPARE(m_log.value(m_log.size() - 1) == QStringLiteral("Close"), closed);
    }

    void wShowsTheBackgroundWhenItIsOnAndIgnoresAMinimizedWindow() {
        auto form = startRecorded();
        MainWindow& f = *form;
        const WindowControls ui(f);
        ui.backgroundOptions[0]->setChecked(true);
        QVERIFY(f.backgroundWindow());
        f.backgroundWindow()->hide();
        f.handleKey(Qt::Key_W, Qt::NoModifier);
        QVERIFY(f.backgroundWindow()->isVisible());
        f.handleKey(Qt::Key_W, Qt::NoModifier);
        f.setWindowState(Qt::WindowMinimized);
        f.handleKey(Qt::Key_W, Qt::NoModifier);
        QVERIFY(f.windowState() & Qt::WindowMinimized);
        QVERIFY(!(f.windowState() & Qt::WindowMaximized));
    }

    void volumeBarAndLabel() {
        auto form = startRecorded();
        MainWindow& f = *form;
        const WindowControls ui(f);
        // No volume is sent at start; the label shows 128 and so does the bar.
        QVERIFY(m_media->gains.isEmpty());
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("128"));
        QCOMPARE(ui.volumeBar->level(), 128);
        // Top of the bar is 255, bottom 0.
        ui.volumeBar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("255"));
        QCOMPARE(m_media->gains.last(), 1.0);
        ui.volumeBar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("0"));
        QCOMPARE(m_media->gains.last(), 0.0);
        QCOMPARE(ui.volumeBar->singleStep(), 1);
        QCOMPARE(ui.volumeBar->pageStep(), 16);
        f.setVolumeLevel(300);
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("255"));
        f.setVolumeLevel(-5);
        QCOMPARE(m_media->gains.last(), 0.0);
        f.setVolumeLevel(128);
        f.setVolumeLevel(f.core().volume().level() - 10);
        QCOMPARE(ui.volumeLabel->text(), QStringLiteral("118"));
        QCOMPARE(m_media->gains.last(), levelGain(0x76));
    }

    void nowPlayingShowsTheTagTitleWithoutItsPadding() {
        QTemporaryDir music;
        writeTrack(music.path(), {QStringLiteral("t.mp3"), QStringLiteral("夜明け")});
        m_settings.set(QStringLiteral("Folder"), music.path());
        auto form = startRecorded();
        const WindowControls ui(*form);
        ui.continuousStartButton->click();
        QCOMPARE(opened(), QStringList{QStringLiteral("t.mp3")});
        QCOMPARE(ui.title->text().trimmed(), QStringLiteral("夜明け"));
        QVERIFY(!ui.title->text().contains(QChar(0)));
    }

    void emptyTrackListLeavesThePlayerIdle() {
        QTemporaryDir empty;
        m_settings.set(QStringLiteral("Folder"), empty.path());
        auto form = startRecorded();
        const WindowControls ui(*form);
        ui.continuousStartButton->click();
        ui.selectStartButton->click();
        QVERIFY(opened().isEmpty());
        m_media->finish(PlayEnd::Reached);
        QVERIFY(opened().isEmpty());
    }

    void continuousPlayWithRealGStreamer() {
        auto form = startWith(std::make_unique<GstMediaElement>(&realTimeFakeSink));
        MainWindow& f = *form;
        const WindowControls ui(f);
        QStringList played;
        connect(&f.core().media(), &MediaControl::finished, &f,
                [&] { played << QFileInfo(f.core().media().fileName()).fileName(); });

        // A reserved track plays first, then the first group entry, the next, and the wrap.
        QCOMPARE(f.core().groups()[GroupFolder].entries(),
                 (QStringList{QStringLiteral("A/"), QStringLiteral("B/")}));
        f.core().browsing().selectGroupEntry(GroupFolder, 1);
        f.core().browsing().selectTrack(0);
        f.library().reserveSelectedTrack(); // b1.wav reserved
        f.core().browsing().selectGroupEntry(GroupFolder, 0);
        ui.continuousStartButton->click();
        QCOMPARE(QFileInfo(f.core().media().fileName()).fileName(), QStringLiteral("b1.wav"));
        QTRY_VERIFY_WITH_TIMEOUT(played.size() >= 5, 15000);
        QCOMPARE(played.mid(0, 5),
                 (QStringList{"a1.wav", "a2.wav", "b1.wav", "long.wav", "a1.wav"}));
        ui.stopButton->click();
    }

    void immediateModeFadesThenPlaysTheReservedTrack() {
        auto form = startWith(std::make_unique<GstMediaElement>(&realTimeFakeSink));
        MainWindow& f = *form;
        const WindowControls ui(f);
        ui.trackChangeOptions[1]->setChecked(true);
        f.core().browsing().selectGroupEntry(GroupFolder, 1);
        f.core().browsing().selectTrack(1); // long.wav
        ui.selectStartButton->click();
        QTRY_COMPARE(f.core().media().state(), MediaControl::State::Playing);

        QStringList levels;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, &f, [&] {
            if (levels.isEmpty() || levels.last() != ui.volumeLabel->text())
                levels << ui.volumeLabel->text();
        });
        sampler.start(10);
        f.core().browsing().selectTrack(0); // b1.wav
        f.library().reserveSelectedTrack();
        QVERIFY(f.core().player().reservedPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(f.core().media().fileName()).fileName(),
                                  QStringLiteral("b1.wav"), 5000);
        QTRY_COMPARE(ui.volumeLabel->text(), QStringLiteral("128"));
        sampler.stop();
        // The level fell by 8 a tick from 128.
        QVERIFY(levels.contains(QStringLiteral("120")));
        QVERIFY(levels.contains(QStringLiteral("64")));
        QVERIFY(levels.contains(QStringLiteral("8")));
        for (const QString& level : levels)
            QCOMPARE((128 - level.toInt() + 1024) % 8, 0);
        QVERIFY(!f.core().player().fading());
        ui.stopButton->click();
    }
};

int main(int argc, char* argv[]) {
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    gst_init(&argc, &argv);
    QApplication app(argc, argv);
    PlayerWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_playerwindow.moc"
