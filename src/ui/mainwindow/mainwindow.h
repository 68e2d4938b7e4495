// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window over the player's core. Its controls (MainWindowControls) are placed at
// their twips; the window wires what they ask for to the core and to the classes that handle
// it (the library's panes, the music folder, the appearance options), and shows the core's
// state.
#include "base/settingskeys.h"
#include "core/playercore.h"
#include "ui/cards/cardwindows.h"
#include "ui/mainwindow/mainwindowcontrols.h"
#include "ui/settings/folderchooser.h"
#include "ui/settings/optinsettings.h"
#include "ui/transport/nowplayingtext.h"
#include "ui/window/backgroundwindow.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace sonavue {

class AppearanceController;
class BackgroundFollower;
class KeyPreview;
class LayoutSwitch;
class LibraryPanes;
class MusicFolder;
class SessionResume;
class SettingsDialog;
class WindowDrag;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString appName = QStringLiteral("Sonavue");
        FolderDialog folderDialog; // empty: the platform's folder dialog
        // The folder chooser's message box; empty: a modal QMessageBox.
        std::function<void(const QString& text)> showMessage;
        bool withWebPanel = true; // tests run without the web engine when they can
        // Asks where the track list is written as a playlist; empty: the platform's dialog.
        std::function<QString(QWidget* owner)> playlistDialog;
    };
    // The window shows and drives core, which outlives it.
    MainWindow(PlayerCore& core, Options options);
    ~MainWindow() override;

    // The volume level, held to 0..255; the level label and the output follow it.
    void setVolumeLevel(double level);
    // The window's colour, a number as the colour setting holds it (-1: none of its own).
    void setColour(double colour);
    // Starts the focus timer's one shot of 300 ms (the web panel took the focus, or the tag
    // card closed).
    void armFocusTimer();
    // The window's keys, as keyCommandFor reads them: the player's verbs, or the window's own.
    void handleKey(int keyCode, Qt::KeyboardModifiers modifiers);

    bool scanRunning() const { return m_core.scan().running(); }

    // The library's panes and what the user does in them.
    LibraryPanes& library() const { return *m_library; }
    // The music folder, its scan and the file types listed.
    MusicFolder& musicFolder() const { return *m_musicFolder; }
    // The appearance options' handling, and the stored options applied at start-up.
    AppearanceController& appearance() const { return *m_appearance; }
    // The title strip's size label: the window shrinks to its strip, or takes its full size.
    void toggleCompactSize();
    void showAboutLine() { m_cards.showAbout(); }
    // The settings dialog of the opt-in keys (Ctrl+, or the settings frame's context menu):
    // opened, or brought to the front when it is open.
    void openSettingsDialog();
    // The opt-in keys, and which of them the running player takes at once.
    OptInSettings& optInSettings() { return m_optInSettings; }
    // The track list shown, written as an M3U8 playlist where the user says (Ctrl+E or the
    // track list's context menu); a failure is told in a message box.
    void saveTrackList();

    PlayerCore& core() const { return m_core; }
    BackgroundWindow* backgroundWindow() const;
    TagCard* tagWindow() const { return m_cards.tag(); }
    SplashCard* splashWindow() const { return m_cards.splash(); }
    int currentColour() const { return m_colour; }
    SettingsFrame& settingsFrame() const { return *ui.settingsFrame; }

signals:
    void unloaded();     // unload has run: the program ends
    void scanFinished(); // a scan finished (not superseded)

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Tab and Shift+Tab, from every control and from the web panel's page when its last link
    // passes the focus on, go round the controls in reading order.
    bool focusNextPrevChild(bool next) override;

private:
    void wireControls();
    void wireTitleStrip();
    void wireLists();
    void wireAppearance();
    void wireResume();
    void keepResuming(int mode);
    void wireOptInSettings();
    void load();
    void addWebPanel();
    void unload();
    void applyLayout();
    void showLevel(int level);
    void setNowPlaying(const QString& text);

    MainWindowControls ui;     // children of the window, under their long-standing object names
    QTimer m_focusTimer{this}; // armFocusTimer's one shot, 300 ms

    PlayerCore& m_core;
    Options m_options;
    ProgramSettings m_settings{m_options.appName};
    OptInSettings m_optInSettings{m_settings}; // notes the opt-in keys as this run began

    NowPlayingText m_nowPlaying;
    int m_colour = 0xE0E0E0;
    CardWindows m_cards{*this, m_core.tagReading(), [this] { armFocusTimer(); }};

    WindowDrag* m_windowDrag = nullptr; // moves the window by its title strip
    std::unique_ptr<BackgroundFollower> m_background;
    AppearanceController* m_appearance = nullptr;
    SessionResume* m_resume = nullptr; // with the resume setting on
    LibraryPanes* m_library = nullptr;
    MusicFolder* m_musicFolder = nullptr;
    KeyPreview* m_keyPreview = nullptr;
    std::unique_ptr<LayoutSwitch> m_layoutSwitch; // W
    QPointer<SettingsDialog> m_settingsDialog;    // while it is open
    bool m_unloaded = false;
    bool m_scanDone = false;            // a scan has filled the library
    bool m_webPanelAwaitsPaint = false; // the web panel is made after the first paint
};

} // namespace sonavue
