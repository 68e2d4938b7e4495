// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The tag card: the card that pops up with a track's title, artist and album.
#include "tags/id3v2tags.h"
#include "tags/tagreading.h"
#include "ui/cards/fadingcard.h"

class QLabel;

namespace sonavue {

class TagCard : public FadingCard {
    Q_OBJECT
public:
    // reading: how the tag's text is read (its code page, and whether an MP3's ID3v2 tag
    // counts).
    explicit TagCard(QWidget* owner, const TagReading& reading = {});

    // Opening, in this order: the tag text (the full path the tag is read from), then the
    // caption; a changed caption reads the tag with getMP3TAG (getTrackTAG for an opt-in
    // type that reading lists), with the richer tags reading reads over it (see
    // readRicherTags); a line too long for the card ends in "…". A press on another track
    // sets them while it is handled, and so leaves the card open; any other press elsewhere
    // in the program closes it.
    void setTrackPath(const QString& path);
    void setCaption(const QString& caption);
    const QString& trackPath() const { return m_trackPath; }

    QLabel* pathLabel() const { return m_path; }
    QLabel* artistLabel() const { return m_artist; }
    QLabel* albumLabel() const { return m_album; }
    QLabel* titleLabel() const { return m_title; }
    // The track's picture (with the cover art setting on), right of the texts, the card
    // grown to the right to hold it; hidden, and the card as designed, when there is none.
    QLabel* coverLabel() const { return m_cover; }
    // Its closing is told once by closed(); CardWindows passes that on to the window that
    // opened the card.

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the picture embedded in tags, else the one beside the track, as reading says.
    void showCover(const ID3v2Fields& tags);

    const TagReading m_reading;
    QString m_trackPath;
    QLabel* m_path = nullptr;
    QLabel* m_artist = nullptr;
    QLabel* m_album = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_cover = nullptr;
};

} // namespace sonavue
