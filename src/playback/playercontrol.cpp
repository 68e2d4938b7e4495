#include "playback/playercontrol.h"

#include "base/numbers.h"
#include "playback/volume.h"
#include "tags/id3v1.h"

#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace sonavue {
namespace {

constexpr int FadeIntervalMs = 100;
constexpr int FadeStep = 8;
constexpr int GroupListCount = 6;

// A whole number read from text by the leading-number rule (empty text reads as 0), kept
// within [low, high] so that arithmetic on it cannot overflow whatever the text held.
int lenientWholeNumber(const QString& text, int low, int high) {
    const double value = leadingNumber(text);
    if (std::isnan(value))
        return 0;
    return int(roundHalfEven(std::clamp(value, double(low), double(high))));
}

// A stored track or group index: -1 means "before the first entry" / "none"; anything
// lower is no index this class ever writes and is taken as -1.
int storedPosition(const QString& text) {
    return lenientWholeNumber(text, -1, 1 << 30);
}

} // namespace

// Marks a track start for its whole length, whichever way it returns.
class PlayerControl::StartScope {
public:
    explicit StartScope(PlayerControl& control) : m_control(&control) { ++control.m_startDepth; }
    ~StartScope() {
        if (m_control && --m_control->m_startDepth == 0)
            emit m_control->trackStartFinished();
    }
    StartScope(const StartScope&) = delete;
    StartScope& operator=(const StartScope&) = delete;

private:
    QPointer<PlayerControl> m_control; // the control may be destroyed during a yield
};

PlayerControl::PlayerControl(PlayerSurface& surface, MediaControl& media, QObject* parent)
    : QObject(parent), m_surface(surface), m_media(media) {
    m_fadeTimer.setInterval(FadeIntervalMs);
    connect(&m_fadeTimer, &QTimer::timeout, this, &PlayerControl::Timer2_Timer);
    connect(&m_media, &MediaControl::Done, this, &PlayerControl::MMControl1_Done);
}

bool PlayerControl::yield() {
    const QPointer<PlayerControl> alive(this);
    m_surface.letEventsRun();
    return !alive.isNull();
}

std::optional<int> PlayerControl::currentGroupList() const {
    const int marker = m_surface.sourceMarker();
    if (marker < 0 || marker >= GroupListCount)
        return std::nullopt;
    return marker;
}

int PlayerControl::groupListCount(std::optional<int> list) const {
    // A marker that names no group list is treated as a group list without entries.
    return list ? m_surface.groupListCount(*list) : 0;
}

