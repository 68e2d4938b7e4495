// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/containerlimits.h"

#include "tags/filewindow.h"
#include "tags/id3v2tags.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <unistd.h>
#include <vector>

namespace sonavue {
namespace {

// The atoms TagLib takes as holding other atoms, and so descends into.
bool isContainerAtom(const char* type) {
    static const char* const containers[] = {"moov", "udta", "mdia", "meta", "ilst", "stbl",
                                             "minf", "moof", "traf", "trak", "stsd"};
    for (const char* c : containers)
        if (std::memcmp(type, c, 4) == 0)
            return true;
    return false;
}

// The bytes between a container's header and its first child, as TagLib skips them: the
// sample description's count, and "meta"'s version and flags unless a child follows at once.
int childrenOffset(FileWindow& file, std::int64_t body, const char* type) {
    if (std::memcmp(type, "stsd", 4) == 0)
        return 8;
    if (std::memcmp(type, "meta", 4) != 0)
        return 0;
    char next[8];
    if (!file.read(body, next, 8))
        return 4;
    for (const char* child : {"hdlr", "ilst", "mhdr", "ctry", "lang"})
        if (std::memcmp(next + 4, child, 4) == 0)
            return 0;
    return 4;
}

// One atom's header at position: its whole length (to the file's end for 0) and the size of
// the header. False where TagLib stops reading atoms altogether.
bool atomHeader(FileWindow& file, std::int64_t position, std::int64_t fileSize, char type[4],
                std::int64_t& length, int& headerSize) {
    char head[16];
    if (!file.read(position, head, 8))
        return false;
    std::memcpy(type, head + 4, 4);
    std::uint64_t size = bigEndianAt(head, 4);
    headerSize = 8;
    if (size == 1) {
        if (!file.read(position + 8, head + 8, 8))
            return false;
        size = bigEndianAt(head + 8, 8);
        headerSize = 16;
    } else if (size == 0) {
        size = std::uint64_t(fileSize - position);
    }
    if (size < 8 || size > std::uint64_t(INT64_MAX))
        return false;
    length = std::int64_t(std::min<std::uint64_t>(size, std::uint64_t(fileSize - position)));
    return true;
}

bool isType(const char* type, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (std::memcmp(type, name, 4) == 0)
            return true;
    return false;
}

// Every type the MP4 demuxer knows is four printable ASCII characters, or starts with the
// copyright sign of the iTunes items ("\xA9nam"); it descends into no other.
bool isNamedType(const char* type) {
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(type[i]);
        if ((c < 0x20 || c > 0x7E) && c != 0xA9)
            return false;
    }
    return true;
}

// The bytes between an atom's header and its first child as GStreamer's MP4 demuxer (1.22)
// skips them, widened so that no change of its list of containers escapes the walk: every
// named atom but the media data is taken as holding others, right after its header unless
// its type places them further on (a sample description's count, "meta"'s version and
// flags, the fields of a sound or video sample entry). Nullopt: no children.
std::optional<int> demuxerChildrenOffset(FileWindow& file, std::int64_t body, const char* type) {
    if (!isNamedType(type) || isType(type, {"mdat"}))
        return std::nullopt;
    char head[10];
    if (isType(type, {"meta"}))
        return file.read(body, head, 8) && std::memcmp(head + 4, "hdlr", 4) == 0 ? 0 : 4;
    if (isType(type, {"stsd", "mp4s"}))
        return 8;
    if (isType(type, {"mp4a", "alac", "fLaC", "aavd"})) {
        // The sound description's version: 1 and 2 have more fields.
        const std::uint64_t version = file.read(body, head, 10) ? bigEndianAt(head + 8, 2) : 0;
        return version == 1 ? 44 : version == 2 ? 64 : 28;
    }
    if (isType(type, {"enca"}))
        return 28;
    if (isType(type, {"in24"}))
        return 44;
    if (isType(type, {"XiTh"}))
        return 90;
    if (isType(type, {"mp4v", "MP4V", "fmp4", "FMP4", "apcs", "apch", "apcn",
                      "apco", "ap4h", "xvid", "XVID", "H264", "avc1", "avc3",
                      "H265", "hvc1", "hev1", "dvh1", "dvhe", "mjp2", "encv"}))
        return 78;
    return 0;
}

// A child atom at position inside a container ending at end: the demuxer takes only one
// of a 32-bit size that fits, and stops reading the container's children at any other.
bool innerAtom(FileWindow& file, std::int64_t position, std::int64_t end, char type[4],
               std::int64_t& length) {
    char head[8];
    if (end - position < 8 || !file.read(position, head, 8))
        return false;
    length = std::int64_t(bigEndianAt(head, 4));
    std::memcpy(type, head + 4, 4);
    return length >= 8 && length <= end - position;
}

} // namespace

