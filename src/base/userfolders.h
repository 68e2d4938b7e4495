// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Where the user's folders are: the personal documents folder, the music folder, and the
// private runtime folder the player's socket lives in.
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
// The user's private runtime folder: $XDG_RUNTIME_DIR when it names a folder, else
// runtime-<user> in the temporary folder (as Qt names its own), made for the user alone when
// it is missing. One that is there already is taken only when it is a folder (not a link)
// of this user's with mode 0700: in a shared temporary folder another user may have made it.
struct RuntimeFolder {
    QString path;    // empty when there is none to take
    QString problem; // then why not, as a sentence part naming the folder
};
RuntimeFolder runtimeFolder();

// The program's own cache folder: Sonavue under $XDG_CACHE_HOME (when absolute), else
// ~/.cache/Sonavue; empty without a home. What lies there can be made again.
QString programCacheFolder();
// The program's folder for what it keeps of the user's session ($XDG_STATE_HOME/Sonavue or
// ~/.local/state/Sonavue); empty when there is no home folder.
QString programStateFolder();

// The part of text before its first NUL character.
QString trimAtNul(const QString& text);

} // namespace sonavue
