// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Deterministic random input: a fixed-seed generator, so that a failure is repeatable.
#include <QByteArray>
#include <random>

namespace sonavue::testing {

using Random = std::mt19937_64;

// Up to maxSize random bytes.
inline QByteArray randomBytes(Random& random, int maxSize) {
    std::uniform_int_distribution<int> size(0, maxSize);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size(random), Qt::Uninitialized);
    for (char& c : bytes)
        c = char(byte(random));
    return bytes;
}

} // namespace sonavue::testing
