// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/mainwindow/mainwindowcontrols.h"

#include "core/playercore.h"
#include "playback/volume.h"
#include "ui/controls/imagebutton.h"
#include "ui/library/findfield.h"
#include "ui/library/grouppages.h"
#include "ui/library/reservedlistview.h"
#include "ui/library/tracklistpane.h"
#include "ui/settings/palettepicture.h"
#include "ui/settings/settingsframe.h"
#include "ui/style/fonts.h"
#include "ui/style/twips.h"
#include "ui/transport/transportbar.h"
#include "ui/transport/volumebar.h"
#include "ui/window/layoutrules.h"
#include "ui/window/titlestrip.h"
#include "web/webpanelcontrol.h"
#include "web/webpanelmodule.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace sonavue {

void MainWindowControls::setupUi(QWidget& window, PlayerCore& core) {
    QWidget* const w = &window;
    titleStrip = new TitleStrip(w);

    nowLabel = place(new QLabel(QStringLiteral("NOW"), w), 360, 480, 615, 255);
    nowLabel->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75, true));
    // The now-playing label grows with its text, as an auto-sized label does.
    title = place(new QLabel(w), 960, 480, 105, 405);
    title->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 14.25, true));
    title->setTextFormat(Qt::PlainText); // tag text is shown as the letters it is, never markup

    // Track list: the number column lies under the left edge of the titles.
    tracks = new TrackListPane(core.browsing(), w);
    tracks->move(twipsRect(360, 840, 0, 0).topLeft());
    find = new FindField(core.browsing(), core.transport(), *tracks, w);

    foldersBar = place(new QProgressBar(w), 2880, 840, 8415, 615);
    filesBar = place(new QProgressBar(w), 2880, 1560, 8415, 255);
    for (QProgressBar* bar : {foldersBar, filesBar}) {
        bar->setMinimum(0);
        bar->setTextVisible(false);
        bar->hide();
    }
    webButtons = place(new QWidget(w), 9480, 480, 1335, 375);
    homeButton = place(new ImageButton(homeButtonPictures, webButtons), 0, 0, 885, 345);
    // The back button's released look is its element 2 and its pressed look element 1.
    backButton = place(new ImageButton(backButtonPictures, webButtons), 960, 0, 360, 360);

    groupPages = new GroupPages(core.browsing(), w);
    groupPages->move(twipsRect(360, 4800, 0, 0).topLeft());
    for (int i = 0; i < GroupCount; ++i)
        core.groups()[i].setDeferred(true); // the scan's additions are shown in batches

    reservedLabel = place(new QLabel(QStringLiteral("Reserved List"), w), 360, 8040, 1575, 255);
    volumeLabel =
        place(new QLabel(QString::number(core.volume().level()), w), 5160, 8040, 495, 255);
    reservedList = place(new ReservedListView(w), 360, 8280, 5055, 930);
    reservedList->setModel(&core.browsing().reserved());

    transportBar = place(new TransportBar(w), 360, 9240, 2415, 975);
    stopButton = place(new QPushButton(QStringLiteral("STOP"), w), 2760, 9240, 1065, 975);
    continuousStartButton =
        place(new QPushButton(QStringLiteral("ContinuousStart"), w), 3840, 9240, 1620, 495);
    selectStartButton =
        place(new QPushButton(QStringLiteral("Select Start"), w), 3840, 9720, 1620, 495);

    // Volume: 255 at the top, 0 at the bottom, steps 1 and 16.
    volumeBar = place(new VolumeBar(w), 5400, 9240, 255, 975);
    volumeBar->setSingleStep(1);
    volumeBar->setPageStep(16);
    volumeBar->setLevel(MiddleLevel);

    settingsFrame = new SettingsFrame(w);
    nameControls();
    describeControls();
}

QString MainWindowControls::addWebPanel(QWidget& window, const QString& programFolder) {
    const LoadedWebPanel loaded = loadWebPanel(window, programFolder);
    if (!loaded.panel)
        return loaded.problem;
    webPanel = loaded.panel;
    QWidget& panel = *place(&webPanel->widget(), 8280, 840, 5055, 5655);
    panel.stackUnder(webButtons); // the place in the stacking of a designer's setup
    panel.setObjectName(QStringLiteral("Web1"));
    panel.setAccessibleName(QStringLiteral("Web panel"));
    return {};
}

bool MainWindowControls::layOut(int width, int height, bool maximized) {
    const ResizeGeometry g = resizeGeometry(
        twips(width), twips(height), maximized, twips(titleStrip->closeButtonWidth()),
        twips(webButtons->width()), [](double t) { return twips(px(t)); });
    tracks->setTitlesWidth(px(g.titlesWidth));
    const int groupWidth = px(g.groupWidth);
    reservedList->resize(groupWidth, reservedList->height());
    groupPages->setPageWidth(groupWidth);
    if (webPanel) {
        QWidget& panel = webPanel->widget();
        panel.move(px(g.webLeft), panel.y());
        panel.resize(std::max(0, px(g.webWidth)),
                     g.webHeight ? std::max(0, px(*g.webHeight)) : panel.height());
    }
    titleStrip->placeCloseButton(px(g.closeButtonLeft));
    titleStrip->resize(std::max(titleStrip->width(), width), titleStrip->height());
    webButtons->move(px(g.webButtonsLeft), webButtons->y());
    return g.topmost;
}

void MainWindowControls::nameControls() {
    const std::initializer_list<std::pair<QObject*, const char*>> controls{
        {nowLabel, "Label4"},
        {title, "title"},
        {webButtons, "FrameBtn"},
        {homeButton, "Image1"},
        {backButton, "Image3"},
        {foldersBar, "Progress1"},
        {filesBar, "Progress2"},
        {reservedLabel, "Label5"},
        {volumeLabel, "Vol"},
        {reservedList, "OptionList"},
        {transportBar, "MMControl1Bar"},
        {stopButton, "Command1"},
        {continuousStartButton, "Command3"},
        {selectStartButton, "Command4"},
        {volumeBar, "VScroll1"}};
    for (const auto& [control, name] : controls) {
        if (control)
            control->setObjectName(QLatin1String(name));
    }
}

void MainWindowControls::describeControls() {
    // What a screen reader says of each: Japanese captions keep their text; the name may add
    // an English word in brackets.
    const std::initializer_list<std::tuple<QWidget*, const char*, const char*>> controls{
        {homeButton, "Home", "The web panel shows its home page"},
        {backButton, "戻る (Back)", "The web panel goes one page back"},
        {foldersBar, "Folders searched", ""},
        {filesBar, "Files searched", ""},
        {reservedList, "Reserved List",
         "Played before the track list; a double-click removes an entry"},
        {title, "Now playing", ""},
        {volumeLabel, "音量 (Volume level)", ""},
        {stopButton, "STOP", "Stops playing"},
        {continuousStartButton, "ContinuousStart",
         "Plays the reserved list first, then on through the track list"},
        {selectStartButton, "Select Start", "Plays the selected track, then on from it"},
        {volumeBar, "音量 (Volume)", ""}};
    for (const auto& [control, name, description] : controls) {
        if (!control)
            continue;
        control->setAccessibleName(QString::fromUtf8(name));
        if (*description)
            control->setAccessibleDescription(QString::fromUtf8(description));
    }
    volumeLabel->setAccessibleDescription(volumeLabel->text());
    // Enter presses a focused button too, not only Space.
    for (QPushButton* button : {stopButton, continuousStartButton, selectStartButton})
        button->setAutoDefault(true);
    volumeBar->setFocusPolicy(Qt::StrongFocus);
}

} // namespace sonavue
