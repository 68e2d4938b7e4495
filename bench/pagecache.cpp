// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "pagecache.h"

#include <fcntl.h>
#include <unistd.h>

namespace sonavue::bench {

bool dropCaches() {
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, "3", 1) == 1;
    ::close(fd);
    return ok;
}

} // namespace sonavue::bench
