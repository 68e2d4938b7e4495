// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// libFuzzer: the MIDI pre-check. Beyond not crashing: a standard MIDI file it accepts,
// cut by its last byte, ends inside its header or a chunk and must be refused.
#include "playback/midicheck.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!sonavue::midiDefect(bytes) && bytes.startsWith("MThd") &&
        !sonavue::midiDefect(bytes.chopped(1)))
        std::abort();
    return 0;
}
