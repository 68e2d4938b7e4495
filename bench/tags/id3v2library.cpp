// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "id3v2library.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sys/stat.h>

namespace sonavue::bench {

namespace {

constexpr int FilesPerFolder = 1000;
constexpr int AudioBytes = 2048;
constexpr int Padding = 512;

std::string syncsafe(std::uint32_t value) {
    return {char((value >> 21) & 0x7F), char((value >> 14) & 0x7F), char((value >> 7) & 0x7F),
            char(value & 0x7F)};
}

std::string textFrame(const char* id, const std::string& text) {
    const std::uint32_t size = std::uint32_t(text.size() + 1); // encoding byte + text
    std::string frame(id);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame += char((size >> shift) & 0xFF);
    frame += std::string(2, '\0'); // flags
    frame += '\0';                 // Latin-1
    return frame + text;
}

// A tag as common taggers write it: five text frames and some padding for later edits.
std::string id3v2Tag(int index) {
    const std::string n = std::to_string(index);
    std::string frames = textFrame("TIT2", "Track number " + n + " of the benchmark library") +
                         textFrame("TPE1", "Artist " + std::to_string(index / 100)) +
                         textFrame("TALB", "Album " + std::to_string(index / 10)) +
                         textFrame("TYER", std::to_string(1970 + index % 50)) +
                         textFrame("TCON", "(" + std::to_string(index % 80) + ")");
    frames += std::string(Padding, '\0');
    return std::string("ID3\x03\0\0", 6) + syncsafe(std::uint32_t(frames.size())) + frames;
}

std::string id3v1Tag(int index) {
    std::string tag = "TAG";
    for (const std::string& field :
         {"Track " + std::to_string(index), std::string("Artist"), std::string("Album")})
        tag += (field + std::string(30, ' ')).substr(0, 30);
    tag += "2001" + std::string(30, ' ');
    return tag + char(index % 80);
}

std::string fileContents(int index, bool withID3v2, std::mt19937& random) {
    std::string audio(AudioBytes, '\0');
    for (char& c : audio)
        c = char(random());
    audio[0] = char(0xFF), audio[1] = char(0xFB); // an MPEG frame sync
    return (withID3v2 ? id3v2Tag(index) : std::string()) + audio + id3v1Tag(index);
}

std::string pathOf(const std::string& folder, int index) {
    char name[64];
    std::snprintf(name, sizeof name, "/%03d/track%06d.mp3", index / FilesPerFolder, index);
    return folder + name;
}

} // namespace

std::vector<std::string> ensureID3v2Library(const std::string& folder, int count, bool withID3v2) {
    std::vector<std::string> paths;
    paths.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(pathOf(folder, i));
    const std::string marker = folder + "/complete-" + std::to_string(count);
    struct stat st {};
    if (::stat(marker.c_str(), &st) == 0)
        return paths;
    ::mkdir(folder.c_str(), 0755);
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
        if (i % FilesPerFolder == 0)
            ::mkdir(paths[std::size_t(i)].substr(0, paths[std::size_t(i)].rfind('/')).c_str(),
                    0755);
        std::ofstream out(paths[std::size_t(i)], std::ios::binary | std::ios::trunc);
        out << fileContents(i, withID3v2, random);
        if (!out)
            return {};
    }
    std::ofstream(marker).put('\n');
    return paths;
}

} // namespace sonavue::bench
