// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's colour, the settings frame's wiring, the folder chooser and the about
// line.
#include "ui/form1.h"

#include "base/version.h"

#include "base/numbers.h"
#include "ui/appearancecontroller.h"
#include "ui/colours.h"
#include "ui/imagebutton.h"
#include "ui/layoutrules.h"
#include "ui/settingsframe.h"
#include "ui/splashwindow.h"
#include "ui/titlestrip.h"
#include "ui/transportbar.h"
#include "ui/twips.h"
#include "web/webpanel.h"

#include <QLabel>
#include <QMessageBox>
#include <QWindow>

namespace sonavue {

namespace {

std::int32_t toColourValue(double value) {
    const long long whole = roundHalfEven(value);
    return std::int32_t(std::clamp<long long>(whole, INT32_MIN, INT32_MAX));
}
} // namespace

void Form1::setcolor(double colourValue) {
    const std::int32_t colour = toColourValue(colourValue);
    m_colour = colour;
    QPalette pal = palette();
    const QColor background = toQColor(colour);
    // -1 (released outside the palette) has no colour: the backgrounds stay as they are.
    if (background.isValid()) {
        const QColor brush = colour == KeyColour ? QColor(Qt::transparent) : background;
        for (auto role :
             {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
            pal.setColor(role, brush);
    }
    const QColor text = toQColor(textColourFor(colour));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, text);
    setPalette(pal);
    // The position slider's groove is outlined as the lists and boxes are (the readable style).
    MMControl1Bar->setOutlineColour(legibleInk(pal.color(QPalette::Window), text));

    // The strip keeps its light green whatever the window colour, so its " -  " label takes
    // the text colour of the strip's own background.
    QPalette strip = Picture1->palette();
    strip.setColor(QPalette::Window, toQColor(TitleStripColour));
    strip.setColor(QPalette::WindowText, toQColor(textColourFor(TitleStripColour)));
    Picture1->setPalette(strip);
    update();
}

void Form1::wireSettingsFrame() {
    connect(Frame1, &SettingsFrame::folderChangeRequested, this, [this] { Command2_Click(); });
    m_appearance =
        new AppearanceController(*this, *Frame1, m_core.player(), *m_background, m_settings);
    connect(Frame1, &SettingsFrame::fileTypesChanged, this,
            [this](int index) { Check1_Click(index); });
}

void Form1::Picture2_MouseUp(Qt::MouseButton button, int x, int y) {
    m_appearance->Picture2_MouseUp(button, x, y);
}

void Form1::Command2_Click() {
    const FolderDialog dialog =
        m_options.folderDialog ? m_options.folderDialog : platformFolderDialog();
    const QString chosen = browseForFolder(this, Frame1->folderText(), dialog);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    if (checkChosenFolder(chosen) != FolderCheck::Valid) {
        if (m_options.showMessage)
            m_options.showMessage(QString::fromUtf8(InvalidFolderMessage));
        else
            QMessageBox::warning(this, QStringLiteral("Sonavue"),
                                 QString::fromUtf8(InvalidFolderMessage), QMessageBox::Ok);
        return;
    }
    setMusicFolder(chosen);
    writeSetting(Setting::Folder, Frame1->folderText());
}

void Form1::showAboutLine() {
    if (!m_aboutSplash) {
        m_aboutSplash = new Form2(this);
        m_aboutSplash->show();
    }
    m_aboutSplash->Label1()->setText(versionCaption());
    m_aboutSplash->LabelBuild()->setText(buildCaption());
}

} // namespace sonavue
