// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Files that come from outside the music folder (the command line, a second start, media
// controls, a drop on the window): the checks the folder scan makes before a file may be
// reserved, and the one line that says why one was not.
#include "catalogue/filelisting.h"

#include <QString>

namespace sonavue {

// The file types a file from outside may be: every type the player plays (MP3, MIDI, WAV,
// FLAC, Ogg, Opus, M4A), whatever the scan lists. Opening a file is the user's own choice.
FilePattern playableTypes();

// Why path may not go on the reserved list, empty when it may: it must be an absolute path
// without NUL characters of an existing regular file (links followed) that this user can
// read and whose name matches types.
QString whyNotReservable(const QString& path, const FilePattern& types);

// "sonavue: not added to the reserved list: <path>: <why>" on standard error, as one line
// whatever the path holds.
void reportRefusal(const QString& path, const QString& why);
// path for a message line: escaped bytes as U+FFFD, control characters as '?'.
QString oneLineText(const QString& path);

// A command-line file argument as an absolute path (relative ones are taken from the
// current folder), with its bytes kept.
QString absoluteArgumentPath(const QString& argument);

} // namespace sonavue
