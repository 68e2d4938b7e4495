// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/playlisttitles.h"

#include "tags/filetags.h"
#include "tags/tagtext.h"

#include <QElapsedTimer>

namespace sonavue {

PlaylistTitles::PlaylistTitles(BrowsingModel& browsing, QObject* parent)
    : QObject(parent), m_browsing(browsing) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &PlaylistTitles::readSome);
}

void PlaylistTitles::read(std::vector<int> rows, const TagReading& reading) {
    m_reading = reading;
    m_rows = std::move(rows);
    m_next = 0;
    if (m_rows.empty())
        m_timer.stop();
    else
        m_timer.start();
}

void PlaylistTitles::readSome() {
    QElapsedTimer turn;
    turn.start();
    const Catalogue& rows = m_browsing.playlist();
    while (m_next < m_rows.size() && !turn.hasExpired(TurnMs)) {
        const int row = m_rows[m_next++];
        const ShownTags tags = readShownTags(rows.cell(ColPath, row), m_reading);
        // A file without a tag keeps the playlist's title (or its name).
        const QString title = cleanTagText(tags.title());
        if (tags.hasTag() && !title.isEmpty())
            m_browsing.setPlaylistTitle(row, title);
    }
    if (m_next >= m_rows.size())
        m_timer.stop();
}

} // namespace sonavue
