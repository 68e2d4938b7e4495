// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The find field: a text box that lies over the bottom edge of the track list while a find is
// open (the track finder's; catalogue/trackfinder.h) and is hidden otherwise. What is typed
// goes to the finder at each key; Up and Down move the track list's selection, Enter plays
// the selected track (Select Start), Esc closes the find and gives the focus back. A refill of
// the track list by the folder scan leaves an open find open, with its text and the focus.
#include "catalogue/trackfinder.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>

namespace sonavue {

class Transport;

class FindField : public QLineEdit {
    Q_OBJECT
public:
    // over: the track list, a sibling of the field in parent, which the field follows.
    FindField(BrowsingModel& browsing, Transport& transport, QWidget& over, QWidget* parent);

    TrackFinder& finder() { return m_finder; }
    // Shows the field with the focus; when it is open already, selects its text.
    void open();
    void close();
    // Runs refill, the folder scan's refill of the track list (which ends a find): an open
    // find stays open through it and then searches what it refilled for the field's text.
    void keepOpenThrough(const std::function<void()>& refill);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOver();
    // The find has closed: the field goes and the focus goes back where it was.
    void hideField();

    TrackFinder m_finder;
    Transport& m_transport;
    QWidget& m_over;
    QPointer<QWidget> m_focusBefore;
    bool m_keepingOpen = false;
};

} // namespace sonavue
