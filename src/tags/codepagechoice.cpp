// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/codepagechoice.h"

#include "base/playabletypes.h"
#include "tags/codepage.h"
#include "tags/id3v1.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <uchardet.h>

namespace sonavue {
namespace {

// What a record's (or a field's) own bytes say.
enum class Reading {
    Ascii,        // every code page reads it alike
    Utf8,         // valid UTF-8 with a character beyond ASCII
    ShiftJisOnly, // clean Shift-JIS, and bytes code page 1252 leaves undefined
    WesternOnly,  // clean 1252, and bytes Shift-JIS cannot read (or reads as private use)
    Either,       // both read it cleanly: the folder decides
    Neither,
};

// A field's bytes without the NULs and spaces taggers pad it with.
struct Field {
    const char* bytes;
    qsizetype size;
    bool full; // no padding: the tagger may have cut its last character
};

Field trimmed(const char* bytes, qsizetype width) {
    qsizetype size = width;
    while (size > 0 && (bytes[size - 1] == '\0' || bytes[size - 1] == ' '))
        --size;
    return {bytes, size, size == width};
}

bool isAscii(const Field& f) {
    for (qsizetype i = 0; i < f.size; ++i)
        if (static_cast<unsigned char>(f.bytes[i]) >= 0x80)
            return false;
    return true;
}

// Valid UTF-8 (a character cut off by a full field's end allowed); multibyte counts the
// whole characters beyond ASCII.
bool isUtf8(const Field& f, int& multibyte) {
    const auto* b = reinterpret_cast<const unsigned char*>(f.bytes);
    for (qsizetype i = 0; i < f.size;) {
        const unsigned char c = b[i];
        const int length = c < 0x80                 ? 1
                           : c >= 0xC2 && c <= 0xDF ? 2
                           : c >= 0xE0 && c <= 0xEF ? 3
                           : c >= 0xF0 && c <= 0xF4 ? 4
                                                    : 0;
        if (length == 0)
            return false;
        for (int k = 1; k < length; ++k) {
            if (i + k == f.size)
                return f.full; // cut by the field's end
            if ((b[i + k] & 0xC0) != 0x80)
                return false;
        }
        multibyte += length > 1;
        i += length;
    }
    return true;
}

bool isShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Reads as Shift-JIS without a byte it cannot decode, a private-use character (code page
// 932's user-defined area, where Latin-1 letters such as 'ö' land) or a control character.
// A lead byte alone at a full field's end is a character the tagger cut.
bool isCleanShiftJis(const Field& f) {
    qsizetype size = f.size, i = 0;
    while (i < size)
        i += isShiftJisLead(static_cast<unsigned char>(f.bytes[i])) ? 2 : 1;
    if (i > size && f.full)
        --size;
    for (const QChar c : decodeCodePage(f.bytes, size)) {
        const char16_t u = c.unicode();
        if (u == 0xFFFD || (u >= 0xE000 && u <= 0xF8FF) || (u >= 0x80 && u <= 0x9F))
            return false;
    }
    return true;
}

// Code page 1252 leaves five bytes undefined; Shift-JIS uses them in most Japanese text.
bool isCleanWestern(const Field& f) {
    for (qsizetype i = 0; i < f.size; ++i) {
        const auto c = static_cast<unsigned char>(f.bytes[i]);
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            return false;
    }
    return true;
}

Reading readingOf(const Field* fields, int count) {
    bool ascii = true, utf8 = true, shiftJis = true, western = true;
    int multibyte = 0;
    for (int k = 0; k < count; ++k) {
        if (isAscii(fields[k]))
            continue;
        ascii = false;
        utf8 = utf8 && isUtf8(fields[k], multibyte);
        shiftJis = shiftJis && isCleanShiftJis(fields[k]);
        western = western && isCleanWestern(fields[k]);
    }
    if (ascii)
        return Reading::Ascii;
    if (utf8 && multibyte > 0)
        return Reading::Utf8;
    if (shiftJis != western)
        return shiftJis ? Reading::ShiftJisOnly : Reading::WesternOnly;
    return shiftJis ? Reading::Either : Reading::Neither;
}

constexpr int RecordFields = 5;

bool hasTag(const char* record) {
    return std::memcmp(record, "TAG", 3) == 0;
}

// The five text fields. The comment leaves out an ID3v1.1 track number (a NUL, then the
// number in its last byte).
void fieldsOf(const char* record, Field out[RecordFields]) {
    const bool trackNumber = record[TrackOffset - 1] == '\0' && record[TrackOffset] != '\0';
    const TagField comment{CommentField.offset, CommentField.width - (trackNumber ? 2 : 0)};
    const TagField fields[RecordFields] = {TitleField, ArtistField, AlbumField, YearField, comment};
    for (int k = 0; k < RecordFields; ++k)
        out[k] = trimmed(record + fields[k].offset, fields[k].width);
}

Reading recordReading(const char* record) {
    Field fields[RecordFields];
    fieldsOf(record, fields);
    return readingOf(fields, RecordFields);
}

// Accented letters of Western European text stand alone between ASCII letters ("Amélie");
// Japanese characters take two bytes, mostly both beyond ASCII, and come several in a row.
// True when fewer than half the bytes beyond ASCII have such a neighbour.
bool beyondAsciiStandsAlone(const QByteArray& text) {
    const auto high = [&text](qsizetype i) {
        return i >= 0 && i < text.size() && static_cast<unsigned char>(text[i]) >= 0x80;
    };
    qsizetype count = 0, paired = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!high(i))
            continue;
        ++count;
        paired += high(i - 1) || high(i + 1);
    }
    return 2 * paired < count;
}

// The verdict on a folder's text: Western when the detector names a code page other than
// Shift-JIS and the bytes look like Western words; Shift-JIS when it names Shift-JIS or
// nothing. Given a few Japanese words the detector often names a Western code page (or a
// Chinese one for Spanish), so its naming Shift-JIS is the evidence that counts for Japanese.
TagCodePage detectedCodePage(const QByteArray& text) {
    uchardet_t detector = uchardet_new();
    if (!detector)
        return TagCodePage::ShiftJis;
    const bool fed = uchardet_handle_data(detector, text.constData(), size_t(text.size())) == 0;
    uchardet_data_end(detector);
    const QByteArray charset = fed ? QByteArray(uchardet_get_charset(detector)) : QByteArray();
    uchardet_delete(detector);
    if (charset.isEmpty() || charset.compare("SHIFT_JIS", Qt::CaseInsensitive) == 0)
        return TagCodePage::ShiftJis;
    return beyondAsciiStandsAlone(text) ? TagCodePage::Western : TagCodePage::ShiftJis;
}

// The fewest records with text beyond ASCII that the detector judges: an album's worth.
constexpr int MinJudgedRecords = 3;

// Plenty for the detector; keeps a folder of thousands of files from costing more.
constexpr qsizetype MostDetectorText = 64 * 1024;

void appendFields(const char* record, QByteArray& text) {
    Field fields[RecordFields];
    fieldsOf(record, fields);
    for (const Field& f : fields) {
        if (f.size == 0 || text.size() + f.size >= MostDetectorText)
            continue;
        text.append(f.bytes, f.size);
        text.append('\n');
    }
}

// The folders' choices, by device and inode (a folder reached by another path or name is
// the same folder). Shared by the scan and the readers of one file, on any thread.
class RememberedChoices {
public:
    using Key = QPair<quint64, quint64>;
    void remember(Key key, TagCodePage page) {
        const std::lock_guard lock(m_mutex);
        if (m_pages.size() >= MostRemembered) // a bound, whatever is walked in a run
            m_pages.clear();
        m_pages.insert(key, page);
    }
    std::optional<TagCodePage> find(Key key) const {
        const std::lock_guard lock(m_mutex);
        const auto it = m_pages.constFind(key);
        return it == m_pages.cend() ? std::nullopt : std::optional(*it);
    }

private:
    static constexpr qsizetype MostRemembered = 500000;
    mutable std::mutex m_mutex;
    QHash<Key, TagCodePage> m_pages;
};

RememberedChoices& remembered() {
    static RememberedChoices choices;
    return choices;
}

// The folder part of a native path ("." for a bare name).
QByteArray folderOf(const QByteArray& nativePath) {
    const qsizetype slash = nativePath.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : nativePath.left(slash);
}

// Whether name ends in the extension of a file-type box's type (any letter case).
bool isMusicName(const char* name) {
    const std::size_t size = std::strlen(name);
    for (std::size_t i = 0; i < std::size_t(FileTypeCount); ++i) {
        const std::string_view extension = PlayableTypes[i].extension;
        if (size > extension.size() && name[size - extension.size() - 1] == '.' &&
            qstrnicmp(name + size - extension.size(), extension.data(), extension.size()) == 0)
            return true;
    }
    return false;
}

// A folder the scan has not seen: its choice from the records of the files a scan lists
// by default (MP3, MIDI and WAV), as the scan would make it. At most MostJudged files are
// read, in the folder's own order, so that a huge folder cannot stall the caller.
TagCodePage judgeFolder(const QByteArray& folder) {
    constexpr int MostJudged = 2000;
    std::vector<QByteArray> tails;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            char tail[TagSize];
            if (entry->d_name[0] != '.' && isMusicName(entry->d_name) &&
                readTagBytesAt(::dirfd(dir), entry->d_name, tail) && hasTag(tail))
                tails.emplace_back(tail, TagSize);
            if (int(tails.size()) == MostJudged)
                break;
        }
        ::closedir(dir);
    }
    std::vector<const char*> records;
    for (const QByteArray& tail : tails)
        records.push_back(tail.constData());
    return autoFolderCodePage(records);
}

} // namespace

