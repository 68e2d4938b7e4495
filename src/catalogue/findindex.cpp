// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/findindex.h"

#include "catalogue/findtext.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

namespace sonavue {
namespace {

QStringView fileNameOf(const QString& path) {
    return QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

void FindIndex::Texts::append(QStringView first, QStringView second) {
    // Folded together: one fold per entry.
    const QByteArray folded = foldedUtf8ForFind({first, second});
    text.append(folded.constData(), std::size_t(folded.size()));
    starts.push_back(std::uint32_t(text.size()));
}

void FindIndex::Texts::squeeze() {
    text.shrink_to_fit();
    starts.shrink_to_fit();
}

void FindIndex::Texts::markHits(const QByteArray& needle, std::vector<char>& hit) const {
    hit.assign(std::size_t(count()), 0);
    const char* const base = text.data();
    std::size_t from = 0;
    while (from < text.size()) {
        const void* found =
            memmem(base + from, text.size() - from, needle.constData(), std::size_t(needle.size()));
        if (!found)
            return;
        // Folded needles hold no NUL, so a hit lies within one entry; the next search starts
        // at the entry after it.
        const auto at = std::uint32_t(static_cast<const char*>(found) - base);
        const auto next = std::upper_bound(starts.begin(), starts.end(), at);
        hit[std::size_t(next - starts.begin() - 1)] = 1;
        from = *next;
    }
}

FindIndex::FindIndex(const Catalogue& catalogue) {
    const int count = catalogue.rowCount();
    m_pairOfRow.reserve(std::size_t(count));
    m_rows.starts.reserve(std::size_t(count) + 1);
    QHash<std::pair<QString, QString>, std::uint32_t> pairs;
    std::pair<QString, QString> lastPair;
    std::uint32_t lastNumber = 0;
    for (int row = 0; row < count; ++row) {
        m_rows.append(catalogue.cell(ColTitle, row), fileNameOf(catalogue.cell(ColPath, row)));
        std::pair<QString, QString> pair{catalogue.cell(ColArtist, row),
                                         catalogue.cell(ColAlbum, row)};
        // An album's tracks lie side by side: most rows share the pair of the row before.
        if (row == 0 || pair != lastPair) {
            auto it = pairs.constFind(pair);
            if (it == pairs.constEnd()) {
                it = pairs.insert(pair, std::uint32_t(pairs.size()));
                m_pairs.append(pair.first, pair.second);
            }
            lastNumber = it.value();
            lastPair = std::move(pair);
        }
        m_pairOfRow.push_back(lastNumber);
    }
    m_rows.squeeze();
    m_pairs.squeeze();
}

std::vector<int> FindIndex::rowsContaining(QStringView text) const {
    const QByteArray needle = foldedUtf8ForFind(text);
    std::vector<int> rows;
    if (needle.isEmpty()) {
        rows.resize(m_pairOfRow.size());
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
    std::vector<char> rowHit, pairHit;
    m_rows.markHits(needle, rowHit);
    m_pairs.markHits(needle, pairHit);
    for (std::size_t row = 0; row < m_pairOfRow.size(); ++row) {
        if (rowHit[row] || pairHit[m_pairOfRow[row]])
            rows.push_back(int(row));
    }
    return rows;
}

std::size_t FindIndex::memoryBytes() const {
    const auto bytesOf = [](const auto& vector) {
        return vector.capacity() * sizeof(typename std::decay_t<decltype(vector)>::value_type);
    };
    return sizeof(*this) + m_rows.text.capacity() + bytesOf(m_rows.starts) +
           m_pairs.text.capacity() + bytesOf(m_pairs.starts) + bytesOf(m_pairOfRow);
}

} // namespace sonavue
