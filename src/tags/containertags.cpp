// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/containertags.h"

#include "base/nativepath.h"
#include "tags/containerlimits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <flacfile.h>
#include <flacpicture.h>
#include <id3v2framefactory.h>
#include <mp4coverart.h>
#include <mp4file.h>
#include <oggflacfile.h>
#include <opusfile.h>
#include <sys/stat.h>
#include <tiostream.h>
#include <tpropertymap.h>
#include <unistd.h>
#include <vorbisfile.h>
#include <xiphcomment.h>

#include <QByteArrayView>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <type_traits>

namespace sonavue {
namespace {

// A read-only TagLib stream over an open file, read with pread: TagLib never opens the
// file itself, so what is read is what was checked to be a regular file.
class DescriptorStream : public TagLib::IOStream {
public:
    // The file's bytes from start on.
    DescriptorStream(int fd, std::int64_t size, std::int64_t start = 0)
        : m_fd(fd), m_start(long(start)), m_size(long(size - start)) {}
    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override {
        if (m_position >= m_size)
            return {};
        const unsigned long wanted = std::min<unsigned long>(length, m_size - m_position);
        TagLib::ByteVector bytes(static_cast<unsigned int>(wanted));
        ssize_t got;
        do {
            got = ::pread(m_fd, bytes.data(), wanted, m_start + m_position);
        } while (got < 0 && errno == EINTR);
        if (got <= 0)
            return {};
        bytes.resize(static_cast<unsigned int>(got));
        m_position += got;
        return bytes;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    // As fseek: a place before the start is refused and the position stays; one past any
    // file (a 64-bit atom size added to its offset) is the end. Going back to 0 instead made
    // TagLib read the same atoms again for ever.
    void seek(long offset, Position p) override {
        const long base = p == Beginning ? 0 : p == Current ? m_position : m_size;
        long target = 0;
        if (__builtin_add_overflow(base, offset, &target))
            target = offset > 0 ? std::numeric_limits<long>::max() : -1;
        if (target >= 0)
            m_position = target;
    }
    long tell() const override { return m_position; }
    long length() override { return m_size; }
    void truncate(long) override {}

private:
    int m_fd;
    long m_start;
    long m_size;
    long m_position = 0;
};

// Several values joined by spaces, trailing NULs and spaces dropped; nullopt when blank.
std::optional<QString> field(const TagLib::PropertyMap& map, const char* key) {
    const auto it = map.find(key);
    if (it == map.end() || it->second.isEmpty())
        return std::nullopt;
    QString text = QString::fromStdString(it->second.toString(" ").to8Bit(true));
    while (!text.isEmpty() && (text.back() == QChar(u'\0') || text.back() == QLatin1Char(' ')))
        text.chop(1);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

ID3v2Fields fieldsOf(const TagLib::File& file) {
    ID3v2Fields fields;
    if (!file.isValid())
        return fields;
    const TagLib::PropertyMap map = file.properties();
    fields.title = field(map, "TITLE");
    fields.artist = field(map, "ARTIST");
    fields.album = field(map, "ALBUM");
    fields.albumArtist = field(map, "ALBUMARTIST"); // MP4's aART too
    fields.date = field(map, "DATE");               // MP4's ©day too
    fields.year = yearOfDate(fields.date);
    fields.track = trackNumberOf(field(map, "TRACKNUMBER")); // MP4's trkn as "7/12"
    fields.genre = field(map, "GENRE");
    // Vorbis comments also carry it as DESCRIPTION, which TagLib writes when that is there.
    fields.comment = field(map, "COMMENT");
    if (!fields.comment)
        fields.comment = field(map, "DESCRIPTION");
    return fields;
}

bool usablePicture(const TagLib::ByteVector& data) {
    return !data.isEmpty() && std::int64_t(data.size()) <= MostPictureBytes;
}

void takePicture(const TagLib::ByteVector& data, const TagLib::String& mime, ID3v2Fields& fields) {
    fields.frontCover = QByteArray(data.data(), qsizetype(data.size()));
    fields.frontCoverMime = QString::fromStdString(mime.to8Bit(true));
}

// FLAC's picture blocks, and Vorbis comments' METADATA_BLOCK_PICTURE: the front cover, else
// the first picture.
void takeCover(const TagLib::List<TagLib::FLAC::Picture*>& pictures, ID3v2Fields& fields) {
    const TagLib::FLAC::Picture* chosen = nullptr;
    for (const TagLib::FLAC::Picture* picture : pictures) {
        if (!picture || !usablePicture(picture->data()))
            continue;
        if (!chosen || picture->type() == TagLib::FLAC::Picture::FrontCover)
            chosen = picture;
        if (chosen->type() == TagLib::FLAC::Picture::FrontCover)
            break;
    }
    if (chosen)
        takePicture(chosen->data(), chosen->mimeType(), fields);
}

void takeCover(TagLib::Ogg::XiphComment* comment, ID3v2Fields& fields) {
    if (comment)
        takeCover(comment->pictureList(), fields);
}

// MP4's covr item says no picture type: its first picture.
void takeCover(const TagLib::MP4::Tag* tag, ID3v2Fields& fields) {
    if (!tag)
        return;
    for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList()) {
        if (!usablePicture(art.data()))
            continue;
        const char* mime = "";
        switch (art.format()) {
        case TagLib::MP4::CoverArt::JPEG:
            mime = "image/jpeg";
            break;
        case TagLib::MP4::CoverArt::PNG:
            mime = "image/png";
            break;
        case TagLib::MP4::CoverArt::GIF:
            mime = "image/gif";
            break;
        case TagLib::MP4::CoverArt::BMP:
            mime = "image/bmp";
            break;
        default:
            break; // told from the bytes where it is needed
        }
        takePicture(art.data(), mime, fields);
        return;
    }
}

// The texts and the cover picture of a file TagLib has read.
template <typename FileType> ID3v2Fields tagsOf(FileType& file) {
    ID3v2Fields fields = fieldsOf(file);
    if (!file.isValid())
        return fields;
    if constexpr (std::is_same_v<FileType, TagLib::FLAC::File>)
        takeCover(file.pictureList(), fields);
    else
        takeCover(file.tag(), fields);
    return fields;
}

template <typename FileType> ID3v2Fields readAs(int fd, std::int64_t size) {
    DescriptorStream stream(fd, size);
    FileType file(&stream, /*readProperties=*/false);
    return tagsOf(file);
}

ID3v2Fields readOgg(int fd, std::int64_t size) {
    // An .ogg file holds Vorbis mostly, but Opus and FLAC in Ogg are met too.
    {
        DescriptorStream stream(fd, size);
        TagLib::Ogg::Vorbis::File file(&stream, false);
        if (file.isValid())
            return tagsOf(file);
    }
    {
        DescriptorStream stream(fd, size);
        TagLib::Ogg::Opus::File file(&stream, false);
        if (file.isValid())
            return tagsOf(file);
    }
    return readAs<TagLib::Ogg::FLAC::File>(fd, size);
}

// Each type's file is first checked to stay within containerlimits.h's bounds.
ID3v2Fields readTyped(int fd, std::int64_t size, unsigned type) {
    switch (type) {
    case ExtraFlac: {
        const std::optional<std::int64_t> start = flacStart(fd, size);
        if (!start)
            return {};
        DescriptorStream stream(fd, size, *start);
        TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        return tagsOf(file);
    }
    case ExtraOgg:
        return oggWithinLimits(fd, size) ? readOgg(fd, size) : ID3v2Fields();
    case ExtraOpus:
        return oggWithinLimits(fd, size) ? readAs<TagLib::Ogg::Opus::File>(fd, size)
                                         : ID3v2Fields();
    case ExtraM4a:
        return mp4WithinLimits(fd, size) ? readAs<TagLib::MP4::File>(fd, size) : ID3v2Fields();
    default:
        return {};
    }
}

// The opt-in type whose extension is text (size bytes, any letter case), or 0.
unsigned extraTypeOfExtension(const char* text, std::size_t size) {
    for (std::size_t i = FileTypeCount; i < PlayableTypes.size(); ++i) {
        const std::string_view extension = PlayableTypes[i].extension;
        // The first letter turns most names away without a call (every music file's name
        // comes here).
        if (extension.size() == size && size > 0 && (extension[0] | 0x20) == (text[0] | 0x20) &&
            qstrnicmp(extension.data(), text, size) == 0)
            return 1u << (i - FileTypeCount);
    }
    return 0;
}

constexpr qsizetype longestExtension() {
    std::size_t longest = 0;
    for (const PlayableType& type : PlayableTypes)
        longest = std::max(longest, type.extension.size());
    return qsizetype(longest);
}
constexpr qsizetype LongestExtension = longestExtension();

} // namespace

unsigned parseExtraTypes(const QString& list) {
    unsigned types = 0;
    for (const QString& word : list.split(QLatin1Char(','))) {
        const QByteArray extension = word.trimmed().toLatin1();
        types |= extraTypeOfExtension(extension.constData(), std::size_t(extension.size()));
    }
    return types;
}

unsigned extraTypeOfName(const char* name, int size) {
    const auto* dot =
        static_cast<const char*>(::memrchr(name, '.', std::size_t(std::max(0, size))));
    return dot ? extraTypeOfExtension(dot + 1, std::size_t(name + size - dot - 1)) : 0;
}

unsigned extraTypeOfName(const QString& name) {
    // Only the end can be an extension the list holds; the rest need not be converted.
    const QByteArray latin = name.right(LongestExtension + 1).toLatin1();
    return extraTypeOfName(latin.constData(), int(latin.size()));
}

ID3v2Fields readContainerTagsAt(int fd, std::int64_t fileSize, unsigned type) {
    try {
        return readTyped(fd, fileSize, type);
    } catch (...) { // TagLib does not throw, but a bad file must never end the scan
        return {};
    }
}

ID3v2Fields readContainerTags(const QString& path) {
    const unsigned type = extraTypeOfName(path);
    if (type == 0)
        return {};
    const int fd =
        ::open(pathToNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat st {};
    ID3v2Fields fields;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        fields = readContainerTagsAt(fd, st.st_size, type);
    ::close(fd);
    return fields;
}

} // namespace sonavue
