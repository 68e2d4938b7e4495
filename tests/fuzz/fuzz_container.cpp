// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: a file of one opt-in type (FUZZ_TYPE, an ExtraType bit) read for its tags: the
// container's bounds, then TagLib; and the same bytes judged by the check before playing.
// Built once per type: fuzz_flac, fuzz_ogg, fuzz_opus, fuzz_m4a.
#include "tags/containercheck.h"
#include "tags/containertags.h"

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // TagLib is handed an open file, so the bytes go into one that lives in memory.
    const int fd = ::memfd_create("fuzz", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    const sonavue::ID3v2Fields fields =
        sonavue::readContainerTagsAt(fd, std::int64_t(size), FUZZ_TYPE);
    if (const std::optional<const char*> defect = sonavue::containerDefect(fd, std::int64_t(size)))
        if (**defect == '\0')
            std::abort(); // a reason is always said
    ::close(fd);
    for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.year,
                              &fields.genre, &fields.comment})
        if (*field && (field->value().isEmpty() || !field->value().isValidUtf16()))
            std::abort();
    return 0;
}
