// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The MIDI pre-check: files that GStreamer's MIDI parser would read as MIDI (a standard MIDI
// file, or one wrapped in a RIFF "RMID" file) are checked before they reach it, because some
// malformed ones make it spin forever or crash (a chunk length of 0xFFFFFFFF, a time
// division of 0, a number running past its track, status bytes that have no place in a file).
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sonavue {

// Files larger than this are no MIDI file the parser should load whole.
constexpr qsizetype MaxMidiFileBytes = 16 * 1024 * 1024;

// Why the bytes, which read as MIDI, must not be played; nullopt when they are sound or are
// no MIDI at all (other formats are left to their own parsers).
std::optional<const char*> midiDefect(QByteArrayView bytes);

// midiDefect of the file at the native path. A file that cannot be read is left to the
// pipeline, which reports it as it does every unreadable file.
std::optional<const char*> midiFileDefect(const QByteArray& nativePath);

// The file at the native path reads as MIDI (by its first bytes).
bool isMidiFile(const QByteArray& nativePath);

} // namespace sonavue
