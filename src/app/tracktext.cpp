// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/tracktext.h"

#include "base/nativepath.h"
#include "tags/tagtext.h"

namespace sonavue {

TrackText trackText(const QString& path, const ShownTags& tags) {
    TrackText text;
    const QString tagTitle =
        tags.id3v2.title.value_or(tags.id3v1.hasTag() ? cleanTagText(tags.id3v1.Title) : QString());
    text.title = tagTitle.isEmpty() ? fileNamePart(path) : tagTitle;
    // Without a tag the ID3v1 record's fields are the last bytes of the audio, never text.
    if (tags.hasTag()) {
        text.artist = cleanTagText(tags.artist());
        text.album = cleanTagText(tags.album());
    }
    return text;
}

} // namespace sonavue
