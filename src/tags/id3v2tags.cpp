// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/id3v2tags.h"
#include "base/filedescriptor.h"

#include "base/nativepath.h"
#include "tags/containerlimits.h"
#include "tags/genre.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfile.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {

namespace {

constexpr unsigned char FooterFlag = 0x10; // ID3v2.4: a copy of the header ends the tag
constexpr unsigned char ExtendedHeaderFlag = 0x40;
constexpr unsigned char UnsynchronisationFlag = 0x80;
constexpr int FlagsOffset = 5;
constexpr int SizeOffset = 6;
// A tag that fits in the first read (nearly all of them) costs one pread.
constexpr std::size_t FirstReadSize = 4096;
// The genre frame is taken under this name, so that TagLib keeps the text as written
// (it would rewrite "(n)" references by its own genre list and lose those it lacks).
const TagLib::ByteVector KeptGenreFrame("T0GN");
const TagLib::ByteVector SetAsideFrame("X0XX");
// The frames read (TagLib gives every version's frames the 2.4 ids).
const TagLib::ByteVector GenreFrame("TCON");
const TagLib::ByteVector TitleFrame("TIT2");
const TagLib::ByteVector ArtistFrame("TPE1");
const TagLib::ByteVector AlbumFrame("TALB");
const TagLib::ByteVector AlbumArtistFrame("TPE2");
const TagLib::ByteVector TrackFrame("TRCK");
const TagLib::ByteVector YearFrame("TDRC"); // also TYE and TYER
const TagLib::ByteVector CommentFrame("COMM");
const TagLib::ByteVector PictureFrame("APIC"); // also PIC

// The tag's bytes as a TagLib file, so that an ID3v2::Tag can be read from them alone.
class TagBytesFile : public TagLib::File {
public:
    explicit TagBytesFile(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

// The parameter type of a one-argument const member function.
template <typename Member> struct ParameterOf;
template <typename R, typename C, typename P> struct ParameterOf<R (C::*)(P) const> {
    using type = P;
};

// TagLib lets only its frame factory name the frame header's class (a pointer to it is
// what updateFrame() gets), so its type is taken from that function.
struct FactoryTypes : TagLib::ID3v2::FrameFactory {
    using FrameHeader = ParameterOf<decltype(&FactoryTypes::updateFrame)>::type;
};

// Puts a frame aside under an id nothing reads, with its flags cleared, so that TagLib
// keeps its bytes as they are. For compressed frames: TagLib would inflate them without
// any limit (a few KiB can claim gigabytes), and no tagger in use writes them.
void setAside(FactoryTypes::FrameHeader header) {
    const std::uint32_t size = header->frameSize();
    TagLib::ByteVector bytes(SetAsideFrame);
    for (int shift = 24; shift >= 0; shift -= 8) // 2.3: big-endian; 2.4: syncsafe
        bytes.append(char(header->version() == 4 ? (size >> (shift / 8 * 7)) & 0x7F
                                                 : (size >> shift) & 0xFF));
    bytes.append(TagLib::ByteVector(2, '\0'));
    header->setData(bytes, header->version());
}

class ReadingFactory : public TagLib::ID3v2::FrameFactory {
protected:
    bool updateFrame(FactoryTypes::FrameHeader header) const override {
        if (!FrameFactory::updateFrame(header))
            return false;
        if (header->compression() || header->encryption())
            setAside(header);
        else if (header->frameID() == GenreFrame)
            header->setFrameID(KeptGenreFrame);
        return true;
    }
};

const ReadingFactory& readingFactory() {
    static const ReadingFactory factory;
    return factory;
}

std::uint32_t syncsafe(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 7) | (static_cast<unsigned char>(bytes[i]) & 0x7F);
    return value;
}

void putSyncsafe(char* bytes, std::uint32_t value) {
    for (int i = 3; i >= 0; --i, value >>= 7)
        bytes[i] = char(value & 0x7F);
}

// The tag as TagLib is given it, and what is needed to check TagLib's frames against it.
struct TagLibInput {
    TagLib::ByteVector bytes;
    std::size_t frameHeaderSize = 0;
    std::size_t framesSize = 0; // the bytes after the header
};

// Takes the extended header (a CRC, padding size and restrictions: nothing read here) off
// the front of the frames. TagLib would read a 2.3 one's size the 2.4 way, and count it
// against the frames' end as well. False when it claims more than there is.
bool dropExtendedHeader(int version, QByteArray& body) {
    if (body.size() < 4)
        return false;
    // 2.3: a big-endian size without the size's own 4 bytes; 2.4: syncsafe, with them.
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size = (size << 8) | static_cast<unsigned char>(body[i]);
    size = version == 3 ? size + 4 : syncsafe(body.constData());
    if (size < 4 || size > std::uint32_t(body.size()))
        return false;
    body.remove(0, qsizetype(size));
    return true;
}

// The frames actually at hand (a 2.2 or 2.3 tag's unsynchronisation undone here, so that
// their size is known) under a header that states that size, without an extended header
// or a footer. TagLib then never looks past the end of what was read. Nullopt when no
// frame can be whole: TagLib counts on room for at least one frame header.
std::optional<TagLibInput> tagLibInput(const char* tag, std::size_t available) {
    const int version = tag[3];
    auto flags = static_cast<unsigned char>(tag[FlagsOffset]);
    const std::size_t bodyEnd =
        std::min<std::size_t>(available, ID3v2HeaderSize + syncsafe(tag + SizeOffset));
    // Taken without a copy unless it has to change.
    QByteArray body =
        QByteArray::fromRawData(tag + ID3v2HeaderSize, qsizetype(bodyEnd - ID3v2HeaderSize));
    if (version < 4 && (flags & UnsynchronisationFlag)) {
        body.replace(QByteArrayView("\xFF\x00", 2), QByteArrayView("\xFF", 1));
        flags &= ~UnsynchronisationFlag;
    }
    // In 2.2 the bit of 2.3's extended header says "compressed", with no way of
    // compressing ever defined: such a tag is skipped.
    if (version == 2 && (flags & ExtendedHeaderFlag))
        return std::nullopt;
    if ((flags & ExtendedHeaderFlag) && !dropExtendedHeader(version, body))
        return std::nullopt;
    // TagLib makes an object of every frame: a tag of a million empty ones is cut short.
    body.truncate(
        qsizetype(id3v2FramesWithinLimits(version, body.constData(), std::size_t(body.size()))));
    TagLibInput input;
    input.frameHeaderSize = version == 2 ? 6 : 10;
    input.framesSize = std::size_t(body.size());
    if (input.framesSize <= input.frameHeaderSize)
        return std::nullopt;
    char head[ID3v2HeaderSize];
    std::copy(tag, tag + ID3v2HeaderSize, head);
    head[FlagsOffset] = char(flags & ~(FooterFlag | ExtendedHeaderFlag));
    putSyncsafe(head + SizeOffset, std::uint32_t(body.size()));
    input.bytes = TagLib::ByteVector(static_cast<unsigned int>(ID3v2HeaderSize + input.framesSize));
    char* const out = input.bytes.data();
    std::copy(head, head + ID3v2HeaderSize, out);
    std::copy(body.constData(), body.constData() + body.size(), out + ID3v2HeaderSize);
    return input;
}

// TagLib takes a frame that runs past the end of the tag's bytes with what there is of it.
// Such a frame, cut by the end of the file, is dropped: only whole frames count.
void dropCutFrame(TagLib::ID3v2::Tag& tag, const TagLibInput& input) {
    std::size_t end = 0;
    for (TagLib::ID3v2::Frame* frame : tag.frameList()) {
        end += input.frameHeaderSize + frame->size();
        if (end > input.framesSize) {
            tag.removeFrame(frame);
            return;
        }
    }
}

// Broken UTF-16 in a tag can leave halves of surrogate pairs: each becomes U+FFFD (the
// program gives lone surrogates a meaning of its own in file names).
void replaceLoneSurrogates(QString& text) {
    QChar* const units = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (units[i].isHighSurrogate() && i + 1 < size && units[i + 1].isLowSurrogate())
            ++i;
        else if (units[i].isSurrogate())
            units[i] = QChar::ReplacementCharacter;
    }
}

// TagLib keeps text as UTF-16 code units, one to a wchar_t.
std::optional<QString> present(const TagLib::String& text) {
    const wchar_t* units = text.toCWString();
    qsizetype end = qsizetype(text.size());
    while (end > 0 && (units[end - 1] == 0 || units[end - 1] == ' '))
        --end;
    if (end == 0)
        return std::nullopt;
    QString value(end, Qt::Uninitialized);
    std::transform(units, units + end, value.data(),
                   [](wchar_t unit) { return QChar(char16_t(unit)); });
    if (!value.isValidUtf16())
        replaceLoneSurrogates(value);
    return value;
}

// The code of a numeric genre reference: "17", "(17)" or "(17)Rock"; nullopt otherwise.
std::optional<unsigned char> genreReference(QStringView text) {
    QStringView digits = text;
    if (text.startsWith(QLatin1Char('('))) {
        const qsizetype close = text.indexOf(QLatin1Char(')'));
        if (close < 0)
            return std::nullopt;
        digits = text.mid(1, close - 1);
    }
    if (digits.isEmpty() || digits.size() > 3)
        return std::nullopt;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const int code = digits.toInt();
    if (code > 255)
        return std::nullopt;
    return static_cast<unsigned char>(code);
}

std::optional<QString> genreOf(const TagLib::ID3v2::Frame& frame) {
    const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(&frame);
    if (!text)
        return std::nullopt;
    // Version 2.4 keeps several genres as separate values: the first with text counts.
    for (const TagLib::String& field : text->fieldList()) {
        if (std::optional<QString> value = present(field)) {
            if (const auto code = genreReference(*value))
                return genreName(*code);
            return value;
        }
    }
    return std::nullopt;
}

// The front cover, else the first picture with any bytes. frontTaken: the one taken so far is
// the front cover, and nothing replaces it.
void takeCover(const TagLib::ID3v2::Frame& frame, ID3v2Fields& fields, bool& frontTaken) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(&frame);
    if (!picture)
        return;
    const bool front = picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover;
    if (fields.frontCover && !front)
        return;
    const TagLib::ByteVector data = picture->picture();
    if (data.isEmpty())
        return;
    fields.frontCover = QByteArray(data.data(), qsizetype(data.size()));
    fields.frontCoverMime = QString::fromStdString(picture->mimeType().to8Bit(true));
    frontTaken = front;
}

