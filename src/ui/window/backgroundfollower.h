// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The background window's life beside the main window: it is made when the background is
// chosen, lies exactly behind the main window through its moves and resizes, hides while the
// window is dragged by its title strip and comes back behind it after, and goes with it.
#include "ui/window/backgroundwindow.h"

#include <QObject>
#include <QPointer>

namespace sonavue {

class SettingsFrame;
class WindowDrag;

class BackgroundFollower : public QObject {
    Q_OBJECT
public:
    // window: the main window; frame: whose background option says whether the picture is
    // shown; drag: the title strip's drag of the window.
    BackgroundFollower(QWidget& window, const SettingsFrame& frame, const WindowDrag& drag);
    // The background window goes with the main window.
    ~BackgroundFollower() override;

    // The background window while it exists.
    BackgroundWindow* window() const { return m_background; }

    // Makes the background window when there is none, shows it and puts it behind the main
    // window.
    void show();
    // Shows it again (as show()) when the background option is on.
    void showIfChosen();
    // Closes and deletes it.
    void close();
    // Deletes it without its closing handling: for the main window's unload.
    void discard();
    // Takes the main window's place and size, when it is shown and no drag is under way.
    void align();
    // Takes the main window's new size, height first, when the background option is on.
    void takeWindowSize();

private:
    void dragStarted();
    void dragFinished();

    QWidget& m_window;
    const SettingsFrame& m_frame;
    const WindowDrag& m_drag;
    QPointer<BackgroundWindow> m_background;
};

} // namespace sonavue
