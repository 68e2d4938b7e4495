// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the desktop's media controls and --print-playing call a playing file: its tags'
// title (the file name when no tag gives one), artist and album, without their padding.
#include "tags/filetags.h"

#include <QString>

namespace sonavue {

struct TrackText {
    QString title;
    QString artist; // empty when the file has no tag
    QString album;  // empty when the file has no tag
};

// tags: what readShownTags gave for path.
TrackText trackText(const QString& path, const ShownTags& tags);

} // namespace sonavue
