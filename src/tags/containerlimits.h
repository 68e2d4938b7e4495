// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Bounds on the structure of a file before the tag library (TagLib) is handed it. TagLib
// follows MP4 atoms by recursion, one stack frame per level, and builds an object for every
// FLAC metadata block, Ogg page and ID3v2 frame it meets: a small hostile file (300,000
// nested atoms in 2.4 MB) exhausts the stack, and a tag of a million empty frames costs
// hundreds of megabytes. These walks look at the same structure without recursion and
// without keeping it; a file beyond the bounds is read as having no tags, and is not played
// (containercheck.h).
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sonavue {

// Far beyond what real files hold: MP4 atoms nest about eight deep, fragmented files have
// tens of thousands of atoms, tags some hundred frames, headers a few thousand Ogg pages.
constexpr int MostAtomDepth = 32;
constexpr int MostAtoms = 200000;
constexpr int MostFlacBlocks = 1024;
constexpr int MostOggHeaderPages = 8192;
constexpr int MostID3v2Frames = 4096;
// A cover picture larger than this (16 MiB, FLAC's own limit for a block) is passed over.
constexpr std::int64_t MostPictureBytes = 16 * 1024 * 1024;

// The atoms TagLib descends into, from start on, stay within MostAtomDepth levels and
// MostAtoms atoms.
bool mp4WithinLimits(int fd, std::int64_t fileSize, std::int64_t start = 0);
// Why GStreamer's MP4 demuxer must not be handed the atoms from start on: they nest deeper
// than MostAtomDepth or are more than MostAtoms as it would descend into them (by recursion,
// as TagLib: 60,000 nested atoms in 480 KB overflow its stack), or they hold a compressed
// movie header, which it would inflate and descend into. Nullopt when none of these.
std::optional<const char*> mp4DemuxerDefect(int fd, std::int64_t fileSize, std::int64_t start);
// "fLaC" at start, then at most MostFlacBlocks metadata blocks, the last of them flagged,
// all in the file.
bool flacWithinLimits(int fd, std::int64_t fileSize, std::int64_t start);
// Where a FLAC stream starts: "fLaC" at the start of the file, or right after an ID3v2 tag
// there (which TagLib is then not handed: its frames would be unbounded). Nullopt unless
// flacWithinLimits there.
std::optional<std::int64_t> flacStart(int fd, std::int64_t fileSize);
// The pages from start on before the first page of audio (those carry the tags) are at most
// MostOggHeaderPages, each a whole Ogg page.
bool oggWithinLimits(int fd, std::int64_t fileSize, std::int64_t start = 0);

// The bytes of an ID3v2 tag's frames (after the tag header, version 2, 3 or 4) that hold
// its first MostID3v2Frames frames: size itself when it holds fewer.
std::size_t id3v2FramesWithinLimits(int version, const char* frames, std::size_t size);

} // namespace sonavue
