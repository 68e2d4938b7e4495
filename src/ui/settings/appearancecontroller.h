// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The appearance options of the settings frame: the window's opacity and colour, the
// track-change option, the background picture, the lists' font size and the file types. A
// choice takes effect at once and is stored; at start-up the stored options are applied
// through the same handling, as if chosen. What changes for the windows is told by signals.
#include "base/settingskeys.h"

#include <QObject>
#include <QPoint>

namespace sonavue {

class PlayerControl;
class SettingsFrame;

class AppearanceController : public QObject {
    Q_OBJECT
public:
    // frame, player and settings outlive it.
    AppearanceController(SettingsFrame& frame, PlayerControl& player,
                         const ProgramSettings& settings, QObject* parent);

    // The stored colour, track-change option, opacity, file types (letting events run after
    // each) and font size, in this order. False when the window unloaded meanwhile: then
    // nothing after that point is applied.
    bool applyStoredOptions();
    // The stored background choice: for once the window is shown.
    void applyStoredBackground();

    // The frame's choices: each takes effect and is stored.
    void applyOpacity();
    void applyTrackChange();
    void applyBackground(int index);
    void applyFontSize(int index);
    // A mouse button let go at point over the palette: the left one picks the colour there
    // (-1 outside the picture).
    void pickColour(Qt::MouseButton button, QPoint point);

    // The window unloads: no choice is stored from now on.
    void stopStoring() { m_storing = false; }
    // The file-type boxes as they are, stored at the unload.
    void storeFileTypes();

signals:
    // The window's colour, as the setting or the palette gives it.
    void colourChanged(double colour);
    // The window's opacity, 0 to 1.
    void opacityChanged(double opacity);
    void listFontSizeChanged(double points);
    // The background picture is to be shown behind the window (true) or closed; the window
    // then has the focus.
    void backgroundChanged(bool shown);

private:
    SettingsFrame& m_frame;
    PlayerControl& m_player;
    const ProgramSettings& m_settings;
    bool m_storing = true;
};

} // namespace sonavue
