// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's colour, the settings frame's wiring, the folder chooser and the about
// line.
#include "ui/form1.h"

#include "base/version.h"

#include "base/numbers.h"
#include "ui/appearancecontroller.h"
#include "ui/colours.h"
#include "ui/settingsframe.h"
#include "ui/splashcard.h"
#include "ui/titlestrip.h"
#include "ui/transportbar.h"

#include <QLabel>

namespace sonavue {

namespace {

std::int32_t toColourValue(double value) {
    const long long whole = roundHalfEven(value);
    return std::int32_t(std::clamp<long long>(whole, INT32_MIN, INT32_MAX));
}
} // namespace

void Form1::setcolor(double colourValue) {
    m_colour = toColourValue(colourValue);
    setPalette(windowPalette(palette(), m_colour));
    // The position slider's groove is outlined as the lists and boxes are (the readable style).
    ui.MMControl1Bar->setOutlineColour(
        legibleInk(palette().color(QPalette::Window), palette().color(QPalette::WindowText)));
    ui.Picture1->keepOwnColours();
    update();
}

void Form1::wireSettingsFrame() {
    connect(ui.Frame1, &SettingsFrame::folderChangeRequested, this, [this] { Command2_Click(); });
    m_appearance =
        new AppearanceController(*this, *ui.Frame1, m_core.player(), *m_background, m_settings);
    connect(ui.Frame1, &SettingsFrame::fileTypesChanged, this,
            [this](int index) { Check1_Click(index); });
}

void Form1::Picture2_MouseUp(Qt::MouseButton button, int x, int y) {
    m_appearance->Picture2_MouseUp(button, x, y);
}

void Form1::Command2_Click() {
    const std::optional<QString> chosen = askForMusicFolder(
        this, ui.Frame1->folderText(), m_options.folderDialog, m_options.showMessage);
    if (!chosen)
        return;
    setMusicFolder(*chosen);
    writeSetting(Setting::Folder, ui.Frame1->folderText());
}

void Form1::showAboutLine() {
    if (!m_aboutSplash) {
        m_aboutSplash = new SplashCard(this);
        m_aboutSplash->show();
    }
    m_aboutSplash->Label1()->setText(versionCaption());
    m_aboutSplash->LabelBuild()->setText(buildCaption());
}

} // namespace sonavue
