// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The main window's title strip: dragging the window by it, its double-click, and the
// size label's compact/full switch.
#include "ui/form1.h"

#include "ui/backgroundfollower.h"
#include "ui/layoutrules.h"
#include "ui/settingsframe.h"
#include "ui/titlestrip.h"
#include "ui/twips.h"
#include "ui/windowdrag.h"

namespace sonavue {

void Form1::Label9_Click() {
    const WindowSize size = compactOrFull(twips(height()));
    resize(px(size.width), px(size.height));
    m_background->takeWindowSize();
}

void Form1::wireTitleStrip() {
    m_windowDrag = new WindowDrag(*this);
    // The background window hides while the window moves and comes back behind it after;
    // then the window has the focus.
    m_background = std::make_unique<BackgroundFollower>(*this, *ui.Frame1, *m_windowDrag);
    connect(m_windowDrag, &WindowDrag::finished, this, [this] { activateWindow(); });

    connect(ui.Picture1, &TitleStrip::sizeSwitchRequested, this, [this] { Label9_Click(); });
    connect(ui.Picture1, &TitleStrip::closeRequested, this, [this] { close(); });
    connect(ui.Picture1, &TitleStrip::layoutSwitchRequested, this, [this] {
        m_windowDrag->cancel();
        Form_KeyDown(Qt::Key_W, Qt::NoModifier);
    });
    connect(ui.Picture1, &TitleStrip::dragArmed, m_windowDrag, &WindowDrag::arm);
    connect(ui.Picture1, &TitleStrip::dragStarted, m_windowDrag, &WindowDrag::start);
    connect(ui.Picture1, &TitleStrip::dragMoved, m_windowDrag, &WindowDrag::moveTo);
    connect(ui.Picture1, &TitleStrip::dragReleased, m_windowDrag, &WindowDrag::release);
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!m_windowDrag)
        return; // still being built
    m_windowDrag->windowMoved();
    m_background->align();
}

} // namespace sonavue
