#pragma once
// The picture that goes with a track, for the desktop's media controls and the tag card: the
// front cover embedded in its ID3v2 tag (copied once into a cache folder, since other
// programs want a file), else a picture file beside it (cover.jpg, cover.png, folder.jpg,
// front.jpg). Paths are program text (see base/nativepath.h); empty text means no picture.
#include "tags/tagreading.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace sonavue {

// The first regular file in the track's folder named cover.jpg, cover.png, folder.jpg or
// front.jpg (in that order; any letter case). The folder is listed once; a FIFO, device or
// folder of such a name is passed over without being opened. Empty when there is none.
QString folderCoverPath(const QString& trackPath);

// The file in cacheFolder holding picture: named by the SHA-1 of its bytes and an extension
// from mime (or from the bytes when mime says nothing usable). Written once, atomically
// (temporary file, then rename); an existing file is left alone. The folder is made when
// missing. Empty when picture is empty or the file cannot be made.
QString cachedCoverPath(const QByteArray& picture, const QString& mime, const QString& cacheFolder);

// The picture for a track whose embedded front cover (if any) is given: that cover, cached,
// else the folder's picture. Empty when there is neither.
QString coverArtPath(const QString& trackPath, const std::optional<QByteArray>& frontCover,
                     const QString& frontCoverMime, const QString& cacheFolder);

// The same, reading the track's tags as reading says (the embedded cover only with ID3v2 on).
QString coverArtPath(const QString& trackPath, const TagReading& reading,
                     const QString& cacheFolder);

// The user's cache folder for pictures: $XDG_CACHE_HOME/Sonavue, else ~/.cache/Sonavue.
QString coverCacheFolder();

} // namespace sonavue
