// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/appearancecontroller.h"

#include "playback/playercontrol.h"
#include "ui/backgroundfollower.h"
#include "ui/colours.h"
#include "ui/form1.h"
#include "ui/palettepicture.h"
#include "ui/settingsframe.h"

#include <QCoreApplication>

namespace sonavue {
namespace {

// The lists' font size in points for the font size option.
double fontPoints(int index) {
    return index * 2 + 10;
}

} // namespace

AppearanceController::AppearanceController(Form1& window, SettingsFrame& frame,
                                           PlayerControl& player, BackgroundFollower& background,
                                           const ProgramSettings& settings)
    : QObject(&window), m_window(window), m_frame(frame), m_player(player),
      m_background(background), m_settings(settings) {
    connect(&frame, &SettingsFrame::opacityChanged, this, [this] { HScroll1_Change(); });
    connect(&frame, &SettingsFrame::trackChangeChosen, this,
            [this](bool immediate) { Option1_Click(immediate ? 1 : 0); });
    connect(&frame, &SettingsFrame::backgroundChosen, this,
            [this](int index) { OptionBack_Click(index); });
    connect(&frame, &SettingsFrame::fontSizeChosen, this,
            [this](int index) { Optionfont_Click(index); });
    connect(&frame, &SettingsFrame::colourPicked, this,
            [this](Qt::MouseButton button, QPoint point) {
                Picture2_MouseUp(button, point.x(), point.y());
            });
}

bool AppearanceController::applyStoredOptions() {
    m_window.setcolor(Setting::Colour.read(m_settings));
    m_frame.setImmediateChange(!Setting::TrackChange.read(m_settings));
    m_frame.setOpacity(Setting::Opacity.read(m_settings));
    for (int i = 0; i < Setting::FileTypeCount; ++i) {
        // MP3 files are always listed.
        const bool listed = i == 0 || Setting::FileType(i).read(m_settings) == 1;
        m_frame.setFileType(i, listed);
        QCoreApplication::processEvents();
        if (!m_storing)
            return false;
    }
    const int fontIndex = Setting::FontSize.read(m_settings);
    m_frame.setFontSizeIndex(fontIndex);
    m_window.fontresize(fontPoints(fontIndex));
    return true;
}

void AppearanceController::applyStoredBackground() {
    m_frame.setBackgroundShown(Setting::Background.read(m_settings) == 0);
}

void AppearanceController::HScroll1_Change() {
    const int level = m_frame.opacity();
    m_window.setWindowOpacity(level / 255.0);
    if (m_storing)
        Setting::Opacity.write(m_settings, level);
}

void AppearanceController::Option1_Click(int) {
    m_player.setImmediateChange(m_frame.immediateChange());
    if (m_storing)
        Setting::TrackChange.write(m_settings, !m_frame.immediateChange());
}

void AppearanceController::OptionBack_Click(int index) {
    if (index == 0)
        m_background.show();
    else
        m_background.close();
    if (m_storing)
        Setting::Background.write(m_settings, index);
    m_window.activateWindow();
    m_window.setFocus();
}

void AppearanceController::Optionfont_Click(int index) {
    m_window.fontresize(fontPoints(index));
    if (m_storing)
        Setting::FontSize.write(m_settings, index);
}

void AppearanceController::Picture2_MouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton)
        return;
    static const QImage palettePicture = paletteImage();
    const std::int32_t colour =
        palettePicture.valid(x, y) ? fromQColor(palettePicture.pixelColor(x, y)) : -1;
    m_window.setcolor(colour);
    if (m_storing)
        Setting::Colour.write(m_settings, colour);
}

void AppearanceController::storeFileTypes() {
    for (int i = 0; i < Setting::FileTypeCount; ++i)
        Setting::FileType(i).write(m_settings, m_frame.fileType(i) ? 1 : 0);
}

} // namespace sonavue
