#pragma once
// The media element's own row of transport buttons: play/pause, stop, and a seek slider
// with elapsed and total time. It acts on the open file directly and tells player control
// nothing; a play it starts ends like any other play (finished with DoneSuccessful).
#include "playback/mediacontrol.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace sonavue {

class SeekSlider;

class TransportBar : public QWidget {
    Q_OBJECT
public:
    // The designed size of the control: 2415 x 975 twips.
    static constexpr int DesignedWidth = 161;
    static constexpr int DesignedHeight = 65;

    explicit TransportBar(MediaControl& media, QWidget* parent = nullptr);

    // Every change of what the bar shows goes through here. durationMs < 0: unknown.
    void setState(MediaControl::State state, qint64 positionMs, qint64 durationMs);

    // "mm:ss" (minutes keep counting past 59); "--:--" for an unknown time.
    static QString clockText(qint64 ms);

    // The colour the position slider's groove is outlined in, one that stands out from the
    // window behind the bar (the style draws the groove in shades of the window colour, which
    // vanish on a dark one). Invalid: the style's groove alone.
    void setOutlineColour(const QColor& colour);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void refresh();
    void playOrPause();
    void seekToSlider();

    MediaControl& m_media;
    MediaControl::State m_state = MediaControl::State::Closed;
    QToolButton* m_playPause;
    QToolButton* m_stop;
    QLabel* m_time;
    SeekSlider* m_seek;
    QTimer m_poll; // the clock moves while a file plays
};

} // namespace sonavue
