// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Where the user's personal documents folder is.
#include <QString>

namespace sonavue {

constexpr int PersonalFolderId = 5;

// The documents folder (XDG), else the home folder; never a trailing '/', except "/".
QString personalFolder();
// Where music is looked for when no music folder has been chosen: the music folder (XDG,
// usually ~/Music) when it exists, else the documents folder, else the home folder. The
// documents folder held the music folder where the program began; on Linux music has a
// folder of its own.
QString defaultMusicFolder();
// Path of special folder folderId, or empty text for an id it does not know.
QString specialFolderPath(int folderId);
// The part of text before its first NUL character.
QString trimAtNul(const QString& text);

} // namespace sonavue