// The comment: the first without a description (one with a description is mostly some
// program's note, as "iTunNORM"), else the first.
bool betterComment(const TagLib::ID3v2::Frame* chosen, const TagLib::ID3v2::Frame& frame) {
    const auto described = [](const TagLib::ID3v2::Frame& comment) {
        const auto* text = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(&comment);
        return text && !text->description().isEmpty();
    };
    return !chosen || (described(*chosen) && !described(frame));
}

// A text frame's values joined by spaces, as toString() gives them, without building a
// new string for the usual single value.
TagLib::String textOf(const TagLib::ID3v2::Frame& frame) {
    if (const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(&frame)) {
        const TagLib::StringList values = text->fieldList();
        if (values.size() == 1)
            return values.front();
    }
    return frame.toString();
}

// One pass over the frames. Of several frames with one id, the first with text counts.
ID3v2Fields fieldsOf(const TagLib::ID3v2::Tag& tag) {
    ID3v2Fields fields;
    const TagLib::ID3v2::Frame* comment = nullptr;
    bool frontCoverTaken = false;
    const auto take = [](std::optional<QString>& field, const TagLib::ID3v2::Frame& frame) {
        if (!field)
            field = present(textOf(frame));
    };
    for (const TagLib::ID3v2::Frame* frame : tag.frameList()) {
        const TagLib::ByteVector id = frame->frameID();
        if (id == TitleFrame)
            take(fields.title, *frame);
        else if (id == ArtistFrame)
            take(fields.artist, *frame);
        else if (id == AlbumFrame)
            take(fields.album, *frame);
        else if (id == YearFrame)
            take(fields.date, *frame);
        else if (id == AlbumArtistFrame)
            take(fields.albumArtist, *frame);
        else if (id == TrackFrame && fields.track == 0)
            fields.track = trackNumberOf(present(textOf(*frame)));
        else if (id == KeptGenreFrame && !fields.genre)
            fields.genre = genreOf(*frame);
        else if (id == CommentFrame && betterComment(comment, *frame))
            comment = frame;
        else if (id == PictureFrame && !frontCoverTaken)
            takeCover(*frame, fields, frontCoverTaken);
    }
    if (comment)
        fields.comment = present(comment->toString());
    fields.year = yearOfDate(fields.date);
    return fields;
}

