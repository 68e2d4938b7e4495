// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: the number rules on any text.
#include "base/numbers.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (std::isnan(sonavue::leadingNumber(text)))
        std::abort();
    const int whole = sonavue::wholeNumberOr(text, -1, 0, 255);
    if (whole < -1 || whole > 255)
        std::abort();
    (void)sonavue::roundHalfEven(sonavue::leadingNumber(text));
    (void)sonavue::truthValue(text);
    (void)sonavue::rowNumber(text);
    return 0;
}
