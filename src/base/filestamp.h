// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What tells whether a file is the one read before: its size, its times and its inode as
// the file system gives them. A file written again, replaced or renamed over has another
// stamp; one whose stamp is the same need not be read again.
#include <cstdint>
#include <sys/stat.h>
#include <time.h>

namespace sonavue {

struct FileStamp {
    std::int64_t size = -1; // -1: no stamp was taken
    std::int64_t modifiedNs = 0;
    // The status change time as well: a tag editor that puts the old modification time
    // back cannot put this one back.
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;

    bool known() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

// A file modified less than this before its stamp is taken may be written again within the
// same time stamp (FAT keeps times to two seconds; a copy may still be under way): its stamp
// is not trusted, and the file is read again next time.
constexpr std::int64_t RecentChangeNs = 2'000'000'000;

// The stamp of the file st describes; unknown when it was modified too recently to trust.
inline FileStamp fileStampOf(const struct stat& st) {
    const auto ns = [](const struct timespec& t) {
        return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now); // a tick is precise enough, and cheap
    if (ns(now) - ns(st.st_mtim) < RecentChangeNs)
        return {};
    return {std::int64_t(st.st_size), ns(st.st_mtim), ns(st.st_ctim), std::uint64_t(st.st_ino)};
}

} // namespace sonavue
