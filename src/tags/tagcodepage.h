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
    Auto,     // "auto": per field, UTF-8, else Shift-JIS, else Western European
};

constexpr TagCodePage DefaultTagCodePage = TagCodePage::ShiftJis;

// "932", "1252", "65001" or "auto" (any letter case, surrounding spaces ignored).
std::optional<TagCodePage> parseTagCodePage(const QString& text);
// The settings reading: a value that is not one of the four reads as the default.
TagCodePage tagCodePageSetting(const QString& text);

// Decodes one field's bytes. A byte that does not decode becomes U+FFFD; NUL bytes decode
// to U+0000. For UTF-8, a character cut off by the end of the bytes (a tagger cutting
// text to the field's width) is dropped. Auto takes a field that is valid UTF-8 and not
// plain ASCII as UTF-8; else one that decodes as Shift-JIS with no undecodable byte and no
// private-use character as Shift-JIS; else Western European.
QString decodeTagText(const char* bytes, qsizetype size, TagCodePage page);
// The code page a whole field is read in: page itself, or auto's choice for these bytes.
// A reader that takes only part of a field decodes that part in the whole field's choice.
TagCodePage fieldCodePage(const char* bytes, qsizetype size, TagCodePage page);

} // namespace sonavue
