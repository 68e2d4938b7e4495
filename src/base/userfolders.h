#pragma once
// Where the user's personal documents folder is.
#include <QString>

namespace sonavue {

constexpr int PersonalFolderId = 5;

// The documents folder (XDG), else the home folder; never a trailing '/', except "/".
QString personalFolder();
// Path of special folder folderId, or empty text for an id it does not know.
QString specialFolderPath(int folderId);
// The part of text before its first NUL character.
QString trimAtNul(const QString& text);

} // namespace sonavue
