// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The titles of a playlist's entries outside the library, read from their files' tags a few
// at a time on the window's thread: the list shows at once with the playlist's own titles,
// and each file's title takes its place as it is read.
#include "catalogue/browsingmodel.h"
#include "tags/tagreading.h"

#include <QObject>
#include <QTimer>
#include <vector>

namespace sonavue {

class PlaylistTitles : public QObject {
    Q_OBJECT
public:
    explicit PlaylistTitles(BrowsingModel& browsing, QObject* parent = nullptr);

    // Reads the tags of these rows of the playlist shown last (those of an earlier one are
    // left unread).
    void read(std::vector<int> rows, const TagReading& reading);
    bool reading() const { return m_timer.isActive(); }

    // How long one turn of reading may hold the window.
    static constexpr int TurnMs = 8;

private:
    void readSome();

    BrowsingModel& m_browsing;
    TagReading m_reading;
    std::vector<int> m_rows;
    std::size_t m_next = 0;
    QTimer m_timer;
};

} // namespace sonavue
