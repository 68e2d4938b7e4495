// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The settings file on disk: reading it whole, and rewriting it safely. A rewrite
// - writes only a regular file of this user that the user has not made read-only; a link
//   made by this user to such a file is followed (the target is written, the link kept)
//   when the target already is a settings file;
// - holds a lock beside the file from reading to replacing, so two players of one user
//   never lose each other's keys;
// - replaces the file atomically (temporary file + rename), so a crash leaves the old file
//   or the new one, never a truncated one.
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace sonavue {

enum class LoadState { Loaded, Missing, Unusable };

struct LoadedFile {
    LoadState state = LoadState::Missing;
    QByteArray bytes;
};

// The whole file (through links), read only when it is a regular file of sensible size.
LoadedFile loadFileBytes(const QByteArray& nativePath);

struct RewriteOutcome {
    bool written = false;
    // Why not, for people; empty when written.
    QString whyNot;
};

// The file's current contents -> its new contents, or nothing to leave the file as it is.
using FileEdit = std::function<std::optional<QByteArray>(const LoadedFile& current)>;

RewriteOutcome rewriteFile(const QByteArray& nativePath, const FileEdit& edit);

// Removes the temporary files that rewrites of nativePath left behind when they were killed
// mid-way: those whose process is gone, and any older than a rewrite can take.
void removeLeftoverRewrites(const QByteArray& nativePath);

} // namespace sonavue
