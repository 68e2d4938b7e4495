// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: code-page decoding and encoding.
#include "tags/codepage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        sonavue::decodeCodePage(reinterpret_cast<const char*>(data), qsizetype(size));
    if (text.size() > qsizetype(size))
        std::abort();
    if (!text.contains(QChar(0xFFFD))) {
        const QByteArray again = sonavue::encodeCodePage(text);
        if (sonavue::decodeCodePage(again.constData(), again.size()) != text)
            std::abort();
    }
    return 0;
}