std::optional<QString> PlayerControl::selectedTrackPath() const {
    if (m_surface.trackListSelectedIndex() < 0)
        return std::nullopt;
    const std::optional<int> row = rowNumber(m_surface.selectedRowNumberText());
    if (!row || *row < 0)
        return std::nullopt;
    QString path = m_surface.catalogueFilePath(*row);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void PlayerControl::applyRelativeVolume(const ID3v1Record& record) {
    if (const std::optional<int> level = relativeVolumeLevel(record.Comment))
        m_surface.NewVolume(*level);
}

void PlayerControl::Command1_Click() {
    m_media.Command(QStringLiteral("Close"));
}

void PlayerControl::Command4_Click() {
    const StartScope starting(*this);
    m_media.Command(QStringLiteral("Close"));
    m_media.Tag = QString::number(m_surface.trackListSelectedIndex());
    const std::optional<int> list = currentGroupList();
    m_media.ToolTipText = QString::number(list ? m_surface.groupListSelectedIndex(*list) : -1);

    if (m_surface.trackListSelectedIndex() < 0 && m_surface.trackListCount() > 0)
        m_surface.selectTrack(0);
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // nothing to play: the player stays idle
    m_media.FileName = *path;

    // The file's name as the folder lookup of that path would give it: empty when no file is
    // there.
    const QFileInfo info(*path);
    m_surface.setNowPlaying(info.isFile() ? info.fileName() : QString());
    if (!yield())
        return;
    m_media.Command(QStringLiteral("Open"));
    m_media.Command(QStringLiteral("Play"));
}

void PlayerControl::Command3_Click() {
    if (m_surface.trackListSelectedIndex() < 0 && m_surface.trackListCount() > 0)
        m_surface.selectTrack(0);
    if (m_media.Tag.isEmpty())
        m_media.Tag = QStringLiteral("-1");
    if (!yield())
        return;
    MMControl1_Done(DoneSuccessful);
}

void PlayerControl::MMControl1_Done(int code) {
    if (code != DoneSuccessful && code != DoneGivenUp)
        return;
    const StartScope starting(*this);
    m_reservedPlaying = false;
    if (m_surface.reservedCount() > 0)
        startReservedTrack();
    else
        continueTrackList();
}

void PlayerControl::startReservedTrack() {
    const QString path = m_surface.reservedEntry(0);
    m_reservedPlaying = true;
    m_media.Command(QStringLiteral("Close"));
    m_media.FileName = path;
    if (!yield())
        return;

    ID3v1Record record;
    readID3TAG(path, record, m_codePage);
    applyRelativeVolume(record);
    m_media.Command(QStringLiteral("Open"));
    // The yield may have let the user take entries off the list (or another step play this
    // one): remove the head only when it is still the path being started.
    if (m_surface.reservedCount() > 0 && m_surface.reservedEntry(0) == path)
        m_surface.removeReservedEntry(0);
    m_media.Command(QStringLiteral("Play"));
    m_surface.setNowPlaying(record.Title);
}

void PlayerControl::continueTrackList() {
    const std::optional<int> list = currentGroupList();
    const int n = m_surface.trackListCount();
    int c = storedPosition(m_media.Tag);
    const int gn = groupListCount(list);
    int g = storedPosition(m_media.ToolTipText);

    // Back to the playing track and group entry: clamp the index to the list now shown,
    // then reselect the group entry (which refills the list when the user picked another).
    if (m_surface.trackListCount() < c + 1)
        c = m_surface.trackListCount() - 1;
    m_surface.selectTrack(c);
    if (g >= 0) { // -1: no group entry was selected at the start; leave the group list alone
        if (g >= groupListCount(list))
            return; // the stored entry is no longer in this group list: stay idle
        m_surface.selectGroupEntry(*list, g);
    }

    // Advance, past the end of the track list into the next group entry; n and gn are the
    // counts seen before the group entry was reselected.
    if (c + 1 >= n) {
        g += 1;
        c = 0;
    } else {
        c += 1;
    }
    if (g >= gn)
        g = 0;
    if (g >= 0) {
        if (g >= groupListCount(list))
            return; // no group entry to select: stay idle
        m_surface.selectGroupEntry(*list, g);
    }
    if (!yield())
        return;

    // The yield may have refilled or emptied the track list: clamp against what it holds now.
    if (m_surface.trackListCount() < c + 1)
        c = m_surface.trackListCount() - 1;
    m_surface.selectTrack(c);
    m_media.Tag = QString::number(c);
    m_media.ToolTipText = QString::number(g);
    const std::optional<QString> path = selectedTrackPath();
    if (!path)
        return; // empty track list or a row that is not in the catalogue: stay idle

    m_media.Command(QStringLiteral("Close"));
    m_media.FileName = *path;
    if (!yield())
        return;
    ID3v1Record volumeRecord;
    readID3TAG(*path, volumeRecord, m_codePage);
    applyRelativeVolume(volumeRecord);
    m_media.Command(QStringLiteral("Open"));
    m_media.Command(QStringLiteral("Play"));
    // The title comes from a fresh record of its own.
    ID3v1Record titleRecord;
    readID3TAG(*path, titleRecord, m_codePage);
    m_surface.setNowPlaying(titleRecord.Title);
}

void PlayerControl::Timer2_Timer() {
    const int v = lenientWholeNumber(m_surface.volumeCaption(), -1000000, 1000000) - FadeStep;
    if (v < 1) {
        if (!finishFade())
            return;
    } else {
        m_surface.NewVolume(v);
    }
    yield();
}

bool PlayerControl::finishFade() {
    const QPointer<PlayerControl> alive(this);
    const StartScope starting(*this);
    m_surface.setVolumeCaption(QStringLiteral("&h") + QString::number(MiddleLevel, 16).toUpper());
    m_fadeTimer.stop();
    m_media.Command(QStringLiteral("close"));
    if (!yield())
        return false;
    MMControl1_Done(DoneSuccessful);
    if (alive.isNull())
        return false;
    // This replaces the reserved track's relative volume by 128.
    m_surface.NewVolume(MiddleLevel);
    return true;
}

void PlayerControl::startFade() {
    m_fadeTimerTag = m_surface.volumeCaption();
    m_fadeTimer.start();
    m_reservedPlaying = true;
}

void PlayerControl::trackReserved() {
    if (m_surface.immediateChangeSelected() && !m_reservedPlaying)
        startFade();
}

} // namespace sonavue
