// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/nowplayingtext.h"

#include "playback/playercontrol.h"

#include <QFileInfo>

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

void NowPlayingText::follow(const PlayerControl& player, const MediaControl& media) {
    connect(&player, &PlayerControl::nowPlayingChanged, this, &NowPlayingText::setTitle);
    connect(&player, &PlayerControl::trackFailed, this, [this](const QString& path) {
        showNotice(QFileInfo(path).fileName() + QStringLiteral(" 再生できません"), true);
    });
    connect(&player, &PlayerControl::nothingPlayable, this,
            [this] { showNotice(QStringLiteral("再生できる曲がありません"), true); });
    connect(&media, &MediaControl::audioOutputMissing, this,
            [this] { showNotice(QStringLiteral("音声出力がありません"), false); });
}

} // namespace sonavue
