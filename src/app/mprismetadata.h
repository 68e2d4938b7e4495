// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the desktop's media controls are told of the playing track (MPRIS metadata), made from
// the track's fields alone.
#include "tags/filetags.h"

#include <QString>
#include <QVariantMap>

namespace sonavue {

struct MprisTrack {
    int number = 0; // 0: nothing has been opened yet
    QString path;   // empty: no track (nothing opened, or its file could not be played)
    QString title, artist, album;
    // The track's picture (its embedded cover, cached, or its folder's), or empty.
    QString artPath;
    qint64 lengthUs = -1;
    // From the tags, where they have them (see takeMoreTags); 0 or empty where not.
    int trackNumber = 0;
    QString genre, albumArtist;
    QString created; // an ISO 8601 date and time
};

// The track's object path for the controls: a new one for each track opened.
QString mprisTrackId(int number);

// The track number, genre, album artist and date of tags into track: those of the richer
// tags (ID3v2, or an opt-in type's container tags) before the ID3v1 record's (its ID3v1.1
// track byte, the genre table's name of its genre byte, its year).
void takeMoreTags(const ShownTags& tags, MprisTrack& track);

// A date as taggers write it ("1999", "1999-05", "1999-05-03", "1999-05-03T10:30[:00]") as
// an ISO 8601 date and time, what it leaves out the earliest ("1999-01-01T00:00:00Z"): the
// controls show the year of it. Empty for anything else.
QString isoDateTimeOfTag(QStringView date);

// The metadata map: the track id always; title, URL and what the track has besides.
QVariantMap mprisMetadata(const MprisTrack& track);

} // namespace sonavue
