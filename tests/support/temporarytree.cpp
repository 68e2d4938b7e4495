// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "temporarytree.h"

#include "base/nativepath.h"
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace sonavue::testing {

void removeTree(int dirFd, const char* name) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlinkat(dirFd, name, 0);
        return;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            removeTree(::dirfd(dir), entry->d_name);
    }
    ::closedir(dir);
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

TemporaryTree::~TemporaryTree() {
    removeTree(AT_FDCWD, pathToNative(m_dir.path()).constData());
}

} // namespace sonavue::testing
