// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Numbers as the bytes of a file format: big-endian (any bits a byte, so that ID3v2's
// syncsafe sizes are the 7-bit case) and little-endian.
#include <QByteArray>

namespace sonavue::testing {

inline QByteArray bigEndian(quint64 value, int bytes, int bitsPerByte = 8) {
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= bitsPerByte)
        out[i] = char(value & ((1u << bitsPerByte) - 1));
    return out;
}

inline QByteArray littleEndian(quint64 value, int bytes) {
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

} // namespace sonavue::testing
