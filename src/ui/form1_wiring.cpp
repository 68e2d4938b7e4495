// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's wiring: controls to the core and to handlers, the window's keys and Tab in
// reading order.
#include "ui/form1.h"

#include "ui/appearancecontroller.h"
#include "ui/backgroundfollower.h"
#include "ui/filedrop.h"
#include "ui/findfield.h"
#include "ui/grouppages.h"
#include "ui/imagebutton.h"
#include "ui/keyboardaccess.h"
#include "ui/keypreview.h"
#include "ui/layoutswitch.h"
#include "ui/reservedlistview.h"
#include "ui/settingsframe.h"
#include "ui/titlestrip.h"
#include "ui/tracklistpane.h"
#include "ui/transportbar.h"
#include "ui/volumebar.h"
#include "ui/windowdrag.h"
#include "web/webpanel.h"

#include <QPushButton>

namespace sonavue {

void Form1::wireControls() {
    PlayerControl& player = m_core.player();
    Transport& transport = m_core.transport();
    connect(ui.Command1, &QPushButton::clicked, &transport, &Transport::stop);
    connect(ui.Command3, &QPushButton::clicked, &transport, &Transport::continuousStart);
    connect(ui.Command4, &QPushButton::clicked, &transport, &Transport::selectStart);
    ui.MMControl1Bar->follow(transport);
    m_nowPlaying.follow(player, m_core.media());
    connect(&m_nowPlaying, &NowPlayingText::shownChanged, this, &Form1::setNowPlaying);
    connect(&m_core.volume(), &VolumeLevel::changed, this, &Form1::showLevel);
    // The transport bar's tool tip shows the group entry continuous play stands at.
    connect(&player, &PlayerControl::trackStartFinished, this, [this] {
        const std::optional<int> entry = m_core.player().position().groupEntry;
        ui.MMControl1Bar->setToolTip(entry ? QString::number(*entry) : QString());
    });
    connect(ui.VScroll1, &VolumeBar::levelChanged, this, [this](int level) { NewVolume(level); });
    connect(&Timer1, &QTimer::timeout, &Timer1, &QTimer::stop);
    wireTitleStrip();
    connect(ui.Frame1, &SettingsFrame::folderChangeRequested, this, &Form1::Command2_Click);
    connect(ui.Frame1, &SettingsFrame::fileTypesChanged, this, &Form1::Check1_Click);
    m_appearance =
        new AppearanceController(*this, *ui.Frame1, m_core.player(), *m_background, m_settings);
    m_layoutSwitch = std::make_unique<LayoutSwitch>(
        *this,
        QList<QWidget*>{ui.MMControl1Bar, ui.Command1, ui.Picture1, ui.Frame1, ui.Command3,
                        ui.Command4, ui.VScroll1},
        [this] { m_background->showIfChosen(); });
    wireLists();
    new FileDropTarget(*this, transport); // files dropped on the window go to the reserved list

    connect(ui.Image1, &ImageButton::clicked, this, [this] {
        if (ui.Web1)
            ui.Web1->goHome();
    });
    connect(ui.Image3, &ImageButton::clicked, this, [this] {
        if (ui.Web1)
            ui.Web1->GoBack();
    });
    if (ui.Web1)
        connect(ui.Web1, &WebPanel::gotFocus, this, &Form1::focusset);
}

void Form1::wireTitleStrip() {
    m_windowDrag = new WindowDrag(*this);
    // The background window hides while the window moves and comes back behind it after;
    // then the window has the focus.
    m_background = std::make_unique<BackgroundFollower>(*this, *ui.Frame1, *m_windowDrag);
    connect(m_windowDrag, &WindowDrag::finished, this, [this] { activateWindow(); });

    connect(ui.Picture1, &TitleStrip::sizeSwitchRequested, this, &Form1::Label9_Click);
    connect(ui.Picture1, &TitleStrip::closeRequested, this, &QWidget::close);
    connect(ui.Picture1, &TitleStrip::layoutSwitchRequested, this, [this] {
        m_windowDrag->cancel();
        Form_KeyDown(Qt::Key_W, Qt::NoModifier);
    });
    connect(ui.Picture1, &TitleStrip::dragArmed, m_windowDrag, &WindowDrag::arm);
    connect(ui.Picture1, &TitleStrip::dragStarted, m_windowDrag, &WindowDrag::start);
    connect(ui.Picture1, &TitleStrip::dragMoved, m_windowDrag, &WindowDrag::moveTo);
    connect(ui.Picture1, &TitleStrip::dragReleased, m_windowDrag, &WindowDrag::release);
}

void Form1::wireLists() {
    connect(ui.groupPages, &GroupPages::tabClicked, this, &Form1::TabSel_Click);
    connect(ui.groupPages, &GroupPages::tabHovered, this, &Form1::TabSel_MouseMove);
    connect(ui.groupPages, &GroupPages::selectedEntryClickedAgain, this, &Form1::TagGroupe_Click);
    connect(ui.tracks, &TrackListPane::trackPressed, this, &Form1::ListName_MouseDown);
    connect(ui.tracks, &TrackListPane::trackDoubleClicked, this, &Form1::ListName_DblClick);
    connect(ui.OptionList, &QListView::doubleClicked, this, &Form1::OptionList_DblClick);
    connect(ui.OptionList, &ReservedListView::focusLeft, this, &Form1::OptionList_Validate);
    connect(this, &Form1::scanFinished, &ui.find->finder(), &TrackFinder::catalogueReplaced);
}

bool Form1::focusNextPrevChild(bool next) {
    return moveFocusByPlace(*this, next) || QWidget::focusNextPrevChild(next);
}

void Form1::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the window's bare background shows the about line.
    if (!childAt(event->position().toPoint()))
        showAboutLine();
    QWidget::mouseDoubleClickEvent(event);
}

void Form1::Form_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers) {
    if (runMediaKey(keyCode, m_core.transport()))
        return;
    switch (windowCommandFor(keyCode, modifiers, focusWidget() == ui.find)) {
    case WindowCommand::SwitchLayout:
        return m_layoutSwitch->toggle();
    case WindowCommand::Close:
        close();
        return;
    case WindowCommand::ContinuousStart:
        return m_core.transport().continuousStart();
    case WindowCommand::SelectStart:
        return m_core.transport().selectStart();
    case WindowCommand::ClearReserved:
        return m_core.browsing().reserved().clear();
    case WindowCommand::OpenFind:
        return ui.find->open();
    case WindowCommand::None:
        return;
    }
}

} // namespace sonavue
