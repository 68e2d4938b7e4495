// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The ID3 version 2 tag (2.2, 2.3 or 2.4) at the start of an MP3: the texts that fill the
// catalogue's cells where present. The header is looked at here, so that a file without
// a tag costs one 10-byte read; the tag itself is taken apart by TagLib, from the bytes
// read here (TagLib never opens the file).
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sonavue {

struct ID3v2Fields {
    // A field is present only when the tag has its frame with some text. The text is kept
    // whole, as TagLib decodes it (several values joined by spaces), except that trailing
    // NULs and spaces are dropped: writers pad with them, and they never mean anything.
    // year is the year of date, the date as written (see yearOfDate).
    // genre is the genre table's name when the frame is a numeric reference ("17",
    // "(17)", "(17)Rock"); other text, and references outside 0..255, stay as written.
    std::optional<QString> title, artist, album, year, genre, comment;
    std::optional<QString> albumArtist, date;
    // The track's number (see trackNumberOf), 0 when there is none.
    int track = 0;
    // The picture data of the first attached picture (APIC, or PIC in 2.2) marked as the
    // front cover, else of the first picture, when it has any bytes, and its MIME type as
    // given ("image/jpeg"; TagLib turns 2.2's "JPG" and "PNG" into those). The other types'
    // tags fill them the same way from their pictures (FLAC picture blocks, a Vorbis
    // comment's METADATA_BLOCK_PICTURE, MP4's covr).
    std::optional<QByteArray> frontCover;
    QString frontCoverMime;

    // Some text field the catalogue shows is present (the cover, album artist and track
    // number alone do not count).
    bool any() const { return title || artist || album || year || genre || comment; }
};

// The year of a date tag as taggers write it ("2026-01-15", "2026-01-15T10:00:00"): its
// first four characters when they are digits and no digit follows them. Other text, a
// plain year among it, stays as written.
std::optional<QString> yearOfDate(std::optional<QString> date);

// The number of a track number tag as taggers write it ("7", "07", "7/12"): its leading
// digits when nothing or a "/" follows them, 0 for anything else (and for no text).
int trackNumberOf(const std::optional<QString>& text);

constexpr std::size_t ID3v2HeaderSize = 10;
// No more than this is read of a tag (see readID3v2At).
constexpr std::size_t ID3v2MaxReadSize = 16 * 1024 * 1024;

// The whole tag's size in bytes (header, frames and padding, and the footer when it is
// flagged) when head starts with a valid ID3v2 header: "ID3", version 2, 3 or 4, a
// revision below 0xFF and a syncsafe size (no byte with the top bit set). Else nullopt,
// also when length is below the header's 10 bytes.
std::optional<std::size_t> id3v2TagSize(const char* head, std::size_t length);

// The fields of the tag in the first size bytes at tag. A tag cut short (size below what
// its header claims) gives the frames that are whole. Blank without a valid header.
ID3v2Fields parseID3v2(const char* tag, std::size_t size);

// Reads the tag at the start of the open file fd (fileSize bytes long) with pread, so
// that the file position is left alone. Blank when there is no tag or reading fails.
ID3v2Fields readID3v2At(int fd, std::int64_t fileSize);

// Opens the regular file at path (never a FIFO or device; the open never blocks), reads
// its tag and closes it. Blank on any failure.
ID3v2Fields readID3v2(const QString& path);

} // namespace sonavue