bool mp4WithinLimits(int fd, std::int64_t fileSize, std::int64_t start) {
    FileWindow file(fd, fileSize);
    std::vector<std::int64_t> ends; // where the containers the walk is in end
    std::int64_t position = start;
    for (int atoms = 0;; ++atoms) {
        while (!ends.empty() && position >= ends.back())
            ends.pop_back();
        char type[4];
        std::int64_t length = 0;
        int headerSize = 0;
        if (position >= fileSize || !atomHeader(file, position, fileSize, type, length, headerSize))
            return true;
        if (atoms == MostAtoms)
            return false;
        if (!isContainerAtom(type)) {
            position += length;
            continue;
        }
        if (int(ends.size()) == MostAtomDepth)
            return false;
        ends.push_back(position + length);
        position += headerSize;
        position += childrenOffset(file, position, type);
    }
}

std::optional<const char*> mp4DemuxerDefect(int fd, std::int64_t fileSize, std::int64_t start) {
    FileWindow file(fd, fileSize);
    std::vector<std::int64_t> ends; // where the containers the walk is in end
    std::int64_t position = start;
    for (int atoms = 0;;) {
        char type[4];
        std::int64_t length = 0;
        int headerSize = 8;
        const bool found = ends.empty()
                               ? position < fileSize &&
                                     atomHeader(file, position, fileSize, type, length, headerSize)
                               : innerAtom(file, position, ends.back(), type, length);
        if (!found) {
            if (ends.empty())
                return std::nullopt;
            position = ends.back(); // on after the container
            ends.pop_back();
            continue;
        }
        if (atoms++ == MostAtoms)
            return "more MP4 atoms than any real file holds";
        // Its inflated contents would be read as a movie header unseen by this walk.
        if (isType(type, {"cmov"}))
            return "a compressed MP4 movie header";
        const std::int64_t body = position + headerSize;
        const std::int64_t end = position + length;
        const std::optional<int> offset = demuxerChildrenOffset(file, body, type);
        if (!offset || end - body - *offset < 8) {
            position = end;
            continue;
        }
        if (int(ends.size()) == MostAtomDepth)
            return "MP4 atoms nested too deep";
        ends.push_back(end);
        position = body + *offset;
    }
}

bool flacWithinLimits(int fd, std::int64_t fileSize, std::int64_t start) {
    FileWindow file(fd, fileSize);
    char head[4];
    if (!file.read(start, head, 4) || std::memcmp(head, "fLaC", 4) != 0)
        return false;
    std::int64_t position = start + 4;
    for (int blocks = 0; blocks < MostFlacBlocks; ++blocks) {
        if (!file.read(position, head, 4))
            return false;
        position += 4 + std::int64_t(bigEndianAt(head + 1, 3));
        if (position > fileSize)
            return false;
        if (head[0] & 0x80) // the last metadata block
            return true;
    }
    return false;
}

std::optional<std::int64_t> flacStart(int fd, std::int64_t fileSize) {
    std::int64_t start = 0;
    char head[ID3v2HeaderSize];
    if (::pread(fd, head, ID3v2HeaderSize, 0) == ssize_t(ID3v2HeaderSize))
        if (const std::optional<std::size_t> tag = id3v2TagSize(head, ID3v2HeaderSize))
            start = std::int64_t(std::min<std::size_t>(*tag, std::size_t(fileSize)));
    if (!flacWithinLimits(fd, fileSize, start))
        return std::nullopt;
    return start;
}

bool oggWithinLimits(int fd, std::int64_t fileSize, std::int64_t start) {
    FileWindow file(fd, fileSize);
    std::int64_t position = start;
    for (int pages = 0;; ++pages) {
        char head[27 + 255];
        if (!file.read(position, head, 27) || std::memcmp(head, "OggS", 4) != 0)
            return true; // TagLib finds no further page here either
        const std::uint64_t granule = littleEndianAt(head + 6, 8);
        if (granule != 0 && granule != ~std::uint64_t(0))
            return true; // the first page of audio: the headers are over
        if (pages == MostOggHeaderPages)
            return false;
        const int segments = static_cast<unsigned char>(head[26]);
        if (!file.read(position + 27, head + 27, segments))
            return true;
        std::int64_t body = 0;
        for (int k = 0; k < segments; ++k)
            body += static_cast<unsigned char>(head[27 + k]);
        position += 27 + segments + body;
    }
}

std::size_t id3v2FramesWithinLimits(int version, const char* frames, std::size_t size) {
    const std::size_t headerSize = version == 2 ? 6 : 10;
    std::size_t position = 0;
    for (int count = 0; position + headerSize <= size && frames[position] != '\0'; ++count) {
        if (count == MostID3v2Frames)
            return position;
        const char* sizeBytes = frames + position + (version == 2 ? 3 : 4);
        std::uint64_t frameSize = bigEndianAt(sizeBytes, version == 2 ? 3 : 4);
        if (version == 4) { // syncsafe, though some writers do not make it so: the smaller
            std::uint64_t syncsafe = 0;
            for (int i = 0; i < 4; ++i)
                syncsafe = (syncsafe << 7) | (static_cast<unsigned char>(sizeBytes[i]) & 0x7F);
            frameSize = std::min(frameSize, syncsafe);
        }
        position += headerSize + std::size_t(frameSize);
    }
    return size;
}

} // namespace sonavue
