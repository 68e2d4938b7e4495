// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/containercheck.h"

#include "base/filedescriptor.h"
#include "tags/containerlimits.h"
#include "tags/filewindow.h"

#include <cstring>
#include <sys/stat.h>

namespace sonavue {
namespace {

constexpr int ID3v2Header = 10;
constexpr int ApeHeader = 32;

// The whole size of an ID3v2 tag whose header is at head, as GStreamer's tag reader takes
// it (any version, the footer when flagged); nullopt for no such header.
std::optional<std::int64_t> id3v2Size(const char* head) {
    if (std::memcmp(head, "ID3", 3) != 0 || head[3] == '\xFF' || head[4] == '\xFF')
        return std::nullopt;
    std::int64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80)
            return std::nullopt;
        size = (size << 7) | head[i];
    }
    return ID3v2Header + size + ((head[5] & 0x10) ? ID3v2Header : 0);
}

// Where the content starts: after the ID3v2 and APE tags in front of it, each of which
// GStreamer takes off before it looks at what follows.
std::int64_t contentStart(FileWindow& file) {
    std::int64_t position = 0;
    for (;;) {
        char head[ApeHeader];
        if (!file.read(position, head, ID3v2Header))
            return position;
        if (const std::optional<std::int64_t> size = id3v2Size(head)) {
            position += *size;
            continue;
        }
        // An APE tag's header: its size counts what follows the header.
        if (file.read(position, head, ApeHeader) && std::memcmp(head, "APETAGEX", 8) == 0) {
            position += ApeHeader + std::int64_t(littleEndianAt(head + 12, 4));
            continue;
        }
        return position;
    }
}

} // namespace

std::optional<const char*> containerDefect(int fd, std::int64_t fileSize) {
    std::int64_t start = 0;
    char magic[4] = {};
    {
        FileWindow file(fd, fileSize);
        start = contentStart(file);
        file.read(start, magic, 4);
    }
    if (std::memcmp(magic, "fLaC", 4) == 0) {
        if (!flacWithinLimits(fd, fileSize, start))
            return "more FLAC metadata blocks than any real file holds, or some past its end";
        return std::nullopt;
    }
    if (std::memcmp(magic, "OggS", 4) == 0) {
        if (!oggWithinLimits(fd, fileSize, start))
            return "more Ogg header pages than any real file holds";
        return std::nullopt;
    }
    // Anything else may be taken for MP4: no other content is read as atoms for long.
    if (const std::optional<const char*> defect = mp4DemuxerDefect(fd, fileSize, start))
        return defect;
    if (!mp4WithinLimits(fd, fileSize, start))
        return "MP4 atoms nested too deep or too many";
    return std::nullopt;
}

std::optional<const char*> containerFileDefect(const QByteArray& nativePath) {
    const FileDescriptor fd = openRegularFile(nativePath);
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return std::nullopt;
    return containerDefect(fd.get(), std::int64_t(info.st_size));
}

} // namespace sonavue
