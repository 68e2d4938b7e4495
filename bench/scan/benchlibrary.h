// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A synthetic music library: artist folders holding album folders of ten tracks, most of
// them with an ID3v1 tag, a few MIDI and WAV files and a cover picture per album.
#include <string>

namespace sonavue::bench {

// Makes (or, when complete from an earlier run, reuses) a library of trackCount music
// files under folder. Returns false when it cannot be written.
bool ensureLibrary(const std::string& folder, int trackCount);

// A single folder of trackCount tagged MP3 files (the case where the reading loop must
// yield inside a folder to keep the window live).
bool ensureFlatLibrary(const std::string& folder, int trackCount);

} // namespace sonavue::bench
