// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A folder listing (DIR*) that is closed when it goes out of scope.
#include <dirent.h>
#include <memory>

namespace sonavue {

struct FolderListingCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};
using OpenFolder = std::unique_ptr<DIR, FolderListingCloser>;

} // namespace sonavue
