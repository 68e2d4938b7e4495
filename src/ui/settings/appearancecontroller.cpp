// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/appearancecontroller.h"

#include "playback/playercontrol.h"
#include "ui/settings/palettepicture.h"
#include "ui/settings/settingsframe.h"
#include "ui/style/colours.h"

#include <QCoreApplication>

namespace sonavue {
namespace {

// The lists' font size in points for the font size option.
double fontPoints(int index) {
    return index * 2 + 10;
}

} // namespace

AppearanceController::AppearanceController(SettingsFrame& frame, PlayerControl& player,
                                           const ProgramSettings& settings, QObject* parent)
    : QObject(parent), m_frame(frame), m_player(player), m_settings(settings) {
    connect(&frame, &SettingsFrame::opacityChanged, this, [this] { applyOpacity(); });
    connect(&frame, &SettingsFrame::trackChangeChosen, this, [this] { applyTrackChange(); });
    connect(&frame, &SettingsFrame::backgroundChosen, this, &AppearanceController::applyBackground);
    connect(&frame, &SettingsFrame::fontSizeChosen, this, &AppearanceController::applyFontSize);
    connect(&frame, &SettingsFrame::colourPicked, this, &AppearanceController::pickColour);
}

bool AppearanceController::applyStoredOptions() {
    emit colourChanged(Setting::Colour.read(m_settings));
    m_frame.setImmediateChange(!Setting::TrackChange.read(m_settings));
    m_frame.setOpacity(Setting::Opacity.read(m_settings));
    for (int i = 0; i < FileTypeCount; ++i) {
        // MP3 files are always listed.
        const bool listed = i == 0 || Setting::FileType(i).read(m_settings) == 1;
        m_frame.setFileType(i, listed);
        QCoreApplication::processEvents();
        if (!m_storing)
            return false;
    }
    const int fontIndex = Setting::FontSize.read(m_settings);
    m_frame.setFontSizeIndex(fontIndex);
    emit listFontSizeChanged(fontPoints(fontIndex));
    return true;
}

void AppearanceController::applyStoredBackground() {
    m_frame.setBackgroundShown(Setting::Background.read(m_settings) == 0);
}

void AppearanceController::applyOpacity() {
    const int level = m_frame.opacity();
    emit opacityChanged(level / 255.0);
    if (m_storing)
        Setting::Opacity.write(m_settings, level);
}

void AppearanceController::applyTrackChange() {
    m_player.setImmediateChange(m_frame.immediateChange());
    if (m_storing)
        Setting::TrackChange.write(m_settings, !m_frame.immediateChange());
}

void AppearanceController::applyBackground(int index) {
    emit backgroundChanged(index == 0);
    if (m_storing)
        Setting::Background.write(m_settings, index);
}

void AppearanceController::applyFontSize(int index) {
    emit listFontSizeChanged(fontPoints(index));
    if (m_storing)
        Setting::FontSize.write(m_settings, index);
}

void AppearanceController::pickColour(Qt::MouseButton button, QPoint point) {
    if (button != Qt::LeftButton)
        return;
    static const QImage palettePicture = paletteImage();
    const std::int32_t colour =
        palettePicture.valid(point) ? fromQColor(palettePicture.pixelColor(point)) : -1;
    emit colourChanged(colour);
    if (m_storing)
        Setting::Colour.write(m_settings, colour);
}

void AppearanceController::storeFileTypes() {
    for (int i = 0; i < FileTypeCount; ++i)
        Setting::FileType(i).write(m_settings, m_frame.fileType(i) ? 1 : 0);
}

} // namespace sonavue
