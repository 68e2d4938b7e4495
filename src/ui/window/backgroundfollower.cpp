// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/backgroundfollower.h"

#include "ui/settings/settingsframe.h"
#include "ui/window/windowdrag.h"

namespace sonavue {

BackgroundFollower::BackgroundFollower(QWidget& window, const SettingsFrame& frame,
                                       const WindowDrag& drag)
    : m_window(window), m_frame(frame), m_drag(drag) {
    connect(&drag, &WindowDrag::started, this, &BackgroundFollower::dragStarted);
    connect(&drag, &WindowDrag::finished, this, &BackgroundFollower::dragFinished);
}

BackgroundFollower::~BackgroundFollower() {
    discard();
}

void BackgroundFollower::show() {
    if (!m_background)
        m_background = new BackgroundWindow(&m_window);
    m_background->show();
    m_background->init();
}

void BackgroundFollower::showIfChosen() {
    if (m_frame.backgroundShown())
        show();
}

void BackgroundFollower::close() {
    if (!m_background)
        return;
    m_background->close();
    discard();
}

void BackgroundFollower::discard() {
    delete m_background.data();
}

void BackgroundFollower::align() {
    // During a drag the picture is hidden and is placed once the drag has ended.
    if (m_background && m_background->isVisible() && m_drag.idle())
        m_background->follow();
}

void BackgroundFollower::takeWindowSize() {
    if (m_frame.backgroundShown() && m_background)
        m_background->resize(m_background->width(), m_window.height());
    if (m_frame.backgroundShown() && m_background)
        m_background->resize(m_window.width(), m_background->height());
}

void BackgroundFollower::dragStarted() {
    if (m_background)
        m_background->hide();
}

void BackgroundFollower::dragFinished() {
    if (!m_background)
        return;
    m_background->init();
    if (m_frame.backgroundShown()) {
        m_background->show();
        m_background->lower();
    }
}

} // namespace sonavue
