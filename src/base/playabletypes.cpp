// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "base/playabletypes.h"

namespace sonavue {
namespace {

QString textOf(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

QString filePatternFor(bool mp3, bool mid, bool wav, unsigned extraTypes) {
    static_assert(FileTypeCount == 3, "one flag for each file-type box");
    const std::array<bool, FileTypeCount> boxes{mp3, mid, wav};
    QString pattern;
    for (std::size_t i = 0; i < PlayableTypes.size(); ++i) {
        const bool chosen =
            i < boxes.size() ? boxes[i] : (extraTypes & (1u << (i - boxes.size()))) != 0;
        if (!chosen)
            continue;
        // Each piece but the first type's starts with the separator, whatever comes before.
        if (i > 0)
            pattern += QLatin1Char(';');
        pattern += QLatin1String("*.") + textOf(PlayableTypes[i].extension);
    }
    return pattern;
}

QStringList playableMimeTypes() {
    QStringList types;
    for (const PlayableType& type : PlayableTypes)
        types += textOf(type.mimeTypes).split(QLatin1Char(';'));
    return types;
}

QStringList playlistMimeTypes() {
    return textOf(PlaylistMimeTypes).split(QLatin1Char(';'));
}

} // namespace sonavue
