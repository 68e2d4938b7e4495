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
#include "ui/librarypanes.h"
#include "ui/musicfolder.h"
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
    wireLists();
    wireAppearance();
    m_layoutSwitch = std::make_unique<LayoutSwitch>(
        *this,
        QList<QWidget*>{ui.MMControl1Bar, ui.Command1, ui.Picture1, ui.Frame1, ui.Command3,
                        ui.Command4, ui.VScroll1},
        [this] { m_background->showIfChosen(); });
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
    m_library = new LibraryPanes(
        m_core,
        {*ui.groupPages, *ui.tracks, *ui.find, *ui.OptionList, *ui.Progress1, *ui.Progress2}, this);
    LibraryPanes* const library = m_library;
    connect(ui.groupPages, &GroupPages::tabClicked, library, &LibraryPanes::showTab);
    connect(ui.groupPages, &GroupPages::tabHovered, library, &LibraryPanes::markHoveredTab);
    connect(ui.groupPages, &GroupPages::selectedEntryClickedAgain, library,
            &LibraryPanes::pickGroupEntry);
    connect(ui.tracks, &TrackListPane::trackPressed, library, &LibraryPanes::showSelectedTrackTags);
    connect(ui.tracks, &TrackListPane::trackDoubleClicked, library,
            &LibraryPanes::reserveSelectedTrack);
    connect(ui.OptionList, &QListView::doubleClicked, library,
            &LibraryPanes::removeSelectedReserved);
    connect(ui.OptionList, &ReservedListView::focusLeft, library, &LibraryPanes::leaveReservedList);
    connect(library, &LibraryPanes::tagsAsked, this,
            [this](const QString& path) { m_cards.showTag(path); });

    m_musicFolder = new MusicFolder(m_core, *ui.Frame1, *library, m_settings,
                                    {m_options.folderDialog, m_options.showMessage}, *this);
    connect(ui.Frame1, &SettingsFrame::folderChangeRequested, m_musicFolder, &MusicFolder::choose);
    connect(ui.Frame1, &SettingsFrame::fileTypesChanged, m_musicFolder,
            &MusicFolder::applyFileTypes);
    connect(m_musicFolder, &MusicFolder::scanFinished, this, &Form1::scanFinished);
    connect(this, &Form1::scanFinished, &ui.find->finder(), &TrackFinder::catalogueReplaced);
}

void Form1::wireAppearance() {
    m_appearance = new AppearanceController(*ui.Frame1, m_core.player(), m_settings, this);
    connect(m_appearance, &AppearanceController::colourChanged, this, &Form1::setcolor);
    connect(m_appearance, &AppearanceController::opacityChanged, this, &QWidget::setWindowOpacity);
    connect(m_appearance, &AppearanceController::listFontSizeChanged, m_library,
            &LibraryPanes::setListFontSize);
    connect(m_appearance, &AppearanceController::backgroundChanged, this, [this](bool shown) {
        if (shown)
            m_background->show();
        else
            m_background->close();
        activateWindow();
        setFocus();
    });
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
