// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The picture that goes with a track, for the desktop's media controls and the tag card,
// only with the cover art setting on: the picture embedded in the tags the program reads
// of it (ID3v2, FLAC, Vorbis comments, MP4; see ID3v2Fields::frontCover), else a picture
// file beside it. Paths are program text (see base/nativepath.h); empty text means none.
#include "tags/covercache.h"
#include "tags/id3v2tags.h"
#include "tags/tagreading.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace sonavue {

// The regular files in the track's folder with a picture file's name, best first: cover,
// folder, front (each as .jpg, .jpeg, .png, .webp), then Windows Media Player's
// AlbumArt_{...}_Large.jpg, then its other AlbumArt*.jpg (AlbumArtSmall.jpg); any letter
// case. The folder is listed once; a FIFO, device or folder of such a name is passed over
// without being opened.
QStringList folderCoverPaths(const QString& trackPath);
// The first of them; empty when there is none.
QString folderCoverPath(const QString& trackPath);

// The picture for a track whose tags (as readRicherTags gives them) are given, as reading
// says: none with the cover art setting off; else the embedded picture, copied into
// cacheFolder (see cachedCoverPath), else the folder's picture.
QString coverArtPath(const QString& trackPath, const ID3v2Fields& tags, const TagReading& reading,
                     const QString& cacheFolder);
// The same, reading the track's tags.
QString coverArtPath(const QString& trackPath, const TagReading& reading,
                     const QString& cacheFolder);

// Offers take the bytes of the pictures a track may show, best first, until it takes one
// (returns true), as reading says: none with the cover art setting off; else the embedded
// picture of its tags (as readRicherTags gives them), then each of its folder's pictures
// (each read when its turn comes, when no larger than a picture should be). False when
// none was taken.
bool offerCoverPictures(const QString& trackPath, const ID3v2Fields& tags,
                        const TagReading& reading,
                        const std::function<bool(const QByteArray&)>& take);

} // namespace sonavue
