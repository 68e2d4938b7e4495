// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The open file's row of transport buttons: play/pause, stop, and a seek slider with the
// elapsed and total time. It shows the state it is given and asks for what the user does
// (its signals); it knows no media element and decides nothing.
#include "playback/mediacontrol.h"

#include <QWidget>
#include <optional>

class QLabel;

namespace sonavue {

class SeekSlider;
class Transport;
class TransportButton;

class TransportBar : public QWidget {
    Q_OBJECT
public:
    // Its requests go to the transport's verbs, and it shows the transport's progress.
    void follow(Transport& transport);

    // The designed size of the control: 2415 x 975 twips.
    static constexpr int DesignedWidth = 161;
    static constexpr int DesignedHeight = 65;

    explicit TransportBar(QWidget* parent = nullptr);

    // Every change of what the bar shows goes through here. durationMs < 0: unknown.
    void setState(sonavue::MediaControl::State state, qint64 positionMs, qint64 durationMs);

    // "mm:ss" (minutes keep counting past 59); "--:--" for an unknown time.
    static QString clockText(qint64 ms);

    // The colour the position slider's groove is outlined in, one that stands out from the
    // window behind the bar (the style draws the groove in shades of the window colour, which
    // vanish on a dark one). Invalid: the style's groove alone.
    void setOutlineColour(const QColor& colour);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The play/pause button: pause a playing file, else play the open one on.
    void playPauseRequested();
    // The stop button: back to the open file's start, paused.
    void stopRequested();
    // The slider was let go, clicked or moved by a key: play from there.
    void seekRequested(qint64 positionMs);
    // How far the position moves the handle by a pixel, in ms, whenever that changes.
    void positionStepChanged(qint64 ms);

private:
    MediaControl::State m_state = MediaControl::State::Closed;
    // What the bar shows now (nothing before the first state): the pause look and the time.
    std::optional<bool> m_shownPlaying;
    std::optional<QString> m_shownClock;
    qint64 m_positionStepMs = 0;
    TransportButton* m_playPause;
    TransportButton* m_stop;
    QLabel* m_time;
    SeekSlider* m_seek;
};

} // namespace sonavue