std::size_t preadFully(int fd, char* out, std::size_t length, std::int64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, out + done, length - done, off_t(offset + std::int64_t(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += std::size_t(got);
    }
    return done;
}

} // namespace

std::optional<QString> yearOfDate(std::optional<QString> date) {
    if (!date || date->size() <= 4)
        return date;
    const auto digit = [&date](qsizetype i) {
        const char16_t c = date->at(i).unicode();
        return c >= u'0' && c <= u'9';
    };
    if (digit(0) && digit(1) && digit(2) && digit(3) && !digit(4))
        date->truncate(4);
    return date;
}

int trackNumberOf(const std::optional<QString>& text) {
    if (!text)
        return 0;
    const qsizetype slash = text->indexOf(QLatin1Char('/'));
    const QStringView digits = QStringView(*text).left(slash < 0 ? text->size() : slash);
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? number : 0;
}

std::optional<std::size_t> id3v2TagSize(const char* head, std::size_t length) {
    if (!head || length < ID3v2HeaderSize)
        return std::nullopt;
    const auto byte = [head](int i) { return static_cast<unsigned char>(head[i]); };
    if (head[0] != 'I' || head[1] != 'D' || head[2] != '3')
        return std::nullopt;
    if (byte(3) < 2 || byte(3) > 4 || byte(4) == 0xFF)
        return std::nullopt;
    for (int i = SizeOffset; i < SizeOffset + 4; ++i)
        if (byte(i) >= 0x80)
            return std::nullopt;
    std::size_t size = ID3v2HeaderSize + syncsafe(head + SizeOffset);
    if (byte(3) == 4 && (byte(FlagsOffset) & FooterFlag))
        size += ID3v2HeaderSize;
    return size;
}

