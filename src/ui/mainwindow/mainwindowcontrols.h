// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The main window's controls as a form designer's setup makes them: each created as a child
// of the window at its twips (/ 15), with its long-standing object name and what a screen
// reader says of it. What the controls do is the window's wiring; this only builds them.
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace sonavue {

class FindField;
class GroupPages;
class ImageButton;
class PlayerCore;
class ReservedListView;
class SettingsFrame;
class TitleStrip;
class TrackListPane;
class TransportBar;
class VolumeBar;
class WebPanelControl;

struct MainWindowControls {
    // Builds every control on window over the core's models, all but the web panel.
    void setupUi(QWidget& window, PlayerCore& core);
    // Builds the web panel at its place under the web buttons, from the module in the
    // program's folder; returns why not when it cannot. Until then webPanel is null; it stays
    // so in a window made without it (tests that do not need the engine).
    QString addWebPanel(QWidget& window, const QString& programFolder);
    // Places what the window's size moves (the resize rule, from the window's outer size in
    // pixels); returns whether the window is to stay on top.
    bool layOut(int width, int height, bool maximized);

    TitleStrip* titleStrip = nullptr;
    QLabel* nowLabel = nullptr;
    QLabel* title = nullptr; // the now-playing text
    TrackListPane* tracks = nullptr;
    FindField* find = nullptr; // over the track list while a find is open
    QProgressBar* foldersBar = nullptr;
    QProgressBar* filesBar = nullptr;
    WebPanelControl* webPanel = nullptr; // the widget is a child of the window
    QWidget* webButtons = nullptr;
    ImageButton* homeButton = nullptr;
    ImageButton* backButton = nullptr;
    GroupPages* groupPages = nullptr;
    QLabel* reservedLabel = nullptr;
    QLabel* volumeLabel = nullptr;
    ReservedListView* reservedList = nullptr;
    TransportBar* transportBar = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* continuousStartButton = nullptr;
    QPushButton* selectStartButton = nullptr;
    VolumeBar* volumeBar = nullptr;
    SettingsFrame* settingsFrame = nullptr;

private:
    void nameControls();
    void describeControls();
};

} // namespace sonavue
