// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "benchlibrary.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sonavue::bench {
namespace {

constexpr int TracksPerAlbum = 10;
constexpr int AlbumsPerArtist = 10;

void putField(char* tag, int offset, int width, const std::string& text) {
    std::memset(tag + offset, 0, std::size_t(width));
    std::memcpy(tag + offset, text.data(), std::min<std::size_t>(text.size(), std::size_t(width)));
}

std::string numbered(const char* format, int a, int b = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

bool writeFile(const std::string& path, const std::vector<char>& body, const char* tag) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, body.data(), body.size()) == ssize_t(body.size());
    if (ok && tag)
        ok = ::write(fd, tag, 128) == 128;
    ::close(fd);
    return ok;
}

// The marker is hidden, so neither the scan nor the reference loop sees it.
std::string markerOf(const std::string& folder, int trackCount) {
    return folder + "/.complete-" + std::to_string(trackCount);
}

bool isComplete(const std::string& folder, int trackCount) {
    struct stat st {};
    return ::stat(markerOf(folder, trackCount).c_str(), &st) == 0;
}

bool startAfresh(const std::string& folder) {
    const std::string cmd = "rm -rf '" + folder + "'";
    return std::system(cmd.c_str()) == 0 && ::mkdir(folder.c_str(), 0755) == 0;
}

bool markComplete(const std::string& folder, int trackCount) {
    const int fd =
        ::open(markerOf(folder, trackCount).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

bool ensureFlatLibrary(const std::string& folder, int trackCount) {
    if (isComplete(folder, trackCount))
        return true;
    if (!startAfresh(folder))
        return false;
    const std::vector<char> body(3000, 'f');
    std::array<char, 128> tag{};
    std::memcpy(tag.data(), "TAG", 3);
    for (int t = 0; t < trackCount; ++t) {
        putField(tag.data(), 3, 30, numbered("Flat song %d", t));
        putField(tag.data(), 33, 30, numbered("Flat artist %d", t % 50));
        putField(tag.data(), 63, 30, numbered("Flat album %d", t / 12));
        if (!writeFile(folder + "/" + numbered("%06d song.mp3", t), body, tag.data()))
            return false;
    }
    return markComplete(folder, trackCount);
}

bool ensureLibrary(const std::string& folder, int trackCount) {
    if (isComplete(folder, trackCount))
        return true;
    if (!startAfresh(folder))
        return false;

    std::vector<char> body;
    for (int t = 0; t < trackCount; ++t) {
        const int album = t / TracksPerAlbum;
        const int artist = album / AlbumsPerArtist;
        const int track = t % TracksPerAlbum + 1;
        const std::string artistName = numbered("Artist %04d", artist);
        const std::string albumName = numbered("Album %04d-%02d", artist, album % AlbumsPerArtist);
        const std::string artistDir = folder + "/" + artistName;
        const std::string albumDir = artistDir + "/" + albumName;
        if (track == 1) {
            ::mkdir(artistDir.c_str(), 0755);
            if (::mkdir(albumDir.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
            if (!writeFile(albumDir + "/cover.jpg", std::vector<char>(2048, 'j'), nullptr))
                return false;
        }
        // One file in twenty is MIDI, one WAV; one in ten has no tag.
        const char* extension = t % 20 == 7 ? ".mid" : t % 20 == 13 ? ".wav" : ".mp3";
        const std::string name = numbered("%02d Track %d", track, t) + extension;
        body.assign(std::size_t(2048 + (t % 7) * 512), char(t & 0x7F));
        std::array<char, 128> tag{};
        std::memcpy(tag.data(), "TAG", 3);
        putField(tag.data(), 3, 30, numbered("Song %d of album %d", track, album));
        putField(tag.data(), 33, 30, artistName);
        putField(tag.data(), 63, 30, albumName);
        putField(tag.data(), 93, 4, numbered("%04d", 1960 + artist % 60));
        putField(tag.data(), 97, 30, t % 3 == 0 ? "Ripped for the benchmark" : "");
        tag[127] = char(artist % 148);
        if (!writeFile(albumDir + "/" + name, body, t % 10 == 9 ? nullptr : tag.data()))
            return false;
    }
    return markComplete(folder, trackCount);
}

} // namespace sonavue::bench