ID3v2Fields parseID3v2(const char* tag, std::size_t size) {
    const std::optional<std::size_t> whole = id3v2TagSize(tag, size);
    if (!whole)
        return {};
    const std::optional<TagLibInput> input = tagLibInput(tag, std::min(size, *whole));
    if (!input)
        return {};
    TagLib::ByteVectorStream stream(input->bytes);
    TagBytesFile file(&stream);
    TagLib::ID3v2::Tag id3(&file, 0, &readingFactory());
    dropCutFrame(id3, *input);
    return fieldsOf(id3);
}

ID3v2Fields readID3v2At(int fd, std::int64_t fileSize) {
    if (fd < 0 || fileSize < std::int64_t(ID3v2HeaderSize))
        return {};
    std::array<char, FirstReadSize> first;
    const std::size_t firstSize = std::min<std::size_t>(first.size(), std::size_t(fileSize));
    const std::size_t got = preadFully(fd, first.data(), firstSize, 0);
    const std::optional<std::size_t> size = id3v2TagSize(first.data(), got);
    if (!size)
        return {};
    // A tag claiming more than the file holds is read as far as the file goes. The cap
    // keeps a damaged or hostile size field (up to 256 MiB) from costing that much memory
    // and time per file; real tags, even with large cover pictures, stay well below it.
    const std::size_t wanted =
        std::min({*size, std::size_t(fileSize), static_cast<std::size_t>(ID3v2MaxReadSize)});
    if (wanted <= got)
        return parseID3v2(first.data(), wanted);
    QByteArray tag(qsizetype(wanted), Qt::Uninitialized);
    std::copy(first.data(), first.data() + got, tag.data());
    const std::size_t rest = preadFully(fd, tag.data() + got, wanted - got, std::int64_t(got));
    return parseID3v2(tag.constData(), got + rest);
}

ID3v2Fields readID3v2(const QString& path) {
    const QByteArray native = pathToNative(path);
    if (native.isEmpty() || native.contains('\0'))
        return {};
    const FileDescriptor fd(
        ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return readID3v2At(fd.get(), std::int64_t(st.st_size));
}

} // namespace sonavue
