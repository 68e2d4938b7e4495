// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The catalogue and its group lists as one JSON object (UTF-8), written a megabyte or so
// at a time.
#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace sonavue {

class Catalogue;
class GroupLists;
struct CellPieces;

// Appends text as a JSON string. Lone surrogates are written as \uXXXX escapes: a path
// byte that is not UTF-8 is held as U+DC80..U+DCFF and so comes out as \udc80..\udcff
// (Python's "surrogateescape" form), from which the raw byte is recovered exactly.
// U+FEFF is written as \ufeff, never as the bytes EF BB BF, which some readers take for a
// byte-order mark and drop.
void appendJsonString(std::string& out, const QString& text);
// The same for a catalogue cell's pieces, written as one string.
void appendJsonPieces(std::string& out, const CellPieces& text);

// {"folderPrefix": ..., "tracks": [[col0..col7], ...], "groups": {"folder": [...],
// "album": [...], "artist": [...], "year": [...], "genre": [...]}} followed by a newline.
// write takes each piece in order; false from it stops the writing, and the result is then
// false.
bool writeCatalogueJson(const QString& folderPrefix, const Catalogue& catalogue,
                        const GroupLists& groups,
                        const std::function<bool(std::string_view)>& write);
// The whole of it in one string.
std::string catalogueJson(const QString& folderPrefix, const Catalogue& catalogue,
                          const GroupLists& groups);

} // namespace sonavue
