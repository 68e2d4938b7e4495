// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Files written byte for byte under any name (names may be any bytes, as on Linux): plain
// files, and music files of stand-in audio with or without a trailing ID3v1 record.
#include "id3v1record.h"

#include <QString>
#include <optional>

namespace sonavue::testing {

// Writes bytes to the file named by native bytes (created or replaced), making missing
// parent folders; a non-zero zerosAfter adds that many zero bytes as a sparse tail.
// False when the file cannot be written.
bool writeNativeFile(const QByteArray& nativePath, const QByteArray& bytes, qint64 zerosAfter = 0);
// The same for a path in program text (bytes that are not UTF-8 as U+DC80..U+DCFF).
bool writeFile(const QString& path, const QByteArray& bytes, qint64 zerosAfter = 0);

// bodySize bytes of stand-in audio (0x55), then the record when tag is given.
QByteArray musicBytes(int bodySize, const std::optional<TagFields>& tag = std::nullopt);
bool writeMusicFile(const QByteArray& nativePath, int bodySize,
                    const std::optional<TagFields>& tag = std::nullopt);
bool writeMusicFile(const QString& path, int bodySize,
                    const std::optional<TagFields>& tag = std::nullopt);

// Sets the file's access and modification times seconds back from now. False on failure.
bool setModifiedSecondsAgo(const QString& path, int seconds);

// The whole content of a file named by native bytes (empty when it cannot be read).
QByteArray readNativeFile(const QByteArray& nativePath);
QByteArray readFile(const QString& path);

} // namespace sonavue::testing
