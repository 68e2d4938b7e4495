// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Tag text is stored in the narrow code page of the systems the tags were written on:
// Shift-JIS as Windows has it (code page 932).
#include <QString>

namespace sonavue {

// Decodes CP932 bytes. A byte sequence that does not decode becomes U+FFFD and the
// decoding goes on with the next byte. NUL bytes decode to U+0000.
QString decodeCodePage(const char* bytes, qsizetype size);
// Encodes text as CP932 (characters it cannot hold become '?'). Used to write fixtures.
QByteArray encodeCodePage(const QString& text);

} // namespace sonavue
