#pragma once
// Player control: the three buttons, the end-of-track step and the fade. No widgets: it
// speaks to the window through PlayerSurface and to the media element through
// MediaControl, so its decisions are tested without a window.
//
// The play position lives on the media element: Tag holds the track-list index of the track
// last started from the track list ("-1" = before the first entry), ToolTipText the index of
// the group-list entry that was selected when it started. Both read as 0 when empty.
#include "playback/mediacontrol.h"
#include "playback/playersurface.h"
#include "tags/id3v1.h"
#include <QObject>
#include <QTimer>
#include <optional>

namespace sonavue {

class PlayerControl : public QObject {
    Q_OBJECT
public:
    // Connects the media element's Done to MMControl1_Done and Timer2 (100 ms, off) to
    // Timer2_Timer; the window needs to wire neither.
    PlayerControl(PlayerSurface& surface, MediaControl& media, QObject* parent = nullptr);

    void Command1_Click(); // "STOP"
    void Command3_Click(); // "ContinuousStart"
    void Command4_Click(); // "Select Start"
    // The end-of-track step; codes other than 1 and 9 do nothing.
    void MMControl1_Done(int code);
    // One tick of the fade timer Timer2.
    void Timer2_Timer();

    // Starts the fade toward the reserved list (the track list's double-click under
    // "即時"): Timer2's tag takes Vol's caption, Timer2 starts, reservedPlaying is set.
    void startFade();
    // The track list's double-click has just appended a path to the reserved list: under
    // "即時", and unless reservedPlaying is already set, the fade starts.
    void trackReserved();
    // Empties nothing; clears reservedPlaying (the reserved list was left empty).
    void clearReservedPlaying() { m_reservedPlaying = false; }

    // True from the first command of a track start (select start, the end-of-track step,
    // the fade's last tick) to its last: the element's Close, Open and Play in between are
    // one change of track, not a stop and a start.
    bool startingTrack() const { return m_startDepth > 0; }

    bool reservedPlaying() const { return m_reservedPlaying; }
    void setReservedPlaying(bool value) { m_reservedPlaying = value; }
    bool fading() const { return m_fadeTimer.isActive(); }
    QTimer& fadeTimer() { return m_fadeTimer; }
    const QString& fadeTimerTag() const { return m_fadeTimerTag; }
    // The code page the started track's tag text is read in.
    void setTagCodePage(TagCodePage codePage) { m_codePage = codePage; }

signals:
    // A track start has ended (whether or not a track now plays).
    void trackStartFinished();

private:
    class StartScope;

    // Lets pending window events run; false when this object was destroyed meanwhile.
    bool yield();
    void startReservedTrack();
    // The fade's last tick: "close", the end-of-track step (the reserved track starts), then
    // the level 128. False when this object was destroyed meanwhile.
    bool finishFade();
    void continueTrackList();
    // Column 0 of the catalogue row named by the number column's selected entry; nullopt
    // when nothing is selected, the text is no row number or the row does not exist.
    std::optional<QString> selectedTrackPath() const;
    // The source marker when it names one of the six group lists.
    std::optional<int> currentGroupList() const;
    int groupListCount(std::optional<int> list) const;
    // Sets the level from the relative volume in a tag comment, if it has one.
    void applyRelativeVolume(const ID3v1Record& record);

    PlayerSurface& m_surface;
    MediaControl& m_media;
    QTimer m_fadeTimer; // Timer2, 100 ms
    QString m_fadeTimerTag;
    bool m_reservedPlaying = false;
    int m_startDepth = 0; // track starts under way (a yield may run one inside another)
    TagCodePage m_codePage = DefaultTagCodePage;
};

} // namespace sonavue
