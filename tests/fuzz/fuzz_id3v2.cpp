// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: the ID3v2 header check and TagLib reading the tag from the bytes alone.
#include "tags/id3v2tags.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::optional<std::size_t> tagSize = sonavue::id3v2TagSize(bytes, size);
    if (tagSize && *tagSize < sonavue::ID3v2HeaderSize)
        std::abort();
    const sonavue::ID3v2Fields fields = sonavue::parseID3v2(bytes, size);
    if (!tagSize && fields.any())
        std::abort();
    for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.year,
                              &fields.genre, &fields.comment})
        if (*field && (field->value().isEmpty() || !field->value().isValidUtf16()))
            std::abort();
    return 0;
}
