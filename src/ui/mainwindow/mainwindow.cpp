// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/mainwindow/mainwindow.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "base/settingslocation.h"
#include "base/userfolders.h"
#include "core/sessionresume.h"
#include "ui/controls/keyboardaccess.h"
#include "ui/library/musicfolder.h"
#include "ui/settings/appearancecontroller.h"
#include "ui/settings/settingsdialog.h"
#include "ui/settings/settingsframe.h"
#include "ui/style/colours.h"
#include "ui/style/twips.h"
#include "ui/transport/transportbar.h"
#include "ui/window/backgroundfollower.h"
#include "ui/window/keypreview.h"
#include "ui/window/layoutrules.h"
#include "ui/window/layoutswitch.h"
#include "ui/window/titlestrip.h"
#include "ui/window/windowdrag.h"
#include "web/webpanelcontrol.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <utility>

namespace sonavue {

MainWindow::MainWindow(PlayerCore& core, Options options)
    : m_core(core), m_options(std::move(options)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Sonavue"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // The window paints its own background so that pixels of the key colour can be
    // fully transparent where a compositor runs.
    setAttribute(Qt::WA_TranslucentBackground);
    resize(px(DesignedClientWidth), px(DesignedClientHeight));

    ui.setupUi(*this, m_core);
    m_focusTimer.setObjectName(QStringLiteral("Timer1"));
    wireControls();
    load();
}

MainWindow::~MainWindow() = default;

BackgroundWindow* MainWindow::backgroundWindow() const {
    return m_background ? m_background->window() : nullptr;
}

void MainWindow::load() {
    // Translucent at 200 of 255 until the opacity setting is applied.
    setWindowOpacity(200 / 255.0);
    setColour(DesignedBackground);
    // The web panel, and with it the web engine, starts once the window has first been drawn:
    // on a machine of few cores it would otherwise hold up the window's first showing and
    // compete with the scan. Its page then goes home.
    m_webPanelAwaitsPaint = m_options.withWebPanel;
    ui.settingsFrame->setFolderText(personalFolder());
    // Tab goes through the controls in reading order; of the stacked group lists only the one
    // shown is reached, the others being hidden.
    orderFocusByPlace(*this);
    m_focusTimer.setSingleShot(true);
    m_focusTimer.setInterval(300);
    m_keyPreview = new KeyPreview(
        *this, [this](int key, Qt::KeyboardModifiers modifiers) { handleKey(key, modifiers); });
    applyLayout();
}

void MainWindow::addWebPanel() {
    if (m_unloaded)
        return;
    const QString problem = ui.addWebPanel(*this, programFolder());
    if (!problem.isEmpty()) {
        // The player plays on without it; the web buttons then do nothing.
        reportLine(QStringLiteral("the web panel is left out: ") + readableText(problem));
        return;
    }
    ui.webPanel->onFocus([this] { armFocusTimer(); });
    applyLayout();
    orderFocusByPlace(*this);
    ui.webPanel->widget().show();
    ui.webPanel->goHome();
}

void MainWindow::unload() {
    if (m_unloaded)
        return;
    // From here on nothing else is stored and no scan goes on: a scan in progress (this
    // may run in one of its pauses) gives way at once.
    m_unloaded = true;
    m_keyPreview->stop();
    m_appearance->stopStoring();
    m_musicFolder->stop();
    m_appearance->storeFileTypes();
    if (m_resume)
        m_resume->save(); // before the open file closes: its position is kept
    m_core.transport().closeForExit();
    // Every other window goes without its own closing handling.
    m_background->discard();
    m_cards.discard();
    if (m_settingsDialog)
        m_settingsDialog->close();
    emit unloaded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

// --- Layout and colour ----------------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
    if (m_background)
        m_background->align();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        applyLayout();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!m_windowDrag)
        return; // still being built
    m_windowDrag->windowMoved();
    m_background->align();
}

void MainWindow::applyLayout() {
    if (ui.tracks)
        setStaysOnTop(*this, ui.layOut(width(), height(), windowState() & Qt::WindowMaximized));
}

void MainWindow::toggleCompactSize() {
    const WindowSize size = compactOrFull(twips(height()));
    resize(px(size.width), px(size.height));
    m_background->takeWindowSize();
}

void MainWindow::setColour(double colourValue) {
    m_colour = colourValueOf(colourValue);
    setPalette(windowPalette(palette(), m_colour));
    // The position slider's groove is outlined as the lists and boxes are (the readable style).
    ui.transportBar->setOutlineColour(
        legibleInk(palette().color(QPalette::Window), palette().color(QPalette::WindowText)));
    ui.titleStrip->keepOwnColours();
    update();
}

void MainWindow::armFocusTimer() {
    m_focusTimer.start();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintWindowBackground(painter, rect(), m_colour, palette().window());
    if (std::exchange(m_webPanelAwaitsPaint, false))
        QMetaObject::invokeMethod(this, &MainWindow::addWebPanel, Qt::QueuedConnection);
}

// --- What the core shows ----------------------------------------------------------------------

void MainWindow::setVolumeLevel(double level) {
    m_core.transport().setVolumeLevel(level);
}

void MainWindow::showLevel(int level) {
    // The label's name says what it is; a screen reader reads the number as its description.
    ui.volumeLabel->setText(QString::number(level));
    ui.volumeLabel->setAccessibleDescription(ui.volumeLabel->text());
}

void MainWindow::setNowPlaying(const QString& text) {
    // A tag's title field keeps its NUL padding; a label shows text up to the first NUL.
    ui.title->setText(readableText(trimAtNul(text)));
    ui.title->setAccessibleDescription(ui.title->text());
    ui.title->adjustSize();
}

} // namespace sonavue
