#pragma once
// What player control needs of the main window: its lists, labels and the yield.
// The window implements it over its widgets; tests implement it over plain vectors.
#include <QString>

namespace sonavue {

class PlayerSurface {
public:
    virtual ~PlayerSurface() = default;

    // The track list (ListName, kept in step with the number column ListNo).
    virtual int trackListCount() const = 0;
    virtual int trackListSelectedIndex() const = 0; // -1 when nothing is selected
    // Selects entry index (-1 clears the selection); runs the track list's click.
    virtual void selectTrack(int index) = 0;
    // Text of the number column's selected entry (empty when none).
    virtual QString selectedRowNumberText() const = 0;
    // Column 0 of catalogue row `row`; empty text when the row does not exist.
    virtual QString catalogueFilePath(int row) const = 0;

    // The source marker (ListNo's tag): index 0..5 of the group list that last filled
    // the track list.
    virtual int sourceMarker() const = 0;
    virtual int groupListCount(int list) const = 0;
    virtual int groupListSelectedIndex(int list) const = 0;
    // Selects entry index of group list `list`; when the selection changes, the list's
    // click runs and refills the track list.
    virtual void selectGroupEntry(int list, int index) = 0;

    // The reserved list (OptionList).
    virtual int reservedCount() const = 0;
    virtual QString reservedEntry(int index) const = 0;
    virtual void removeReservedEntry(int index) = 0;

    // The volume label Vol: its caption is the level's only store.
    virtual QString volumeCaption() const = 0;
    virtual void setVolumeCaption(const QString& text) = 0;
    // NewVolume: clamp, send to the media element, show the level on Vol.
    virtual void NewVolume(double level) = 0;

    // The now-playing label.
    virtual void setNowPlaying(const QString& text) = 0;
    // "即時" selected (Option1(0) "終了後" not selected).
    virtual bool immediateChangeSelected() const = 0;

    // A yield: let pending window events run.
    virtual void letEventsRun() = 0;
};

} // namespace sonavue
