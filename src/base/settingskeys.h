// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The program's own settings: each key's name and starting value, and for a key read as a
// number or a truth value its fallback, range and reading rule, written down once. The names
// are those in the users' settings files, so they never change.
#include "base/playabletypes.h"
#include "base/userfolders.h"

#include <QLatin1StringView>
#include <QString>
#include <array>
#include <cstdint>

namespace sonavue {

struct SettingKey {
    QLatin1StringView name;
    // The value read when the file or the key is missing.
    QString (*defaultValue)();
};

class ProgramSettings;

// A key holding a whole number: its text is read by the leading-number rule (text without
// digits, an empty value too, reads 0) and rounded half to even; a number outside low..high
// reads as fallback. Written as decimal digits.
struct WholeNumberKey : SettingKey {
    int fallback;
    int low;
    int high;

    int read(const ProgramSettings& settings) const;
    bool write(const ProgramSettings& settings, int value) const;
};

// A key holding a truth value: "True"/"False" in any case, or a number (0 false, any other
// true); other text reads as fallback. Written as "True" or "False".
struct TruthKey : SettingKey {
    bool fallback;

    bool read(const ProgramSettings& settings) const;
    bool write(const ProgramSettings& settings, bool value) const;
};

// A key holding a colour as a number (&H introduces hexadecimal digits): read by the
// leading-number rule and rounded half to even; a number beyond 32 bits reads as fallback.
// Written as decimal digits.
struct ColourKey : SettingKey {
    std::int32_t fallback;

