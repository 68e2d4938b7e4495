// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The ID3 version 1 record: the 128 bytes at the very end of a music file.
#include "base/filestamp.h"
#include "tags/tagcodepage.h"
#include <QString>
#include <cstdint>

namespace sonavue {

struct ID3v1Record {
    // Fixed-width texts: as many characters as the field has bytes (3, 30, 30, 30, 4, 30),
    // padded on the right with spaces. A blank record has all texts empty.
    QString Header, Title, Artist, Album, Year, Comment;
    std::uint8_t Genre = 0;
    // ID3v1.1's track number: byte 126 when byte 125 (the comment's last) is 0; else 0.
    std::uint8_t Track = 0;

    bool hasTag() const { return Header == QLatin1String("TAG"); }
};

constexpr int TagSize = 128;

// Where each field lies in the 128-byte record.
struct TagField {
    int offset;
    int width;
};
constexpr TagField HeaderField{0, 3};
constexpr TagField TitleField{3, 30};
constexpr TagField ArtistField{33, 30};
constexpr TagField AlbumField{63, 30};
constexpr TagField YearField{93, 4};
constexpr TagField CommentField{97, 30};
constexpr int TrackOffset = 126; // ID3v1.1: byte 125 is 0 and byte 126 the track number
constexpr int GenreOffset = 127;

// Every reader below decodes the text fields in codePage (the settings' choice).

// Fills a record from 128 raw bytes (no file access; Title is left as read).
void decodeID3v1(const char* bytes128, ID3v1Record& record,
                 TagCodePage codePage = DefaultTagCodePage);
// Stores text into a fixed-width field: cut to width, or padded with spaces.
QString fixedWidth(const QString& text, int width);

// The raw trailing 128 bytes of a regular file, read with one pread at size - 128. The name
// is looked at first and opened only when it is a regular file (never a FIFO or device);
// the open never blocks, and the open file is checked again. knownRegular: the caller's
// folder listing already says "regular file" (d_type DT_REG), so the first look is skipped.
// False, with out untouched, when the file is missing, not a regular file, shorter than
// 128 bytes or unreadable. name is relative to dirfd (AT_FDCWD: the current folder; an
// absolute name ignores dirfd). These are the folder scan's fast path. stamp, when given,
// takes the stamp of the regular file opened (whether or not a record was read).
bool readTagBytesAt(int dirfd, const char* name, char out[TagSize], bool knownRegular = false,
                    FileStamp* stamp = nullptr);
bool readTagBytes(const QByteArray& nativePath, char out[TagSize]);

// readID3TAG's steps after the read, for callers that read the bytes themselves:
// bytes128 null (nothing read) gives a blank record; otherwise the record is decoded and
// Title becomes fileName (cut to 30) when there is no "TAG" or the title is blank.
void recordFromTagBytes(const char* bytes128, const QString& fileName, ID3v1Record& record,
                        TagCodePage codePage = DefaultTagCodePage);

// Reads the last 128 bytes of the file at path into record. A file that cannot be read
// or is shorter than 128 bytes gives a blank record. Without "TAG", or with a blank
// title, Title becomes the file's name (cut to 30 characters). Never opens anything but
// a regular file (a FIFO named x.mp3 would block forever).
void readID3TAG(const QString& path, ID3v1Record& record,
                TagCodePage codePage = DefaultTagCodePage);

// The tag window's reader: title, artist, album up to each field's first NUL (trailing
// spaces kept) and the track byte (byte 126). Skips files under 256 bytes and names not
// ending in "MP3" (any case), leaving the outputs untouched. A file that has no "TAG"
// record leaves the three texts empty and Titleno 0.
void getMP3TAG(const QString& tfname, QString& artistname, QString& albumname, QString& Titlename,
               std::uint8_t& Titleno, TagCodePage codePage = DefaultTagCodePage);
// getMP3TAG for a file of any name: the tag window's reader for the opt-in file types.
void getTrackTAG(const QString& path, QString& artistname, QString& albumname, QString& Titlename,
                 std::uint8_t& Titleno, TagCodePage codePage = DefaultTagCodePage);

} // namespace sonavue
