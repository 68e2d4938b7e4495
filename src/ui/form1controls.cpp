// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/form1controls.h"

#include "core/playercore.h"
#include "playback/volume.h"
#include "ui/findfield.h"
#include "ui/fonts.h"
#include "ui/grouppages.h"
#include "ui/imagebutton.h"
#include "ui/layoutrules.h"
#include "ui/palettepicture.h"
#include "ui/reservedlistview.h"
#include "ui/settingsframe.h"
#include "ui/titlestrip.h"
#include "ui/tracklistpane.h"
#include "ui/transportbar.h"
#include "ui/twips.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace sonavue {

void Form1Controls::setupUi(QWidget& window, PlayerCore& core, bool withWebPanel) {
    QWidget* const w = &window;
    Picture1 = new TitleStrip(w);

    Label4 = place(new QLabel(QStringLiteral("NOW"), w), 360, 480, 615, 255);
    Label4->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75, true));
    // The now-playing label grows with its text, as an auto-sized label does.
    title = place(new QLabel(w), 960, 480, 105, 405);
    title->setFont(designedFont(QStringLiteral("ＭＳ Ｐゴシック"), 14.25, true));
    title->setTextFormat(Qt::PlainText); // tag text is shown as the letters it is, never markup

    // Track list: the number column lies under the left edge of the titles.
    tracks = new TrackListPane(core.browsing(), w);
    tracks->move(twipsRect(360, 840, 0, 0).topLeft());
    find = new FindField(core.browsing(), core.transport(), *tracks, w);

    Progress1 = place(new QProgressBar(w), 2880, 840, 8415, 615);
    Progress2 = place(new QProgressBar(w), 2880, 1560, 8415, 255);
    for (QProgressBar* bar : {Progress1, Progress2}) {
        bar->setMinimum(0);
        bar->setTextVisible(false);
        bar->hide();
    }
    if (withWebPanel)
        Web1 = place(new WebPanel(w), 8280, 840, 5055, 5655);

    FrameBtn = place(new QWidget(w), 9480, 480, 1335, 375);
    Image1 = place(new ImageButton(homeButtonPictures, FrameBtn), 0, 0, 885, 345);
    // The back button's released look is its element 2 and its pressed look element 1.
    Image3 = place(new ImageButton(backButtonPictures, FrameBtn), 960, 0, 360, 360);

    groupPages = new GroupPages(core.browsing(), w);
    groupPages->move(twipsRect(360, 4800, 0, 0).topLeft());
    for (int i = 0; i < GroupCount; ++i)
        core.groups()[i].setDeferred(true); // the scan's additions are shown in batches

    Label5 = place(new QLabel(QStringLiteral("Reserved List"), w), 360, 8040, 1575, 255);
    Vol = place(new QLabel(QString::number(core.volume().level()), w), 5160, 8040, 495, 255);
    OptionList = place(new ReservedListView(w), 360, 8280, 5055, 930);
    OptionList->setModel(&core.browsing().reserved());

    MMControl1Bar = place(new TransportBar(w), 360, 9240, 2415, 975);
    Command1 = place(new QPushButton(QStringLiteral("STOP"), w), 2760, 9240, 1065, 975);
    Command3 = place(new QPushButton(QStringLiteral("ContinuousStart"), w), 3840, 9240, 1620, 495);
    Command4 = place(new QPushButton(QStringLiteral("Select Start"), w), 3840, 9720, 1620, 495);

    // Volume: 255 at the top, 0 at the bottom, steps 1 and 16.
    VScroll1 = place(new VolumeBar(w), 5400, 9240, 255, 975);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(16);
    VScroll1->setLevel(MiddleLevel);

    Frame1 = new SettingsFrame(w);
    nameControls();
    describeControls();
}

bool Form1Controls::layOut(int width, int height, bool maximized) {
    const ResizeGeometry g =
        resizeGeometry(twips(width), twips(height), maximized, twips(Picture1->closeButtonWidth()),
                       twips(FrameBtn->width()), [](double t) { return twips(px(t)); });
    tracks->setTitlesWidth(px(g.listNameWidth));
    const int groupWidth = px(g.groupWidth);
    OptionList->resize(groupWidth, OptionList->height());
    groupPages->setPageWidth(groupWidth);
    if (Web1) {
        Web1->move(px(g.webLeft), Web1->y());
        Web1->resize(std::max(0, px(g.webWidth)),
                     g.webHeight ? std::max(0, px(*g.webHeight)) : Web1->height());
    }
    Picture1->placeCloseButton(px(g.closeButtonLeft));
    Picture1->resize(std::max(Picture1->width(), width), Picture1->height());
    FrameBtn->move(px(g.frameBtnLeft), FrameBtn->y());
    return g.topmost;
}

void Form1Controls::nameControls() {
    const std::initializer_list<std::pair<QObject*, const char*>> controls{
        {Label4, "Label4"},         {title, "title"},
        {FrameBtn, "FrameBtn"},     {Image1, "Image1"},
        {Image3, "Image3"},         {Progress1, "Progress1"},
        {Progress2, "Progress2"},   {Web1, "Web1"},
        {Label5, "Label5"},         {Vol, "Vol"},
        {OptionList, "OptionList"}, {MMControl1Bar, "MMControl1Bar"},
        {Command1, "Command1"},     {Command3, "Command3"},
        {Command4, "Command4"},     {VScroll1, "VScroll1"}};
    for (const auto& [control, name] : controls) {
        if (control)
            control->setObjectName(QLatin1String(name));
    }
}

void Form1Controls::describeControls() {
    // What a screen reader says of each: Japanese captions keep their text; the name may add
    // an English word in brackets.
    const std::initializer_list<std::tuple<QWidget*, const char*, const char*>> controls{
        {Image1, "Home", "The web panel shows its home page"},
        {Image3, "戻る (Back)", "The web panel goes one page back"},
        {Progress1, "Folders searched", ""},
        {Progress2, "Files searched", ""},
        {Web1, "Web panel", ""},
        {OptionList, "Reserved List",
         "Played before the track list; a double-click removes an entry"},
        {title, "Now playing", ""},
        {Vol, "音量 (Volume level)", ""},
        {Command1, "STOP", "Stops playing"},
        {Command3, "ContinuousStart",
         "Plays the reserved list first, then on through the track list"},
        {Command4, "Select Start", "Plays the selected track, then on from it"},
        {VScroll1, "音量 (Volume)", ""}};
    for (const auto& [control, name, description] : controls) {
        if (!control)
            continue;
        control->setAccessibleName(QString::fromUtf8(name));
        if (*description)
            control->setAccessibleDescription(QString::fromUtf8(description));
    }
    Vol->setAccessibleDescription(Vol->text());
    // Enter presses a focused button too, not only Space.
    for (QPushButton* button : {Command1, Command3, Command4})
        button->setAutoDefault(true);
    VScroll1->setFocusPolicy(Qt::StrongFocus);
}

} // namespace sonavue
