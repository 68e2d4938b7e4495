// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The synthetic music library the window benchmark scans: artist folders holding album
// folders of ten tracks of a few KB, nearly all with an ID3v1 tag at the end.
#include <QString>

namespace sonavue::bench {

struct UiLibrary {
    QString folder;      // empty when it could not be written
    bool reused = false; // complete from an earlier run
    double secondsToWrite = 0;
};

// The library of trackCount files in /tmp/sonavue-bench-ui-<trackCount> (kept between
// runs and reused when complete).
UiLibrary ensureUiLibrary(int trackCount);

// Its layout, which the benchmark needs to pick entries and check fills.
constexpr int UiTracksPerAlbum = 10;
constexpr int UiAlbumsPerArtist = 10;

} // namespace sonavue::bench