    std::int32_t read(const ProgramSettings& settings) const;
    bool write(const ProgramSettings& settings, std::int32_t value) const;
};

namespace Setting {

// The window's background colour, white when missing or beyond 32 bits.
inline constexpr ColourKey Colour{
    {QLatin1StringView("color"), [] { return QStringLiteral("&Hffffff"); }}, 0xFFFFFF};
// True keeps the playing track to its end before the next selection plays.
inline constexpr TruthKey TrackChange{
    {QLatin1StringView("option1"), [] { return QStringLiteral("true"); }}, true};
// The main window's opacity, 64 (nearly clear) to 255 (solid).
inline constexpr WholeNumberKey Opacity{
    {QLatin1StringView("alph"), [] { return QStringLiteral("250"); }}, 250, 64, 255};
// The lists' font size: 0 small, 1 middle, 2 large.
inline constexpr WholeNumberKey FontSize{
    {QLatin1StringView("Fontsize"), [] { return QStringLiteral("0"); }}, 0, 0, 2};
// The background picture behind the window: 0 shown, 1 not.
inline constexpr WholeNumberKey Background{
    {QLatin1StringView("back"), [] { return QStringLiteral("1"); }}, 1, 0, 1};
inline constexpr SettingKey Folder{QLatin1StringView("Folder"), &defaultMusicFolder};
inline constexpr SettingKey CodePage{QLatin1StringView("codepage"),
                                     [] { return QStringLiteral("932"); }};
// 1: an MP3's ID3v2 tag fills in what its ID3v1 tag says.
inline constexpr WholeNumberKey ID3v2{
    {QLatin1StringView("id3v2"), [] { return QStringLiteral("0"); }}, 0, 0, 1};
// Opt-in file types listed besides the boxes' ones: a comma list among flac, ogg, opus, m4a.
inline constexpr SettingKey ExtraTypes{QLatin1StringView("types"), [] { return QString(); }};
// 1: the track's cover picture (embedded in the tags read, else a picture file beside it)
// shows on the tag card and goes to the media controls. Otherwise no picture at all.
inline constexpr WholeNumberKey CoverArt{
    {QLatin1StringView("coverart"), [] { return QStringLiteral("0"); }}, 0, 0, 1};

// 1: a desktop notification at each track start. Otherwise none.
inline constexpr WholeNumberKey Notify{
    {QLatin1StringView("notify"), [] { return QStringLiteral("0"); }}, 0, 0, 1};

// 1: a track that ends by itself is followed sample for sample by the next one, prepared
// before the end. Otherwise each track change closes one file and opens the next.
inline constexpr WholeNumberKey Gapless{
    {QLatin1StringView("gapless"), [] { return QStringLiteral("0"); }}, 0, 0, 1};
// "track" or "album": each file plays at its ReplayGain level (album falls back to track).
// Anything else: no ReplayGain.
inline constexpr SettingKey ReplayGain{QLatin1StringView("replaygain"), [] { return QString(); }};
// The gain in dB for files without ReplayGain values while ReplayGain is on (a number, may
// be negative or a fraction; -20..20).
inline constexpr SettingKey ReplayGainPreamp{QLatin1StringView("replaygainpreamp"),
                                             [] { return QStringLiteral("0"); }};

// 1: the library is kept between starts (shown at once, then brought up to date) and
// watched for changes while the player runs. Otherwise every start scans the whole folder.
inline constexpr WholeNumberKey KeepLibrary{
    {QLatin1StringView("keeplibrary"), [] { return QStringLiteral("0"); }}, 0, 0, 1};
// Minutes between looks at a kept library whose changes are not told (a network share, the
// watch limit reached): 1 to 1440.
inline constexpr WholeNumberKey LibraryCheckMinutes{
    {QLatin1StringView("librarycheck"), [] { return QStringLiteral("5"); }}, 5, 1, 1440};

// 1: the end-of-track step plays the track list in a random order, each track once, then the
// next group entry's. Written when it is switched.
inline constexpr WholeNumberKey Shuffle{
    {QLatin1StringView("shuffle"), [] { return QStringLiteral("0"); }}, 0, 0, 1};
// "all" (round to the first group entry after the last), "one" (a track's end plays it again)
// or "none" (play stops after the last group entry); other text reads as "all". Written when
// it is switched.
inline constexpr SettingKey Repeat{QLatin1StringView("repeat"),
                                   [] { return QStringLiteral("all"); }};

// 1: at quit the reserved list, the track list shown and the playing track with its position
// are kept, and the next start brings them back, paused there; 2: the same, playing on.
// Otherwise nothing is kept.
inline constexpr WholeNumberKey Resume{
    {QLatin1StringView("resume"), [] { return QStringLiteral("0"); }}, 0, 0, 2};

using sonavue::FileTypeCount;
// The file-type boxes MP3, MID and WAV: 1 listed, 0 not.
inline constexpr std::array<WholeNumberKey, FileTypeCount> FileTypes{{
    {{QLatin1StringView("filter0"), [] { return QStringLiteral("1"); }}, 1, 0, 1},
    {{QLatin1StringView("filter1"), [] { return QStringLiteral("1"); }}, 1, 0, 1},
    {{QLatin1StringView("filter2"), [] { return QStringLiteral("1"); }}, 1, 0, 1},
}};
inline constexpr const WholeNumberKey& FileType(int index) {
    return FileTypes[std::size_t(index)];
}

// Every key above, for checks over all of them.
inline constexpr std::array<const SettingKey*, 22> All{&Colour,
                                                       &TrackChange,
                                                       &Opacity,
                                                       &FontSize,
                                                       &Background,
                                                       &Folder,
                                                       &CodePage,
                                                       &ID3v2,
                                                       &ExtraTypes,
                                                       &CoverArt,
                                                       &Notify,
                                                       &Gapless,
                                                       &Shuffle,
                                                       &Repeat,
                                                       &ReplayGain,
                                                       &ReplayGainPreamp,
                                                       &FileTypes[0],
                                                       &FileTypes[1],
                                                       &FileTypes[2],
                                                       &KeepLibrary,
                                                       &LibraryCheckMinutes,
                                                       &Resume};

} // namespace Setting

// The settings of one program name: its file's section "init".
class ProgramSettings {
public:
    explicit ProgramSettings(QString appName) : m_appName(std::move(appName)) {}

    QString read(const SettingKey& key) const;
    bool write(const SettingKey& key, const QString& value) const;
    const QString& appName() const { return m_appName; }

private:
    QString m_appName;
};

} // namespace sonavue
