// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/transport/nowplayingtext.h"

#include "base/userfolders.h"
#include "playback/playercontrol.h"

#include <QFileInfo>
#include <QStringList>

namespace sonavue {

NowPlayingText::NowPlayingText(QObject* parent) : QObject(parent) {
    m_hold.setSingleShot(true);
    m_hold.setInterval(NoticeMs);
    connect(&m_hold, &QTimer::timeout, this, [this] {
        m_passedOver = 0;
        if (!m_titleGone)
            show(m_title);
    });
}

void NowPlayingText::setTitle(const QString& title) {
    // The track before played: the files passed over before it are old news.
    if (!m_lastFailed)
        m_passedOver = 0;
    m_lastFailed = false;
    m_title = title;
    m_titleGone = false;
    if (m_passedOver == 0) {
        m_hold.stop();
        show(title);
        return;
    }
    // A tag's title keeps its NUL padding, which the label leaves out: the note goes before it.
    show(QStringLiteral("%1（再生できない %2 曲を飛ばしました）")
             .arg(trimAtNul(title))
             .arg(m_passedOver));
    m_hold.start();
}

void NowPlayingText::showFailed(const QString& fileName) {
    ++m_passedOver;
    m_lastFailed = true;
    showNotice(
        m_passedOver == 1
            ? fileName + QStringLiteral(" 再生できません")
            : QStringLiteral("%1 再生できません（続けて %2 曲）").arg(fileName).arg(m_passedOver),
        true);
}

void NowPlayingText::showNotice(const QString& text, bool trackGone) {
    if (trackGone) {
        m_title.clear();
        m_titleGone = true;
    }
    show(text);
    m_hold.start();
}

QString NowPlayingText::modeMark(bool shuffle, Repeat repeat, bool stopAfterTrack) {
    QStringList marks;
    if (shuffle)
        marks << QStringLiteral("⇄");
    if (repeat == Repeat::One)
        marks << QStringLiteral("↻1");
    else if (repeat == Repeat::None)
        marks << QStringLiteral("→|");
    if (stopAfterTrack)
        marks << QStringLiteral("■");
    return marks.join(QLatin1Char(' '));
}

void NowPlayingText::setModeMark(const QString& mark) {
    m_mark = mark;
    show(m_text);
}

void NowPlayingText::show(const QString& text) {
    m_text = text;
    const QString shown = m_mark.isEmpty() ? text : QStringLiteral("[%1] %2").arg(m_mark, text);
    if (shown == m_shown)
        return;
    m_shown = shown;
    emit shownChanged(shown);
}

void NowPlayingText::follow(const PlayerControl& player, const MediaControl& media) {
    connect(&player, &PlayerControl::nowPlayingChanged, this, &NowPlayingText::setTitle);
    connect(&player, &PlayerControl::trackFailed, this,
            [this](const QString& path) { showFailed(QFileInfo(path).fileName()); });
    connect(&player, &PlayerControl::nothingPlayable, this,
            [this] { showNotice(QStringLiteral("再生できる曲がありません"), true); });
    const auto markChoices = [this, &player] {
        setModeMark(modeMark(player.shuffle(), player.repeat(), player.stopAfterTrack()));
    };
    connect(&player, &PlayerControl::playModeChanged, this, markChoices);
    // The choices stored are marked once whoever shows the text is listening.
    QMetaObject::invokeMethod(this, markChoices, Qt::QueuedConnection);
    connect(&media, &MediaControl::audioOutputMissing, this,
            [this] { showNotice(QStringLiteral("音声出力がありません"), false); });
}

} // namespace sonavue
