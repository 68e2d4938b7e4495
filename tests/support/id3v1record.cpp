// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "id3v1record.h"

namespace sonavue::testing {

QByteArray tagRecord(const TagFields& tag) {
    const auto field = [&tag](const QByteArray& text, int width) {
        return text.left(width).leftJustified(width, tag.pad);
    };
    QByteArray record = tag.header + field(tag.title, 30) + field(tag.artist, 30) +
                        field(tag.album, 30) + field(tag.year, 4) + field(tag.comment, 30) +
                        char(tag.genre);
    if (tag.track >= 0) {
        record[125] = '\0';
        record[126] = char(tag.track);
    }
    return record;
}

TagFields tagOf(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                const QByteArray& year, int genre) {
    return {title, artist, album, year, {}, genre};
}

} // namespace sonavue::testing
