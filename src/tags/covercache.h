// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folder where embedded cover pictures are copied for the desktop's media controls,
// which want a file: each picture once, named by its bytes, and no more of them than the
// bounds allow. Paths are program text (see base/nativepath.h); empty text means none.
#include <QByteArray>
#include <QString>

namespace sonavue {

// Far more than a listening session's albums, far less than a collection's pictures.
struct CoverCacheBounds {
    int files = 200;
    qint64 bytes = 64 * 1024 * 1024;
};

// The file in cacheFolder holding picture: named by the SHA-1 of its bytes and an extension
// from mime (or from the bytes when mime says nothing usable). Written once, atomically
// (temporary file, then rename); an existing regular file is left as it is, but counts as
// read now. The folder is made when missing. After a new file, the cache's oldest files by
// their last reading are removed until it is within bounds: only regular files with the
// cache's own kind of name, never the new one; links are neither followed nor removed.
// Empty when picture is empty or the file cannot be made.
QString cachedCoverPath(const QByteArray& picture, const QString& mime, const QString& cacheFolder,
                        const CoverCacheBounds& bounds = {});

// The user's cache folder for pictures: $XDG_CACHE_HOME/Sonavue, else ~/.cache/Sonavue.
QString coverCacheFolder();

} // namespace sonavue
