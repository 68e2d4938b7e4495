// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The track list: the titles and, under their left edge, the catalogue row numbers. Both
// show the browsing model's track list and share its selections; this pane keeps them
// scrolled together and tells what the user does with a track.
#include <QWidget>

class QListView;

namespace sonavue {

class BrowsingModel;

class TrackListPane : public QWidget {
    Q_OBJECT
public:
    TrackListPane(BrowsingModel& browsing, QWidget* parent);

    // The titles' width in pixels (the window's layout gives it; the numbers keep theirs).
    void setTitlesWidth(int width);
    int titlesWidth() const;
    void setListFontSize(double points);

signals:
    // A mouse button went down on a track (after the press selected it).
    void trackPressed();
    // A track was double-clicked.
    void trackDoubleClicked();

private:
    // The numbers' first visible entry follows the titles', and the titles follow the
    // numbers when those are scrolled.
    void keepNumbersBesideTitles();

    QListView* m_numbers;
    QListView* m_titles;
    bool m_syncingScroll = false;
};

} // namespace sonavue
