// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// How the program reads the tags of music files, fixed for a run by the settings: the code
// page of ID3v1 text, whether an MP3's ID3v2 tag fills in what ID3v1 says, which opt-in
// file types (FLAC, Ogg, Opus, M4A) are listed and have their tags read, and whether
// tracks show cover pictures, and whether files play at their ReplayGain level.
#include "tags/replaygain.h"
#include "tags/tagcodepage.h"

namespace sonavue {

struct TagReading {
    TagCodePage codePage = DefaultTagCodePage;
    // Off by default: only the ID3v1 record is read.
    bool id3v2 = false;
    // ExtraType bits (tags/containertags.h); none by default.
    unsigned extraTypes = 0;
    // Off by default: no cover picture anywhere (tags/coverart.h).
    bool coverArt = false;
    // Off by default: every file plays at the volume level alone (tags/replaygain.h).
    ReplayGainMode replayGain = ReplayGainMode::Off;
    // The gain in dB of files without ReplayGain values while it is on.
    double replayGainPreampDb = 0.0;
};

} // namespace sonavue
