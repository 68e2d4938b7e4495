// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/settings/optinsettings.h"

#include "base/numbers.h"
#include "tags/containertags.h"
#include "tags/replaygain.h"
#include "tags/tagcodepage.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace sonavue {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr std::array<OptionChoice, 4> CodePages{{
    {"932"_L1, "932 (シフトJIS)"},
    {"1252"_L1, "1252 (西欧)"},
    {"65001"_L1, "65001 (UTF-8)"},
    {"auto"_L1, "auto (自動判定)"},
}};
constexpr std::array<OptionChoice, 3> GainModes{{
    {""_L1, "切"},
    {"track"_L1, "トラック"},
    {"album"_L1, "アルバム"},
}};
constexpr std::array<OptionChoice, 3> ResumeModes{{
    {"0"_L1, "切"},
    {"1"_L1, "一時停止で再開"},
    {"2"_L1, "再生して再開"},
}};
constexpr std::array<OptionChoice, 4> TypeWords{{
    {"flac"_L1, "FLAC"},
    {"ogg"_L1, "Ogg"},
    {"opus"_L1, "Opus"},
    {"m4a"_L1, "M4A"},
}};

QStringList wordsOf(const QString& text) {
    QStringList words;
    for (const QString& word : text.split(u','))
        if (!word.trimmed().isEmpty())
            words << word.trimmed();
    return words;
}

// The player's readings of each kind of key (core/corestart.cpp, app/tracknotifier.cpp).
template <const WholeNumberKey& Key> QString readWholeNumber(const QString& text) {
    return QString::number(wholeNumberOr(text, Key.fallback, Key.low, Key.high));
}

QString readCodePage(const QString& text) {
    return CodePages[std::size_t(tagCodePageSetting(text))].value;
}

QString readGainMode(const QString& text) {
    return GainModes[std::size_t(replayGainModeSetting(text))].value;
}

QString readPreamp(const QString& text) {
    const std::optional<double> gain = parseGainDb(text);
    return QString::number(gain && std::abs(*gain) <= 20.0 ? *gain : 0.0);
}

QString readTypes(const QString& text) {
    const unsigned chosen = parseExtraTypes(text);
    QStringList words;
    for (const OptionChoice& word : TypeWords)
        if (chosen & parseExtraTypes(word.value))
            words << word.value;
    return words.join(u',');
}

const std::array<OptInOption, 11> Options{{
    {&Setting::CodePage, OptionKind::Choice, &readCodePage, "タグの文字コード", "Tag code page",
     "ID3v1 タグの題名や曲名を読む文字コード",
     "The code page the ID3v1 tag's text fields (title, artist, album, year, comment) are read "
     "in, everywhere they are shown. Any other value reads as 932.",
     CodePages},
    {&Setting::ID3v2, OptionKind::Switch, &readWholeNumber<Setting::ID3v2>, "ID3v2 タグ",
     "ID3v2 tags", "MP3 の ID3v2 タグにある題名・アーティスト・アルバムなどを使う",
     "An MP3's ID3v2 tag (version 2.2, 2.3 or 2.4) gives the title, artist, album, year, genre "
     "and comment wherever it has them, whole rather than cut to ID3v1's 30 characters; the "
     "ID3v1 tag gives the rest."},
    {&Setting::ExtraTypes, OptionKind::TypeList, &readTypes, "追加の形式", "More file types",
     "MP3 と同じように一覧・再生するファイル形式",
     "Files of those types are listed, catalogued, browsed, reserved and played like MP3s, "
     "whatever the MP3/MID/WAV boxes say; their Vorbis comments or MP4 tags give the texts.",
     TypeWords},
    {&Setting::CoverArt, OptionKind::Switch, &readWholeNumber<Setting::CoverArt>, "カバー画像",
     "Cover art", "タグカードとメディア操作に曲の画像を出す",
     "The tag card shows the pressed track's picture and the desktop's media controls the "
     "playing track's: a picture embedded in the track's tags first, otherwise a picture file "
     "beside the track (cover, folder or front)."},
    {&Setting::Notify, OptionKind::Switch, &readWholeNumber<Setting::Notify>, "通知",
     "Notifications", "曲が始まるたびにデスクトップ通知を出す",
     "Shows a desktop notification at each track start."},
    {&Setting::Gapless, OptionKind::Switch, &readWholeNumber<Setting::Gapless>, "ギャップレス再生",
     "Gapless play", "自然に終わった曲に次の曲を隙間なく続ける",
     "Follows a track that ends by itself with the next one sample for sample. Where the next "
     "file cannot follow without a gap, the track ends and the next file opens as without "
     "gapless play."},
    {&Setting::ReplayGain, OptionKind::Choice, &readGainMode, "リプレイゲイン", "ReplayGain",
     "各ファイルを ReplayGain の音量で鳴らす",
     "track or album plays each file at its ReplayGain level, lowered where the peak would "
     "pass full scale (album mode: the album's peak, else the track's; track mode: the "
     "track's, else the album's).",
     GainModes},
    {&Setting::ReplayGainPreamp,
     OptionKind::Number,
     &readPreamp,
     "プリアンプ (dB)",
     "Pre-amp in dB",
     "ReplayGain の値がないファイルの増幅 (-20〜20 dB)",
     "The gain in dB, -20 to 20, for files without ReplayGain values while ReplayGain is on.",
     {},
     -20,
     20,
     1},
    {&Setting::KeepLibrary, OptionKind::Switch, &readWholeNumber<Setting::KeepLibrary>,
     "ライブラリの保持", "Keep the library", "起動の間ライブラリを保ち、音楽フォルダの変更を見張る",
     "The library is kept between starts: the window shows at once with the kept catalogue, a "
     "scan on a thread of its own brings it up to date, and the music folder is watched while "
     "the player runs."},
    {&Setting::LibraryCheckMinutes,
     OptionKind::Number,
     &readWholeNumber<Setting::LibraryCheckMinutes>,
     "確認の間隔 (分)",
     "Check interval in minutes",
     "変更が知らされない保持ライブラリを見直す間隔",
     "Minutes between looks for changes where they are not told (a network or FUSE file "
     "system, the watch limit reached), 1 to 1440.",
     {},
     1,
     1440,
     0},
    {&Setting::Resume, OptionKind::Choice, &readWholeNumber<Setting::Resume>, "続きから再開",
     "Resume", "終了時の曲・位置・予約リスト・一覧を次の起動で戻す",
     "At quit the reserved list, the track list shown and the playing track with its position "
     "are kept; the next start brings them back and waits paused there (1) or plays on (2).",
     ResumeModes},
}};

