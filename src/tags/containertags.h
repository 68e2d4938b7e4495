// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The file types listed only when the "types" setting names them: FLAC, Ogg Vorbis, Opus
// and M4A. Their text tags (Vorbis comments, MP4 atoms) and cover pictures are read with
// TagLib into the same fields an MP3's ID3v2 tag gives, so that the catalogue and the player
// take them the same way.
#include "base/playabletypes.h"
#include "tags/id3v2tags.h"

#include <QString>
#include <cstdint>

namespace sonavue {

// Bits of TagReading::extraTypes: the opt-in types of the playable types whose tags are
// read here, each by its extension's bit in that list.
enum ExtraType : unsigned {
    ExtraFlac = extraTypeBit("flac"),
    ExtraOgg = extraTypeBit("ogg"), // Vorbis, else Opus or FLAC in Ogg
    ExtraOpus = extraTypeBit("opus"),
    ExtraM4a = extraTypeBit("m4a"),
};
// Every opt-in type of the list has its tags read here, and every reader has its type listed.
static_assert(ExtraFlac != 0 && ExtraOgg != 0 && ExtraOpus != 0 && ExtraM4a != 0 &&
                  (ExtraFlac | ExtraOgg | ExtraOpus | ExtraM4a) == AllExtraTypes,
              "the opt-in playable types and the tag readers differ");

// A comma-separated list among flac, ogg, opus and m4a; spaces and letter case do not
// matter, other words are ignored. Empty: none.
unsigned parseExtraTypes(const QString& list);
// The type bit a file name ends in (any letter case), or 0.
unsigned extraTypeOfName(const char* name, int size);
unsigned extraTypeOfName(const QString& name);

// The text tags and the cover picture (see ID3v2Fields::frontCover) of the open regular file
// fd (fileSize bytes long) read as type (one ExtraType bit), with pread (the file position
// is left alone). Blank when the file has none or is not of that type; never throws,
// whatever the bytes.
ID3v2Fields readContainerTagsAt(int fd, std::int64_t fileSize, unsigned type);
// Opens the regular file at path (never a FIFO or device; the open never blocks) and
// reads its tags as the type its name ends in. Blank on any failure or another type.
ID3v2Fields readContainerTags(const QString& path);

} // namespace sonavue
