// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/containerlimits.h"

#include "tags/id3v2tags.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace sonavue {
namespace {

// Reads a file through a window, so that a walk over many small headers costs a system
// call per window rather than per header.
class FileWindow {
public:
    FileWindow(int fd, std::int64_t size) : m_fd(fd), m_size(size) {}

    // size bytes at position into out; false when the file does not hold them all.
    bool read(std::int64_t position, char* out, int size) {
        if (position < 0 || size > WindowSize || position > m_size - size)
            return false;
        if (position < m_start || position + size > m_start + m_length)
            fill(position);
        if (position + size > m_start + m_length)
            return false;
        std::memcpy(out, m_window + (position - m_start), std::size_t(size));
        return true;
    }

private:
    static constexpr int WindowSize = 64 * 1024;
    void fill(std::int64_t position) {
        m_start = position;
        m_length = 0;
        while (m_length < WindowSize) {
            const ssize_t got =
                ::pread(m_fd, m_window + m_length, std::size_t(WindowSize - m_length),
                        off_t(position + m_length));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            m_length += got;
        }
    }

    int m_fd;
    std::int64_t m_size;
    std::int64_t m_start = 0, m_length = 0;
    char m_window[WindowSize];
};

std::uint64_t bigEndian(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::uint64_t littleEndian(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

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
    std::uint64_t size = bigEndian(head, 4);
    headerSize = 8;
    if (size == 1) {
        if (!file.read(position + 8, head + 8, 8))
            return false;
        size = bigEndian(head + 8, 8);
        headerSize = 16;
    } else if (size == 0) {
        size = std::uint64_t(fileSize - position);
    }
    if (size < 8 || size > std::uint64_t(INT64_MAX))
        return false;
    length = std::int64_t(std::min<std::uint64_t>(size, std::uint64_t(fileSize - position)));
    return true;
}

} // namespace

bool mp4WithinLimits(int fd, std::int64_t fileSize) {
    FileWindow file(fd, fileSize);
    std::vector<std::int64_t> ends; // where the containers the walk is in end
    std::int64_t position = 0;
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

std::optional<std::int64_t> flacStart(int fd, std::int64_t fileSize) {
    FileWindow file(fd, fileSize);
    std::int64_t start = 0;
    char head[ID3v2HeaderSize];
    if (file.read(0, head, int(ID3v2HeaderSize)))
        if (const std::optional<std::size_t> tag = id3v2TagSize(head, ID3v2HeaderSize))
            start = std::int64_t(std::min<std::size_t>(*tag, std::size_t(fileSize)));
    if (!file.read(start, head, 4) || std::memcmp(head, "fLaC", 4) != 0)
        return std::nullopt;
    std::int64_t position = start + 4;
    for (int blocks = 0; blocks < MostFlacBlocks; ++blocks) {
        if (!file.read(position, head, 4))
            return std::nullopt;
        position += 4 + std::int64_t(bigEndian(head + 1, 3));
        if (position > fileSize)
            return std::nullopt;
        if (head[0] & 0x80) // the last metadata block
            return start;
    }
    return std::nullopt;
}

bool oggWithinLimits(int fd, std::int64_t fileSize) {
    FileWindow file(fd, fileSize);
    std::int64_t position = 0;
    for (int pages = 0;; ++pages) {
        char head[27 + 255];
        if (!file.read(position, head, 27) || std::memcmp(head, "OggS", 4) != 0)
            return true; // TagLib finds no further page here either
        const std::uint64_t granule = littleEndian(head + 6, 8);
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
        std::uint64_t frameSize = bigEndian(sizeBytes, version == 2 ? 3 : 4);
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
