// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/nowplayingtext.h"

namespace sonavue {

NowPlayingText::NowPlayingText(QObject* parent) : QObject(parent) {
    m_hold.setSingleShot(true);
    m_hold.setInterval(NoticeMs);
    connect(&m_hold, &QTimer::timeout, this, [this] {
        if (!m_titleGone)
            show(m_title);
    });
}

void NowPlayingText::setTitle(const QString& title) {
    m_title = title;
    m_titleGone = false;
    // A notice is read before the next title takes its place.
    if (!m_hold.isActive())
        show(title);
}

void NowPlayingText::showNotice(const QString& text, bool trackGone) {
    if (trackGone) {
        m_title.clear();
        m_titleGone = true;
    }
    show(text);
    m_hold.start();
}

void NowPlayingText::show(const QString& text) {
    if (text == m_shown)
        return;
    m_shown = text;
    emit shownChanged(text);
}

} // namespace sonavue