TagCodePage autoFolderCodePage(const std::vector<const char*>& records) {
    bool open = false;
    int legacy = 0; // records with text beyond ASCII that is not UTF-8
    for (const char* record : records) {
        if (!hasTag(record))
            continue;
        const Reading r = recordReading(record);
        open = open || r == Reading::Either || r == Reading::Neither;
        legacy += r != Reading::Ascii && r != Reading::Utf8;
    }
    // Nothing depends on the choice, or too little text to judge: a detector given a few
    // words takes nearly anything for Western European, Japanese names included.
    if (!open || legacy < MinJudgedRecords)
        return TagCodePage::ShiftJis;
    // The records that settle their own code page count too: they tell the language. The
    // detector's verdict depends on the order of its text, and the folder's must not depend
    // on the order its files are met in: the records go in the order of their bytes.
    std::vector<const char*> sorted;
    for (const char* record : records)
        if (hasTag(record) && recordReading(record) != Reading::Utf8)
            sorted.push_back(record);
    std::sort(sorted.begin(), sorted.end(),
              [](const char* a, const char* b) { return std::memcmp(a, b, TagSize) < 0; });
    QByteArray text;
    for (const char* record : sorted)
        appendFields(record, text);
    return detectedCodePage(text);
}

TagCodePage autoRecordCodePage(const char* record, TagCodePage folderPage) {
    switch (recordReading(record)) {
    case Reading::Utf8:
        return TagCodePage::Utf8;
    case Reading::ShiftJisOnly:
        return TagCodePage::ShiftJis;
    case Reading::WesternOnly:
        return TagCodePage::Western;
    default:
        return folderPage;
    }
}

