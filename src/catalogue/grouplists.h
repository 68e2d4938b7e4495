// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The six group lists (folder, album, artist, year, genre, all), indexed by GroupIndex: the
// scan fills them, the browsing model shows them. The album list keeps albums in the order
// the scan meets them; the others are sorted.
#include "catalogue/grouplist.h"

#include <array>
#include <memory>

namespace sonavue {

class GroupLists {
public:
    GroupLists() {
        for (int g = 0; g < GroupCount; ++g) {
            const auto order =
                g == GroupAlbum ? GroupList::Order::AsMet : GroupList::Order::Ascending;
            m_lists[std::size_t(g)] = std::make_unique<GroupList>(order);
        }
    }
    GroupList& operator[](int index) { return *m_lists[std::size_t(index)]; }
    const GroupList& operator[](int index) const { return *m_lists[std::size_t(index)]; }

private:
    std::array<std::unique_ptr<GroupList>, GroupCount> m_lists;
};

} // namespace sonavue
