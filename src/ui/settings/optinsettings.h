// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The opt-in settings that only the settings file held before the settings dialog: one table
// of the keys with their kinds, their values and their texts, and the reading and writing of
// them for the dialog. A value is read by the rule the player reads it with; a value the
// player does not take as written ("yes" for a 0/1 key, an unknown code page) is shown as it
// is and kept until the user changes that key. Only a key the user changes is written.
#include "base/settingskeys.h"

#include <QString>
#include <functional>
#include <span>
#include <vector>

namespace sonavue {

enum class OptionKind {
    Switch,   // 0 or 1: a check box
    Choice,   // one of a few words: a choice list
    Number,   // a number in low..high: a number box
    TypeList, // a comma list of words: a check box per word
};

// A value the option takes as written, and its caption in the dialog.
struct OptionChoice {
    QLatin1StringView value;
    const char* label; // UTF-8
};

struct OptInOption {
    const SettingKey* key;
    OptionKind kind;
    // The player's reading of the stored text, in the option's words: "0"/"1", a choice's
    // value, a number, the list's words in the table's order.
    QString (*read)(const QString& text);
    const char* caption;                        // Japanese, UTF-8, as the window's texts are
    const char* english;                        // the screen reader's name after the caption
    const char* explanation;                    // one line, Japanese, UTF-8
    const char* toolTip;                        // English, as the README explains the key
    std::span<const OptionChoice> choices = {}; // Choice: the values; TypeList: the words
    double low = 0;                             // Number: the range and the decimals shown
    double high = 0;
    int decimals = 0;
};

// Every opt-in key, in the order the dialog shows them.
std::span<const OptInOption> optInOptions();

// When the running player takes a changed value.
enum class OptionTaking {
    NextStart, // read once, at the start
    AtOnce,    // the key's taker applies it as it is written
    Rescan,    // it changes what a scan reads: taken when the music folder is read again
};

class OptInSettings {
public:
    // Notes what every key holds as the run begins: what the player read at its start.
    explicit OptInSettings(const ProgramSettings& settings);

    int count() const { return int(optInOptions().size()); }
    const OptInOption& option(int row) const { return optInOptions()[std::size_t(row)]; }
    int rowOf(const SettingKey& key) const;

    // What the file holds now (the key's default when it is missing).
    QString storedText(int row) const;
    // Whether the player takes the stored text as written; false: it is shown as it is.
    bool understood(int row) const;
    // The value the player reads from the stored text, in the words the option writes.
    QString value(int row) const;
    // Of a TypeList, whether the word at index is chosen.
    bool hasWord(int row, int index) const;

    // The user's change: writes value (in the option's words) to the key. A TypeList keeps
    // the words it does not know after the chosen ones. False when it could not be written.
    bool change(int row, const QString& value);
    bool setWord(int row, int index, bool chosen);

    // The running player applies changes of key at once: take is called after each write.
    void takeAtOnce(const SettingKey& key, std::function<void()> take);
    // Changes of key are taken by reading the music folder again, which rescan does (after
    // it, the scan reads as the stored values say).
    void takeWithRescan(const SettingKey& key);
    void setRescan(std::function<void()> rescan) { m_rescan = std::move(rescan); }

    // The stored value differs from the one the player runs with, and takes effect only from
    // the next start, or only once the folder is read again.
    bool fromNextStart(int row) const;
    bool waitsForRescan(int row) const;
    // A key waits for the rescan, and there is one to run.
    bool rescanOffered() const;
    // Reads the music folder again with the stored values.
    void rescanNow();

private:
    OptionTaking taking(int row) const { return m_rows[std::size_t(row)].taking; }
    bool differsFromRunning(int row) const;

    const ProgramSettings& m_settings;
    struct Row {
        QString running; // value() the player runs with: at the start, or as last taken
        OptionTaking taking = OptionTaking::NextStart;
        std::function<void()> take;
    };
    std::vector<Row> m_rows;
    std::function<void()> m_rescan;
};

// Whether the player takes text as written for option (a value shown as it is otherwise).
bool optionUnderstood(const OptInOption& option, const QString& text);

} // namespace sonavue
