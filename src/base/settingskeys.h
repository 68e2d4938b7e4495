#pragma once
// The program's own settings: each key's name and starting value, written down once. The
// names are those in the users' settings files, so they never change.
#include "base/userfolders.h"

#include <QLatin1StringView>
#include <QString>
#include <array>

namespace sonavue {

struct SettingKey {
    QLatin1StringView name;
    // The value read when the file or the key is missing.
    QString (*defaultValue)();
};

namespace Setting {

inline constexpr SettingKey Colour{QLatin1StringView("color"),
                                   [] { return QStringLiteral("&Hffffff"); }};
// "True" keeps the playing track to its end before the next selection plays.
inline constexpr SettingKey TrackChange{QLatin1StringView("option1"),
                                        [] { return QStringLiteral("true"); }};
inline constexpr SettingKey Opacity{QLatin1StringView("alph"),
                                    [] { return QStringLiteral("250"); }};
inline constexpr SettingKey FontSize{QLatin1StringView("Fontsize"),
                                     [] { return QStringLiteral("0"); }};
inline constexpr SettingKey Background{QLatin1StringView("back"),
                                       [] { return QStringLiteral("1"); }};
inline constexpr SettingKey Folder{QLatin1StringView("Folder"), &defaultMusicFolder};
inline constexpr SettingKey CodePage{QLatin1StringView("codepage"),
                                     [] { return QStringLiteral("932"); }};
// "1": an MP3's ID3v2 tag fills in what its ID3v1 tag says.
inline constexpr SettingKey ID3v2{QLatin1StringView("id3v2"), [] { return QStringLiteral("0"); }};
// Opt-in file types listed besides the boxes' ones: a comma list among flac, ogg, opus, m4a.
inline constexpr SettingKey ExtraTypes{QLatin1StringView("types"), [] { return QString(); }};
// "1": the track's cover picture (embedded in the tags read, else a picture file beside it)
// shows on the tag card and goes to the media controls. Otherwise no picture at all.
inline constexpr SettingKey CoverArt{QLatin1StringView("coverart"),
                                     [] { return QStringLiteral("0"); }};

inline constexpr int FileTypeCount = 3;
// The file-type boxes MP3, MID and WAV: "1" listed, "0" not.
inline constexpr std::array<SettingKey, FileTypeCount> FileTypes{{
    {QLatin1StringView("filter0"), [] { return QStringLiteral("1"); }},
    {QLatin1StringView("filter1"), [] { return QStringLiteral("1"); }},
    {QLatin1StringView("filter2"), [] { return QStringLiteral("1"); }},
}};
inline constexpr const SettingKey& FileType(int index) {
    return FileTypes[std::size_t(index)];
}

// Every key above, for checks over all of them.
inline constexpr std::array<const SettingKey*, 13> All{
    &Colour, &TrackChange, &Opacity,  &FontSize,     &Background,   &Folder,      &CodePage,
    &ID3v2,  &ExtraTypes,  &CoverArt, &FileTypes[0], &FileTypes[1], &FileTypes[2]};

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
