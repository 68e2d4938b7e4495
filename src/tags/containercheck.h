// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The check made before a file is played or its ReplayGain read: its container within the
// bounds of containerlimits.h. GStreamer picks its demuxer by the file's content, whatever
// its name, and takes ID3v2 and APE tags off the front first: an MP4 file named .mp3, or one
// behind a tag, reaches the MP4 demuxer all the same. So the content is judged here as
// GStreamer judges it.
#include <QByteArray>
#include <cstdint>
#include <optional>

namespace sonavue {

// Why the open regular file fd (fileSize bytes) must not be handed to GStreamer or TagLib,
// in a few words ("MP4 atoms nested too deep"); nullopt when its content is within the
// bounds. Only headers are read (with pread), a window at a time.
std::optional<const char*> containerDefect(int fd, std::int64_t fileSize);
// containerDefect of the regular file at nativePath (opened without waiting); nullopt for
// one that cannot be opened or is no regular file, which the caller reports as it does
// every unreadable file.
std::optional<const char*> containerFileDefect(const QByteArray& nativePath);

} // namespace sonavue