TagCodePage autoFieldCodePage(const char* bytes, qsizetype size) {
    const Field field = trimmed(bytes, size);
    switch (readingOf(&field, 1)) {
    case Reading::Utf8:
        return TagCodePage::Utf8;
    case Reading::WesternOnly:
        return TagCodePage::Western;
    default:
        return TagCodePage::ShiftJis;
    }
}

void rememberFolderCodePage(dev_t device, ino_t inode, TagCodePage page) {
    remembered().remember({quint64(device), quint64(inode)}, page);
}

TagCodePage recordCodePageAt(const QByteArray& nativePath, const char* record,
                             TagCodePage setting) {
    if (setting != TagCodePage::Auto)
        return setting;
    // Text without a record is never shown; the record alone settles most files.
    if (!hasTag(record))
        return TagCodePage::ShiftJis;
    const Reading own = recordReading(record);
    if (own != Reading::Either && own != Reading::Neither)
        return autoRecordCodePage(record, TagCodePage::ShiftJis);
    const QByteArray folder = folderOf(nativePath);
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0)
        return TagCodePage::ShiftJis;
    const RememberedChoices::Key key{quint64(st.st_dev), quint64(st.st_ino)};
    std::optional<TagCodePage> page = remembered().find(key);
    if (!page) {
        page = judgeFolder(folder);
        remembered().remember(key, *page);
    }
    return *page;
}

} // namespace sonavue
