// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Playlists from outside, and the track list written out as one.
#include "base/report.h"
#include "catalogue/externalfiles.h"
#include "catalogue/playlistfile.h"
#include "playback/transport.h"

namespace sonavue {

QString Transport::openPlaylist(const QString& path) {
    Playlist playlist;
    if (QString why = readPlaylist(path, playlist); !why.isEmpty())
        return why;
    // Entries are taken as every file from outside is: a file that cannot play is passed over.
    std::vector<PlaylistEntry> playable;
    playable.reserve(playlist.entries.size());
    const FilePattern types = playableTypes();
    for (PlaylistEntry& entry : playlist.entries) {
        const QString why = whyNotReservable(entry.path, types);
        if (why.isEmpty())
            playable.push_back(std::move(entry));
        else
            playlist.note(entry.line, entry.path, why);
    }
    const QString file = oneLineText(path);
    for (const PlaylistNote& note : playlist.notes)
        reportLine(QStringLiteral("playlist %1: line %2 passed over: %3: %4")
                       .arg(file)
                       .arg(note.line)
                       .arg(oneLineText(note.text), note.why));
    if (playlist.notesLeftOut > 0)
        reportLine(QStringLiteral("playlist %1: %2 more entries passed over")
                       .arg(file)
                       .arg(playlist.notesLeftOut));
    if (playable.empty())
        return QStringLiteral("no entry of the playlist can be played");
    m_playlistTitles.read(m_browsing.showPlaylist(playable), m_player.tagReading());
    m_browsing.selectTrack(0);
    m_player.startListOver();
    return {};
}

QString Transport::saveTrackList(const QString& path) const {
    if (path.contains(QChar(u'\0')))
        return QStringLiteral("a name with a NUL character in it");
    if (!path.startsWith(QLatin1Char('/')))
        return QStringLiteral("not an absolute path");
    std::vector<PlaylistEntry> entries;
    const Catalogue& rows = m_browsing.shownCatalogue();
    for (const int row : m_browsing.shownRows())
        if (rows.hasRow(row))
            entries.push_back({rows.cell(ColPath, row), rows.cell(ColTitle, row), 0});
    if (entries.empty())
        return QStringLiteral("the track list is empty");
    return writePlaylistFile(path, m3u8Text(entries));
}

} // namespace sonavue
