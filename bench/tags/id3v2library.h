// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Synthetic MP3 files for the ID3v2 benchmark: each has a small ID3v2.3 tag (or none),
// about 2 KiB of fake audio and an ID3v1 tag at the end.
#include <string>
#include <vector>

namespace sonavue::bench {

// Makes (or, when complete from an earlier run, reuses) count files under folder, 1,000 to
// a subfolder, with an ID3v2 tag at the start when withID3v2. Returns their paths; empty
// when the files cannot be written.
std::vector<std::string> ensureID3v2Library(const std::string& folder, int count, bool withID3v2);

} // namespace sonavue::bench
