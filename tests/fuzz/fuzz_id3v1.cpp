// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: taking a tag record apart.
#include "tags/id3v1.h"
#include "tags/tagtext.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char raw[sonavue::TagSize] = {};
    std::memcpy(raw, data, size < sizeof raw ? size : sizeof raw);
    sonavue::ID3v1Record record;
    sonavue::decodeID3v1(raw, record);
    if (record.Title.size() != 30 || record.Year.size() != 4 || record.Header.size() != 3)
        std::abort();
    if (sonavue::cleanTagText(record.Comment).contains(QChar(0)))
        std::abort();
    return 0;
}
