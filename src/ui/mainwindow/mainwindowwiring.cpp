// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's wiring: controls to the core and to handlers, the window's keys and Tab in
// reading order.
#include "ui/mainwindow/mainwindow.h"

#include "base/userfolders.h"
#include "core/corestart.h"
#include "core/sessionresume.h"
#include "ui/controls/imagebutton.h"
#include "ui/controls/keyboardaccess.h"
#include "ui/library/findfield.h"
#include "ui/library/grouppages.h"
#include "ui/library/librarypanes.h"
#include "ui/library/musicfolder.h"
#include "ui/library/reservedlistview.h"
#include "ui/library/tracklistpane.h"
#include "ui/settings/appearancecontroller.h"
#include "ui/settings/settingsdialog.h"
#include "ui/settings/settingsframe.h"
#include "ui/transport/transportbar.h"
#include "ui/transport/volumebar.h"
#include "ui/window/backgroundfollower.h"
#include "ui/window/filedrop.h"
#include "ui/window/keypreview.h"
#include "ui/window/layoutswitch.h"
#include "ui/window/titlestrip.h"
#include "ui/window/windowdrag.h"
#include "web/webpanelcontrol.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace sonavue {

void MainWindow::wireControls() {
    PlayerControl& player = m_core.player();
    Transport& transport = m_core.transport();
    connect(ui.stopButton, &QPushButton::clicked, &transport, &Transport::stop);
    connect(ui.continuousStartButton, &QPushButton::clicked, &transport,
            &Transport::continuousStart);
    connect(ui.selectStartButton, &QPushButton::clicked, &transport, &Transport::selectStart);
    ui.transportBar->follow(transport);
    m_nowPlaying.follow(player, m_core.media());
    connect(&m_nowPlaying, &NowPlayingText::shownChanged, this, &MainWindow::setNowPlaying);
    connect(&m_core.volume(), &VolumeLevel::changed, this, &MainWindow::showLevel);
    // The transport bar's tool tip shows the group entry continuous play stands at.
    connect(&player, &PlayerControl::trackStartFinished, this, [this] {
        const std::optional<int> entry = m_core.player().position().groupEntry;
        ui.transportBar->setToolTip(entry ? QString::number(*entry) : QString());
    });
    connect(ui.volumeBar, &VolumeBar::levelChanged, this,
            [this](int level) { setVolumeLevel(level); });
    connect(&m_focusTimer, &QTimer::timeout, &m_focusTimer, &QTimer::stop);
    wireTitleStrip();
    wireLists();
    wireAppearance();
    wireResume();
    wireOptInSettings();
    m_layoutSwitch = std::make_unique<LayoutSwitch>(
        *this,
        QList<QWidget*>{ui.transportBar, ui.stopButton, ui.titleStrip, ui.settingsFrame,
                        ui.continuousStartButton, ui.selectStartButton, ui.volumeBar},
        [this] { m_background->showIfChosen(); });
    new FileDropTarget(*this, transport); // files dropped on the window go to the reserved list

    connect(ui.homeButton, &ImageButton::clicked, this, [this] {
        if (ui.webPanel)
            ui.webPanel->goHome();
    });
    connect(ui.backButton, &ImageButton::clicked, this, [this] {
        if (ui.webPanel)
            ui.webPanel->goBack();
    });
}

void MainWindow::wireTitleStrip() {
    m_windowDrag = new WindowDrag(*this);
    // The background window hides while the window moves and comes back behind it after;
    // then the window has the focus.
    m_background = std::make_unique<BackgroundFollower>(*this, *ui.settingsFrame, *m_windowDrag);
    connect(m_windowDrag, &WindowDrag::finished, this, [this] { activateWindow(); });

    connect(ui.titleStrip, &TitleStrip::sizeSwitchRequested, this, &MainWindow::toggleCompactSize);
    connect(ui.titleStrip, &TitleStrip::closeRequested, this, &QWidget::close);
    connect(ui.titleStrip, &TitleStrip::layoutSwitchRequested, this, [this] {
        m_windowDrag->cancel();
        handleKey(Qt::Key_W, Qt::NoModifier);
    });
    connect(ui.titleStrip, &TitleStrip::dragArmed, m_windowDrag, &WindowDrag::arm);
    connect(ui.titleStrip, &TitleStrip::dragStarted, m_windowDrag, &WindowDrag::start);
    connect(ui.titleStrip, &TitleStrip::dragMoved, m_windowDrag, &WindowDrag::moveTo);
    connect(ui.titleStrip, &TitleStrip::dragReleased, m_windowDrag, &WindowDrag::release);
}

