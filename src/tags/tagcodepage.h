// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The code page ID3v1 text fields are read in: the settings key "codepage" chooses it, and
// the choice travels as a plain value to every reader of those fields.
#include <QString>
#include <optional>

namespace sonavue {

enum class TagCodePage {
    ShiftJis, // "932": Windows' Shift-JIS, the default
    Western,  // "1252": Windows' Western European (Latin-1 and more)
    Utf8,     // "65001"
    Auto,     // "auto": per record, by evidence (tags/codepagechoice.h)
};

constexpr TagCodePage DefaultTagCodePage = TagCodePage::ShiftJis;

// "932", "1252", "65001" or "auto" (any letter case, surrounding spaces ignored).
std::optional<TagCodePage> parseTagCodePage(const QString& text);
// The settings reading: a value that is not one of the four reads as the default.
TagCodePage tagCodePageSetting(const QString& text);

// Decodes one field's bytes. A byte that does not decode becomes U+FFFD; NUL bytes decode
// to U+0000. For UTF-8, a character cut off by the end of the bytes (a tagger cutting
// text to the field's width) is dropped. Auto reads the field by its own bytes alone
// (autoFieldCodePage); the readers of a whole record choose for the record instead.
QString decodeTagText(const char* bytes, qsizetype size, TagCodePage page);

} // namespace sonavue
