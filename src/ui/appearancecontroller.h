// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The appearance options of the settings frame: the window's opacity and colour, the
// track-change option, the background picture, the lists' font size and the file types. A
// choice takes effect at once and is stored; at start-up the stored options are applied
// through the same handling, as if chosen.
#include "base/settingskeys.h"

#include <QObject>

namespace sonavue {

class BackgroundFollower;
class Form1;
class PlayerControl;
class SettingsFrame;

class AppearanceController : public QObject {
    Q_OBJECT
public:
    // Owned by window; frame, player and background outlive it.
    AppearanceController(Form1& window, SettingsFrame& frame, PlayerControl& player,
                         BackgroundFollower& background, const ProgramSettings& settings);

    // The stored colour, track-change option, opacity, file types (letting events run after
    // each) and font size, in this order. False when the window unloaded meanwhile: then
    // nothing after that point is applied.
    bool applyStoredOptions();
    // The stored background choice: for once the window is shown.
    void applyStoredBackground();

    // The frame's handlers.
    void HScroll1_Change();
    void Option1_Click(int index);
    void OptionBack_Click(int index);
    void Optionfont_Click(int index);
    void Picture2_MouseUp(Qt::MouseButton button, int x, int y);

    // The window unloads: no choice is stored from now on.
    void stopStoring() { m_storing = false; }
    // The file-type boxes as they are, stored at the unload.
    void storeFileTypes();

private:
    Form1& m_window;
    SettingsFrame& m_frame;
    PlayerControl& m_player;
    BackgroundFollower& m_background;
    const ProgramSettings& m_settings;
    bool m_storing = true;
};

} // namespace sonavue
