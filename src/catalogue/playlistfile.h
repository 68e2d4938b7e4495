// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Playlist files: M3U, M3U8 and PLS read (from outside: a second start, "Open with", a drop,
// the remote, the media controls), the track list written out as M3U8. Reading takes the
// file whole within fixed bounds and never trusts what it holds: an entry that is not a
// path of this system is passed over with a note, and whether an entry's file can play is
// the caller's check.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace sonavue {

enum class PlaylistFormat { M3U, M3U8, PLS };

// The format a file name's suffix names (case ignored), or nullopt for any other file.
std::optional<PlaylistFormat> playlistFormatOf(const QString& path);

struct PlaylistEntry {
    QString path;  // absolute
    QString title; // #EXTINF's or PLS's title; empty when the file gives none
    int line = 0;  // where it stands in the file, from 1
};
// An entry passed over, and why.
struct PlaylistNote {
    int line = 0;
    QString text; // the entry as written
    QString why;
};
struct Playlist {
    std::vector<PlaylistEntry> entries;
    // The first MaxPlaylistNotes entries passed over; the rest are only counted.
    std::vector<PlaylistNote> notes;
    int notesLeftOut = 0;
    void note(int line, const QString& text, const QString& why);
};

// Bounds of every playlist taken from outside.
inline constexpr qsizetype MaxPlaylistBytes = 8 * 1024 * 1024;
inline constexpr int MaxPlaylistEntries = 20000;
inline constexpr int MaxPlaylistNotes = 50;

// The entries of a playlist's bytes, folder being the playlist's own folder (for relative
// entries). M3U8 is UTF-8; M3U and PLS are UTF-8 when they read as such, else the tags'
// code page (Shift-JIS). A BOM, CRLF line ends, comments and blank lines are allowed;
// entries past MaxPlaylistEntries are noted, not taken.
Playlist parsePlaylist(const QByteArray& bytes, PlaylistFormat format, const QString& folder);

// Reads the playlist at path: an absolute path without NUL of a regular file of a playlist
// type, at most MaxPlaylistBytes. Empty text when it was read into out, else why not.
QString readPlaylist(const QString& path, Playlist& out);

// An M3U8 text of the entries: "#EXTM3U", then for each an "#EXTINF:-1," line with its
// title (when it has one) and its absolute path.
QByteArray m3u8Text(const std::vector<PlaylistEntry>& entries);
// Writes the text to path through a temporary file renamed over it, so that a failure
// leaves any file there as it was. Empty text when written, else why not.
QString writePlaylistFile(const QString& path, const QByteArray& text);

} // namespace sonavue
