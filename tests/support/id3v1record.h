// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The 128-byte ID3v1 record at a music file's end, written byte for byte: the fields are
// bytes in whatever code page the test needs, cut or padded to their widths.
#include <QByteArray>

namespace sonavue::testing {

struct TagFields {
    QByteArray title{}, artist{}, album{}, year{}, comment{};
    int genre = 0;
    int track = -1; // 0..255: an ID3v1.1 track number (byte 125 is then 0, byte 126 the number)
    QByteArray header = "TAG";
    char pad = '\0'; // what fills each field after its text
};

// header, then title, artist, album (30 bytes each), year (4), comment (30) and the genre.
QByteArray tagRecord(const TagFields& tag);

// A tag with only these fields set.
TagFields tagOf(const QByteArray& title, const QByteArray& artist = {},
                const QByteArray& album = {}, const QByteArray& year = {}, int genre = 0);

} // namespace sonavue::testing