bool isChoice(std::span<const OptionChoice> choices, const QString& text) {
    for (const OptionChoice& choice : choices)
        if (text.trimmed().compare(choice.value, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

std::span<const OptInOption> optInOptions() {
    return Options;
}

static_assert(std::size_t(TagCodePage::Auto) == 3 && std::size_t(ReplayGainMode::Album) == 2,
              "the choices follow the readings' order");

bool optionUnderstood(const OptInOption& option, const QString& text) {
    switch (option.kind) {
    case OptionKind::Switch:
        return text.trimmed() == u"0" || text.trimmed() == u"1";
    case OptionKind::Choice:
        return isChoice(option.choices, text);
    case OptionKind::Number: {
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        // A number finer than the box shows would not be shown as it is.
        const double scale = std::pow(10.0, option.decimals);
        return ok && number >= option.low && number <= option.high &&
               std::round(number * scale) == number * scale;
    }
    case OptionKind::TypeList:
        for (const QString& word : wordsOf(text))
            if (!isChoice(option.choices, word))
                return false;
        return true;
    }
    return false;
}

OptInSettings::OptInSettings(const ProgramSettings& settings) : m_settings(settings) {
    for (int row = 0; row < count(); ++row)
        m_rows.push_back({value(row), OptionTaking::NextStart, {}});
}

void OptInSettings::takeAtOnce(const SettingKey& key, std::function<void()> take) {
    if (const int row = rowOf(key); row >= 0)
        m_rows[std::size_t(row)] = {value(row), OptionTaking::AtOnce, std::move(take)};
}

void OptInSettings::takeWithRescan(const SettingKey& key) {
    if (const int row = rowOf(key); row >= 0)
        m_rows[std::size_t(row)].taking = OptionTaking::Rescan;
}

int OptInSettings::rowOf(const SettingKey& key) const {
    for (int row = 0; row < count(); ++row)
        if (option(row).key == &key)
            return row;
    return -1;
}

QString OptInSettings::storedText(int row) const {
    return m_settings.read(*option(row).key);
}

bool OptInSettings::understood(int row) const {
    return optionUnderstood(option(row), storedText(row));
}

QString OptInSettings::value(int row) const {
    return option(row).read(storedText(row));
}

bool OptInSettings::hasWord(int row, int index) const {
    return wordsOf(value(row)).contains(option(row).choices[std::size_t(index)].value);
}

bool OptInSettings::change(int row, const QString& newValue) {
    if (!m_settings.write(*option(row).key, newValue))
        return false;
    Row& taken = m_rows[std::size_t(row)];
    if (taken.taking == OptionTaking::AtOnce && taken.take) {
        taken.take();
        taken.running = value(row);
    }
    return true;
}

bool OptInSettings::setWord(int row, int index, bool chosen) {
    const OptInOption& list = option(row);
    QStringList words;
    for (std::size_t i = 0; i < list.choices.size(); ++i) {
        const bool on = int(i) == index ? chosen : hasWord(row, int(i));
        if (on)
            words << list.choices[i].value;
    }
    // Words the player does not know stay as the user wrote them.
    for (const QString& word : wordsOf(storedText(row)))
        if (!isChoice(list.choices, word))
            words << word;
    return change(row, words.join(u','));
}

bool OptInSettings::differsFromRunning(int row) const {
    return value(row) != m_rows[std::size_t(row)].running;
}

bool OptInSettings::fromNextStart(int row) const {
    return taking(row) == OptionTaking::NextStart && differsFromRunning(row);
}

bool OptInSettings::waitsForRescan(int row) const {
    return taking(row) == OptionTaking::Rescan && differsFromRunning(row);
}

bool OptInSettings::rescanOffered() const {
    if (!m_rescan)
        return false;
    for (int row = 0; row < count(); ++row)
        if (waitsForRescan(row))
            return true;
    return false;
}

void OptInSettings::rescanNow() {
    if (!m_rescan)
        return;
    // Noted first: the scan lets events run, and a change made meanwhile waits for the next.
    for (int row = 0; row < count(); ++row)
        if (taking(row) == OptionTaking::Rescan)
            m_rows[std::size_t(row)].running = value(row);
    m_rescan();
}

} // namespace sonavue
