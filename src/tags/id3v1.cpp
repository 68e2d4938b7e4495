// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/id3v1.h"
#include "base/filedescriptor.h"

#include "base/nativepath.h"
#include "tags/codepagechoice.h"
#include "tags/tagtext.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr int minimumTagWindowSize = 256; // the tag window skips shorter files

QString decodeField(const char* bytes128, TagField field, TagCodePage codePage) {
    return fixedWidth(decodeTagText(bytes128 + field.offset, field.width, codePage), field.width);
}

// The bytes of a field up to its first NUL, decoded (the tag window's reading).
QString decodeUpToNul(const char* bytes128, TagField field, TagCodePage codePage) {
    const char* start = bytes128 + field.offset;
    const void* nul = std::memchr(start, 0, std::size_t(field.width));
    const qsizetype length = nul ? static_cast<const char*>(nul) - start : field.width;
    return decodeTagText(start, length, codePage);
}

} // namespace

bool readTagBytesAt(int dirfd, const char* name, char out[TagSize], bool knownRegular,
                    FileStamp* stamp) {
    // Looking first means a device or FIFO is never opened at all; the O_NONBLOCK open
    // and the second look close the gap if the name is replaced in between.
    struct stat st {};
    if (!knownRegular && (::fstatat(dirfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)))
        return false;
    const FileDescriptor fd(::openat(dirfd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (stamp)
        *stamp = fileStampOf(st);
    if (st.st_size < TagSize)
        return false;
    char buffer[TagSize];
    ssize_t got;
    do {
        got = ::pread(fd.get(), buffer, TagSize, st.st_size - TagSize);
    } while (got < 0 && errno == EINTR);
    // A short read means the file shrank under us: not a whole record.
    if (got != TagSize)
        return false;
    std::memcpy(out, buffer, TagSize);
    return true;
}

bool readTagBytes(const QByteArray& nativePath, char out[TagSize]) {
    return readTagBytesAt(AT_FDCWD, nativePath.constData(), out);
}

QString fixedWidth(const QString& text, int width) {
    const qsizetype size = text.size();
    if (size == width)
        return text;
    if (size < width)
        return text + QString(width - size, QLatin1Char(' '));
    qsizetype keep = width;
    // Never keep half of a surrogate pair; a space takes the place of the cut character.
    if (keep > 0 && text.at(keep - 1).isHighSurrogate() && text.at(keep).isLowSurrogate())
        --keep;
    return text.left(keep) + QString(width - keep, QLatin1Char(' '));
}

void decodeID3v1(const char* bytes128, ID3v1Record& record, TagCodePage codePage) {
    if (codePage == TagCodePage::Auto) // with no folder to go by: the record alone
        codePage = autoRecordCodePage(bytes128, TagCodePage::ShiftJis);
    record.Header = decodeField(bytes128, HeaderField, codePage);
    record.Title = decodeField(bytes128, TitleField, codePage);
    record.Artist = decodeField(bytes128, ArtistField, codePage);
    record.Album = decodeField(bytes128, AlbumField, codePage);
    record.Year = decodeField(bytes128, YearField, codePage);
    record.Comment = decodeField(bytes128, CommentField, codePage);
    record.Genre = static_cast<std::uint8_t>(bytes128[GenreOffset]);
    record.Track =
        bytes128[TrackOffset - 1] == 0 ? static_cast<std::uint8_t>(bytes128[TrackOffset]) : 0;
}

void recordFromTagBytes(const char* bytes128, const QString& fileName, ID3v1Record& record,
                        TagCodePage codePage) {
    if (!bytes128) {
        record = ID3v1Record();
        return;
    }
    decodeID3v1(bytes128, record, codePage);
    // The cleaned title only decides; the field keeps its text as read.
    if (!record.hasTag() || cleanTagText(record.Title).isEmpty())
        record.Title = fixedWidth(fileName, TitleField.width);
}

void readID3TAG(const QString& path, ID3v1Record& record, TagCodePage codePage) {
    char raw[TagSize];
    const QByteArray native = pathToNative(path);
    const bool read = readTagBytes(native, raw);
    if (read)
        codePage = recordCodePageAt(native, raw, codePage);
    recordFromTagBytes(read ? raw : nullptr, fileNamePart(path), record, codePage);
}

void getMP3TAG(const QString& tfname, QString& artistname, QString& albumname, QString& Titlename,
               std::uint8_t& Titleno, TagCodePage codePage) {
    // The name test needs no file access, so it goes first; the outcome is the same.
    if (tfname.right(3).compare(QLatin1String("MP3"), Qt::CaseInsensitive) != 0)
        return;
    getTrackTAG(tfname, artistname, albumname, Titlename, Titleno, codePage);
}

void getTrackTAG(const QString& path, QString& artistname, QString& albumname, QString& Titlename,
                 std::uint8_t& Titleno, TagCodePage codePage) {
    const QByteArray native = pathToNative(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size < minimumTagWindowSize)
        return;

    char raw[TagSize] = {};
    // Without a trailing record the last bytes are audio data, not text worth showing.
    if (!readTagBytes(native, raw) || std::memcmp(raw, "TAG", 3) != 0) {
        Titlename.clear();
        artistname.clear();
        albumname.clear();
        Titleno = 0;
        return;
    }
    codePage = recordCodePageAt(native, raw, codePage);
    Titlename = decodeUpToNul(raw, TitleField, codePage);
    artistname = decodeUpToNul(raw, ArtistField, codePage);
    albumname = decodeUpToNul(raw, AlbumField, codePage);
    Titleno = static_cast<std::uint8_t>(raw[TrackOffset]);
}

} // namespace sonavue