void MainWindow::wireLists() {
    m_library = new LibraryPanes(
        m_core,
        {*ui.groupPages, *ui.tracks, *ui.find, *ui.reservedList, *ui.foldersBar, *ui.filesBar},
        this);
    LibraryPanes* const library = m_library;
    connect(ui.groupPages, &GroupPages::tabClicked, library, &LibraryPanes::showTab);
    connect(ui.groupPages, &GroupPages::tabHovered, library, &LibraryPanes::markHoveredTab);
    connect(ui.groupPages, &GroupPages::selectedEntryClickedAgain, library,
            &LibraryPanes::pickGroupEntry);
    connect(ui.tracks, &TrackListPane::trackPressed, library, &LibraryPanes::showSelectedTrackTags);
    connect(ui.tracks, &TrackListPane::trackDoubleClicked, library,
            &LibraryPanes::reserveSelectedTrack);
    connect(ui.reservedList, &QListView::doubleClicked, library,
            &LibraryPanes::removeSelectedReserved);
    connect(ui.reservedList, &ReservedListView::focusLeft, library,
            &LibraryPanes::leaveReservedList);
    connect(library, &LibraryPanes::tagsAsked, this,
            [this](const QString& path) { m_cards.showTag(path); });

    m_musicFolder = new MusicFolder(m_core, *ui.settingsFrame, *library, m_settings,
                                    {m_options.folderDialog, m_options.showMessage}, *this);
    connect(ui.settingsFrame, &SettingsFrame::folderChangeRequested, m_musicFolder,
            &MusicFolder::choose);
    connect(ui.settingsFrame, &SettingsFrame::fileTypesChanged, m_musicFolder,
            &MusicFolder::applyFileTypes);
    connect(m_musicFolder, &MusicFolder::scanFinished, this, &MainWindow::scanFinished);
    connect(this, &MainWindow::scanFinished, &ui.find->finder(), &TrackFinder::catalogueReplaced);
}

void MainWindow::wireResume() {
    keepResuming(Setting::Resume.read(m_settings));
}

// Made at the start, the kept state is brought back once the library first shows. Turned on
// while the player runs, what there is is kept from now on (nothing is brought back); turned
// off, nothing more is written.
void MainWindow::keepResuming(int mode) {
    const bool running = m_resume != nullptr || m_scanDone;
    delete std::exchange(m_resume, nullptr);
    const QString folder = programStateFolder();
    if (mode == 0 || folder.isEmpty())
        return;
    m_resume = new SessionResume(
        m_core, folder + QStringLiteral("/resume.json"), mode == 2,
        [this](int page) { m_library->showTab(page); }, this);
    if (running)
        m_resume->keepFromNow();
    else
        connect(this, &MainWindow::scanFinished, m_resume, &SessionResume::restore);
}

