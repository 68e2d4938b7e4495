// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the now-playing label shows: the playing track's title, or a notice in its place (a
// file that cannot be played, nothing playable, no sound device). A track that starts shows
// its title at once; when files that could not be played were passed over just before it,
// the title says for NoticeMs how many. A notice that the title's track does not play stays
// until a track starts; one of a missing sound device gives way to the title after NoticeMs.
// While shuffle, repeat one or none, or stop-after-the-track is chosen, a short mark of it
// goes before the text.
#include "playback/playorder.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace sonavue {

class MediaControl;
class PlayerControl;

class NowPlayingText : public QObject {
    Q_OBJECT
public:
    static constexpr int NoticeMs = 2500;
    explicit NowPlayingText(QObject* parent = nullptr);

    // The title of the track that starts now.
    void setTitle(const QString& title);
    // The file named fileName could not be played.
    void showFailed(const QString& fileName);
    // A notice in the title's place; trackGone: the title's track is not playing after all.
    void showNotice(const QString& text, bool trackGone);
    // The mark of the play order's choices: "⇄" shuffled, "↻1" repeat one, "→|" repeat none,
    // "■" stop after the track; empty with none of them.
    static QString modeMark(bool shuffle, Repeat repeat, bool stopAfterTrack);
    void setModeMark(const QString& mark);
    const QString& shown() const { return m_shown; }
    // Shows player's titles, its notices (a file that cannot be played, nothing playable) and
    // the mark of its play order's choices, and media's notices (no sound device).
    void follow(const PlayerControl& player, const MediaControl& media);

signals:
    void shownChanged(const QString& text);

private:
    void show(const QString& text);

    QString m_title;
    QString m_text; // what is shown after the mark
    QString m_mark;
    QString m_shown;
    bool m_titleGone = false;  // the notice replaces the title for good
    int m_passedOver = 0;      // files that could not be played, one after another
    bool m_lastFailed = false; // the last track started could not be played
    QTimer m_hold;
};

} // namespace sonavue
