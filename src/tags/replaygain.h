// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// ReplayGain: a file's tagged loudness correction, and the linear gain the player applies
// for it. The values are read from an MP3's ID3v2 TXXX frames (REPLAYGAIN_TRACK_GAIN and
// _PEAK, REPLAYGAIN_ALBUM_GAIN and _PEAK), the Vorbis comments of FLAC, Ogg and Opus files
// and an M4A's freeform atoms of the same names.
#include <QString>
#include <QStringView>
#include <optional>

namespace sonavue {

enum class ReplayGainMode { Off, Track, Album };

// "track" or "album" in any letter case, spaces around ignored; anything else is Off.
ReplayGainMode replayGainModeSetting(const QString& text);

struct ReplayGainValues {
    std::optional<double> trackGainDb, trackPeak, albumGainDb, albumPeak;
    bool operator==(const ReplayGainValues&) const = default;
};

// A gain as taggers write it: a signed decimal number ("+" or "-", also U+2212), then
// optionally "dB" in any case, spaces around. Nothing for anything else.
std::optional<double> parseGainDb(QStringView text);
// A peak: a decimal number above zero (1.0 is full scale). Nothing for anything else.
std::optional<double> parsePeak(QStringView text);

// Reads the values of the file at path as its type (by its name) holds them; nothing
// present for a file without them, one that cannot be read or is not a regular file.
ReplayGainValues readReplayGain(const QString& path);

// The gain arithmetic: which value a mode takes, the pre-amp for files without one, and the
// clipping prevention: a gain never takes the peak (the album's, else the track's, or the
// other way round in track mode) past full scale, and without a peak a tagged gain never
// raises the level. The pre-amp, the user's own choice, is limited by a peak only.
class ReplayGain {
public:
    ReplayGain(ReplayGainMode mode, double preampDb) : m_mode(mode), m_preampDb(preampDb) {}

    // Why less than the tagged gain is applied.
    enum class Limit {
        None,
        Peak,  // lowered so that the peak does not pass full scale
        Unity, // not raised: no peak tells how far a raise may go
    };
    // What is applied to a file and why.
    struct Applied {
        double gain = 1.0;     // linear
        double gainDb = 0.0;   // the same in dB
        bool fromTags = false; // else the pre-amp (or nothing, with the mode off)
        bool album = false;    // the album's value (else the track's)
        Limit limit = Limit::None;
        double taggedGainDb = 0.0; // the gain before the limit
    };
    Applied apply(const ReplayGainValues& values) const;
    // The applied gain in words, for the tag card ("ReplayGain: album -6.50 dB"); empty with
    // the mode off.
    QString describe(const ReplayGainValues& values) const;
    ReplayGainMode mode() const { return m_mode; }

private:
    ReplayGainMode m_mode;
    double m_preampDb;
};

} // namespace sonavue
