// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's wiring: controls to handlers, the window's keys and Tab in reading order.
#include "ui/form1.h"

#include "ui/backgroundfollower.h"
#include "ui/findfield.h"
#include "ui/imagebutton.h"
#include "ui/keyboardaccess.h"
#include "ui/layoutswitch.h"
#include "ui/settingsframe.h"
#include "ui/tabsel.h"
#include "ui/titlestrip.h"
#include "ui/transportbar.h"
#include "ui/volumebar.h"
#include "web/webpanel.h"

#include <QListView>
#include <QPushButton>

namespace sonavue {

void Form1::wireControls() {
    PlayerControl& player = m_core.player();
    Transport& transport = m_core.transport();
    connect(Command1, &QPushButton::clicked, &transport, &Transport::stop);
    connect(Command3, &QPushButton::clicked, &transport, &Transport::continuousStart);
    connect(Command4, &QPushButton::clicked, &transport, &Transport::selectStart);
    MMControl1Bar->follow(transport);
    m_nowPlaying.follow(player, m_core.media());
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
    m_layoutSwitch = std::make_unique<LayoutSwitch>(
        *this,
        QList<QWidget*>{MMControl1Bar, Command1, Picture1, Frame1, Command3, Command4, VScroll1},
        [this] { m_background->showIfChosen(); });

    wireLists();
    connect(this, &Form1::scanFinished, &m_find->finder(), &TrackFinder::catalogueReplaced);

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
    if (focusWidget() == m_find && !ctrlOnly)
        return; // letters are the find's text
    switch (keyCode) {
    case Qt::Key_W:
        m_layoutSwitch->toggle();
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
    case Qt::Key_F:
        if (ctrlOnly)
            m_find->open();
        break;
    default:
        break;
    }
}

} // namespace sonavue
