// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The folders a walk has entered, by device and inode: each real folder is entered once,
// however many links lead to it. Not locked: a set shared by threads is used under its
// owner's lock.
#include "catalogue/nativefolder.h"

#include <QSet>
#include <utility>

namespace sonavue {

class EnteredFolders {
public:
    bool contains(const NativeFolder::Stamp& stamp) const { return m_ids.contains(id(stamp)); }
    // Marks the folder entered; false when it already was.
    bool enter(const NativeFolder::Stamp& stamp) {
        const auto before = m_ids.size();
        m_ids.insert(id(stamp));
        return m_ids.size() != before;
    }

private:
    using FolderId = std::pair<quint64, quint64>;
    static FolderId id(const NativeFolder::Stamp& stamp) {
        return {quint64(stamp.device), quint64(stamp.inode)};
    }
    QSet<FolderId> m_ids;
};

} // namespace sonavue
