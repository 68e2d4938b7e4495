// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: file names through the path conversion come back byte for byte.
#include "base/nativepath.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const QString text = sonavue::pathFromNative(bytes, qsizetype(size));
    if (text.size() > qsizetype(size))
        std::abort();
    if (sonavue::pathToNative(text) != QByteArray(bytes, qsizetype(size)))
        std::abort();
    return 0;
}
