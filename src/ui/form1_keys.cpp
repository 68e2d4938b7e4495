// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's wiring: controls to handlers, key preview, Tab in reading order and the W
// layout switch.
#include "ui/form1.h"

#include "ui/backgroundfollower.h"
#include "ui/imagebutton.h"
#include "ui/keyboardaccess.h"
#include "ui/settingsframe.h"
#include "ui/tabsel.h"
#include "ui/titlestrip.h"
#include "ui/transportbar.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

namespace sonavue {

void Form1::wireControls() {
    PlayerControl& player = m_core.player();
    Transport& transport = m_core.transport();
    connect(Command1, &QPushButton::clicked, &transport, &Transport::stop);
    connect(Command3, &QPushButton::clicked, &transport, &Transport::continuousStart);
    connect(Command4, &QPushButton::clicked, &transport, &Transport::selectStart);
    MMControl1Bar->follow(transport);
    connect(&player, &PlayerControl::nowPlayingChanged, &m_nowPlaying, &NowPlayingText::setTitle);
    connect(&player, &PlayerControl::trackFailed, this, [this](const QString& path) {
        m_nowPlaying.showNotice(QFileInfo(path).fileName() + QStringLiteral(" 再生できません"),
                                true);
    });
    connect(&player, &PlayerControl::nothingPlayable, this,
            [this] { m_nowPlaying.showNotice(QStringLiteral("再生できる曲がありません"), true); });
    connect(&m_core.media(), &MediaControl::audioOutputMissing, this,
            [this] { m_nowPlaying.showNotice(QStringLiteral("音声出力がありません"), false); });
    connect(&m_nowPlaying, &NowPlayingText::shownChanged, this, &Form1::setNowPlaying);
    connect(&m_core.volume(), &VolumeLevel::changed, this, &Form1::showLevel);
    // The transport bar's tool tip shows the group entry continuous play stands at.
    connect(&player, &PlayerControl::trackStartFinished, this, [this] {
        const std::optional<int> entry = m_core.player().position().groupEntry;
        MMControl1Bar->setToolTip(entry ? QString::number(*entry) : QString());
    });
    connect(VScroll1, &VolumeBar::levelChanged, this, [this](int level) { NewVolume(level); });
    connect(&Timer1, &QTimer::timeout, &Timer1, &QTimer::stop);
    wireTitleStrip();
    wireSettingsFrame();

    wireLists();

    connect(Image1, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->goHome();
    });
    connect(Image3, &ImageButton::clicked, this, [this] {
        if (Web1)
            Web1->GoBack();
    });
    if (Web1)
        connect(Web1, &WebPanel::gotFocus, this, [this] { focusset(); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (m_unloaded)
        return QWidget::eventFilter(watched, event);
    // Key preview is all the window watches application-wide: the panes handle their own
    // mouse and focus events.
    if (event->type() == QEvent::KeyPress)
        return handlePreviewKey(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool Form1::handlePreviewKey(QObject* receiver, QEvent* event) {
    // Key preview: every key press reaches the window's native window exactly once, before
    // it goes on to the focused control (and, unused, up to its parents, or from the web
    // engine back to the panel's parent). Only that first delivery is acted on.
    QWindow* window = windowHandle();
    if (!window || receiver != window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // The key still reaches the control that had the focus when it was pressed, even when the
    // action hid that control (W hides the settings frame and its folder box).
    const QPointer<QWidget> focused = focusWidget();
    Form_KeyDown(key->key(), key->modifiers());
    if (!focused || focused == focusWidget() || m_unloaded)
        return false;
    QKeyEvent again(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                    key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                    key->isAutoRepeat(), key->count());
    QApplication::sendEvent(focused, &again);
    return true;
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
    // Of the modifiers only Shift, Ctrl and Alt count: a key of the keypad or with Meta is the
    // same key.
    const bool ctrlOnly =
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
        Qt::ControlModifier;
    switch (keyCode) {
    case Qt::Key_W:
        layoutAction();
        break;
    case Qt::Key_Q:
        if (ctrlOnly)
            close();
        break;
    case Qt::Key_S:
        if (ctrlOnly)
            m_core.transport().selectStart();
        else
            m_core.transport().continuousStart();
        break;
    case Qt::Key_C:
        if (ctrlOnly)
            m_core.browsing().reserved().clear();
        break;
    default:
        break;
    }
}

void Form1::layoutAction() {
    // A minimized window has no layout to switch.
    if (windowState() & Qt::WindowMinimized)
        return;
    // The window's own record of its layout: without a window manager the platform does not
    // take the maximized state, and the next W must still switch back.
    const bool big = !m_largeLayout;
    m_largeLayout = big;
    if (big) {
        m_normalGeometry = geometry();
        // To the screen's corner first: a window manager then maximizes the window there, and
        // without one (nothing maximizes) the large layout still starts at the corner. Moving
        // a window that is already maximized would make some window managers restore it.
        move(0, 0);
    }
    setWindowState(big ? Qt::WindowMaximized : Qt::WindowNoState);
    for (QWidget* control : std::initializer_list<QWidget*>{MMControl1Bar, Command1, Picture1,
                                                            Frame1, Command3, Command4, VScroll1})
        control->setVisible(!big);
    QCoreApplication::processEvents();
    repaint();
    m_background->showIfChosen();
    if (big) {
        setTopmost(true);
        return;
    }
    // Back to the normal layout at the size and place it had: a window manager restores its
    // own idea of the normal geometry, which need not be the one the window had.
    if (m_normalGeometry.isValid())
        setGeometry(m_normalGeometry);
    activateWindow();
}

} // namespace sonavue
