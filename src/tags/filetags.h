// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A music file's tags as the program reads them: the trailing ID3v1 record, and, when the
// ID3v2 setting is on, the ID3v2 tag at the start of an MP3 (read from the same open file).
// ID3v2's texts, where it has them, stand before ID3v1's; the relative volume always comes
// from the ID3v1 comment.
#include "tags/id3v1.h"
#include "tags/id3v2tags.h"
#include "tags/tagreading.h"

#include <QString>

namespace sonavue {

// Files whose ID3v2 tag is read: names ending in ".mp3" (any letter case).
bool isMp3Name(const char* name, int size);
bool isMp3Name(const QString& name);

// The trailing record's bytes and, when asked for, the leading ID3v2 tag's texts. For the
// opt-in file types, id3v2 carries their container tags' texts instead (Vorbis comments,
// MP4 atoms): they stand before ID3v1's the same way.
struct FileTagBytes {
    char tail[TagSize];
    bool tailRead = false; // false: no whole trailing record (missing, short, unreadable)
    ID3v2Fields id3v2;
    FileStamp stamp; // of the regular file opened; unknown when none was
};

// readTagBytesAt with the ID3v2 tag read from the same open file when withID3v2 holds, or
// the container tags of extraType (one ExtraType bit, 0 for none) into out.id3v2.
// Never opens anything but a regular file, never blocks. False when nothing was read.
bool readFileTagsAt(int dirfd, const char* name, bool knownRegular, bool withID3v2,
                    FileTagBytes& out, unsigned extraType = 0);

// What the player and the media controls show of a file: the ID3v1 record as readID3TAG
// gives it (its Title becomes the file name when there is no tag or a blank title), with
// the ID3v2 tag's title, artist and album over it where present (for the opt-in file
// types that reading lists, their container tags' texts). Artist and album come from the
// ID3v1 record only when the file has one: without it the record's fields are the last
// bytes of the audio, never text. A field no tag gives is empty.
struct ShownTags {
    ID3v1Record id3v1;
    ID3v2Fields id3v2;
    bool hasTag() const { return id3v1.hasTag() || id3v2.any(); }
    QString title() const { return id3v2.title.value_or(id3v1.Title); }
    QString artist() const { return id3v2.artist.value_or(fromID3v1(id3v1.Artist)); }
    QString album() const { return id3v2.album.value_or(fromID3v1(id3v1.Album)); }

private:
    QString fromID3v1(const QString& field) const { return id3v1.hasTag() ? field : QString(); }
};
ShownTags readShownTags(const QString& path, const TagReading& reading);

// What stands over the ID3v1 record's texts as reading says (ShownTags::id3v2): an MP3's
// ID3v2 tag with that setting on, the container tags of an opt-in type that reading lists;
// blank for any other file.
ID3v2Fields readRicherTags(const QString& path, const TagReading& reading);

} // namespace sonavue
