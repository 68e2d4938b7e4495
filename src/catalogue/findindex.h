// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What a find searches: each catalogue row's title, artist, album and file name, folded
// (findtext.h), made once from the catalogue and searched at every key.
//
// Kept compact: the folded text is UTF-8 in one buffer, each text ended by a NUL. A row
// holds its title and file name there, and the number of its artist-and-album pair, whose
// folded text is held once for all the rows that share it (an album's tracks).
#include "catalogue/catalogue.h"

#include <QStringView>
#include <cstdint>
#include <string>
#include <vector>

namespace sonavue {

class FindIndex {
public:
    FindIndex() = default;
    explicit FindIndex(const Catalogue& catalogue);

    // The number of catalogue rows it was made from.
    int rowCount() const { return int(m_pairOfRow.size()); }
    // The rows whose title, artist, album or file name holds text (both folded), in row
    // order. Empty text is in every row.
    std::vector<int> rowsContaining(QStringView text) const;
    // The memory the index holds.
    std::size_t memoryBytes() const;

private:
    // Texts laid end to end, each ended by a NUL; entry i is text[starts[i] .. starts[i+1]).
    struct Texts {
        std::string text;
        std::vector<std::uint32_t> starts{0};
        int count() const { return int(starts.size()) - 1; }
        // Adds an entry of two texts.
        void append(QStringView first, QStringView second);
        void squeeze();
        // hit[i] is set for each entry whose text holds needle.
        void markHits(const QByteArray& needle, std::vector<char>& hit) const;
    };

    Texts m_rows;  // per row: title, file name
    Texts m_pairs; // per distinct pair: artist, album
    std::vector<std::uint32_t> m_pairOfRow;
};

} // namespace sonavue
