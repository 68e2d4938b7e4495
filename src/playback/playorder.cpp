// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/playorder.h"

#include <algorithm>
#include <numeric>

namespace sonavue {

QString repeatWord(Repeat repeat) {
    switch (repeat) {
    case Repeat::One:
        return QStringLiteral("one");
    case Repeat::None:
        return QStringLiteral("none");
    case Repeat::All:
        break;
    }
    return QStringLiteral("all");
}

std::optional<Repeat> repeatNamed(QStringView word) {
    for (Repeat repeat : {Repeat::All, Repeat::One, Repeat::None})
        if (word.trimmed().compare(repeatWord(repeat), Qt::CaseInsensitive) == 0)
            return repeat;
    return std::nullopt;
}

Repeat nextRepeat(Repeat repeat) {
    switch (repeat) {
    case Repeat::All:
        return Repeat::One;
    case Repeat::One:
        return Repeat::None;
    case Repeat::None:
        break;
    }
    return Repeat::All;
}

std::optional<int> ShuffleOrder::take(const std::vector<int>& rows, int played) {
    if (m_fresh || rows != m_rows) {
        m_fresh = false;
        m_rows = rows;
        m_order.resize(rows.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        std::shuffle(m_order.begin(), m_order.end(), m_random);
        m_next = 0;
        // The track already playing from this list counts as played in its order.
        const auto at = std::find(m_order.begin(), m_order.end(), played);
        if (at != m_order.end()) {
            std::iter_swap(m_order.begin(), at);
            m_next = 1;
        }
    }
    if (m_next >= m_order.size())
        return std::nullopt;
    return m_order[m_next++];
}

std::optional<int> ShuffleOrder::peek(const std::vector<int>& rows) const {
    if (m_fresh || rows != m_rows || m_next >= m_order.size())
        return std::nullopt;
    return m_order[m_next];
}

void ShuffleOrder::forget() {
    m_fresh = true;
}

} // namespace sonavue