void MainWindow::wireOptInSettings() {
    // Each file opened, each card shown and each track announced from now on reads them.
    const auto takeFileReading = [this] {
        TagReading reading = m_core.tagReading();
        const TagReading stored = storedTagReading(m_settings);
        reading.coverArt = stored.coverArt;
        reading.replayGain = stored.replayGain;
        reading.replayGainPreampDb = stored.replayGainPreampDb;
        m_core.setTagReading(reading);
    };
    for (const SettingKey* key : std::initializer_list<const SettingKey*>{
             &Setting::CoverArt, &Setting::ReplayGain, &Setting::ReplayGainPreamp})
        m_optInSettings.takeAtOnce(*key, takeFileReading);
    m_optInSettings.takeAtOnce(
        Setting::Gapless, [this] { m_core.setGapless(Setting::Gapless.read(m_settings) == 1); });
    m_optInSettings.takeAtOnce(Setting::Resume,
                               [this] { keepResuming(Setting::Resume.read(m_settings)); });
    // What the catalogue holds was read with them: the folder is read again.
    for (const SettingKey* key : std::initializer_list<const SettingKey*>{
             &Setting::CodePage, &Setting::ID3v2, &Setting::ExtraTypes})
        m_optInSettings.takeWithRescan(*key);
    m_optInSettings.setRescan([this] { m_musicFolder->rescan(storedTagReading(m_settings)); });
    connect(this, &MainWindow::scanFinished, this, [this] { m_scanDone = true; });
}

void MainWindow::wireAppearance() {
    m_appearance = new AppearanceController(*ui.settingsFrame, m_core.player(), m_settings, this);
    connect(m_appearance, &AppearanceController::colourChanged, this, &MainWindow::setColour);
    connect(m_appearance, &AppearanceController::opacityChanged, this, &QWidget::setWindowOpacity);
    connect(m_appearance, &AppearanceController::listFontSizeChanged, m_library,
            &LibraryPanes::setListFontSize);
    connect(ui.settingsFrame, &SettingsFrame::settingsDialogRequested, this,
            &MainWindow::openSettingsDialog);
    connect(ui.settingsFrame, &SettingsFrame::saveTrackListRequested, this,
            &MainWindow::saveTrackList);
    connect(m_appearance, &AppearanceController::backgroundChanged, this, [this](bool shown) {
        if (shown)
            m_background->show();
        else
            m_background->close();
        activateWindow();
        setFocus();
    });
}

bool MainWindow::focusNextPrevChild(bool next) {
    return moveFocusByPlace(*this, next) || QWidget::focusNextPrevChild(next);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the window's bare background shows the about line.
    if (!childAt(event->position().toPoint()))
        showAboutLine();
    QWidget::mouseDoubleClickEvent(event);
}

void MainWindow::handleKey(int keyCode, Qt::KeyboardModifiers modifiers) {
    const KeyCommand command = keyCommandFor(keyCode, modifiers, focusWidget() == ui.find);
    if (const PlayerVerb* verb = std::get_if<PlayerVerb>(&command)) {
        runPlayerVerb(m_core.transport(), *verb);
        return;
    }
    const WindowCommand* own = std::get_if<WindowCommand>(&command);
    if (!own)
        return;
    switch (*own) {
    case WindowCommand::SwitchLayout:
        return m_layoutSwitch->toggle();
    case WindowCommand::Close:
        close();
        return;
    case WindowCommand::OpenFind:
        return ui.find->open();
    case WindowCommand::OpenSettings:
        return openSettingsDialog();
    case WindowCommand::SaveTrackList:
        return saveTrackList();
    }
}

void MainWindow::saveTrackList() {
    const QString chosen =
        m_options.playlistDialog
            ? m_options.playlistDialog(this)
            : QFileDialog::getSaveFileName(this, QStringLiteral("プレイリストとして保存"),
                                           QDir::homePath(), QStringLiteral("M3U8 (*.m3u8)"));
    if (chosen.isEmpty())
        return; // cancelled
    const QString path =
        QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".m3u8") : chosen;
    const QString why = m_core.transport().saveTrackList(path);
    if (why.isEmpty())
        return;
    const QString message = QStringLiteral("保存できませんでした。\n%1: %2").arg(path, why);
    if (m_options.showMessage)
        m_options.showMessage(message);
    else
        QMessageBox::warning(this, m_options.appName, message, QMessageBox::Ok);
}

void MainWindow::openSettingsDialog() {
    if (!m_settingsDialog)
        m_settingsDialog = new SettingsDialog(m_optInSettings, this);
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
}

} // namespace sonavue
