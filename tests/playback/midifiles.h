// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// MIDI files built byte by byte, sound or broken on purpose, for the pre-check's tests, the
// media element's tests and the soak benchmark.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace sonavue::testmidi {

// A variable-length number as MIDI writes it.
QByteArray number(quint32 value);
// The header chunk; `length` other than 6 makes a header that lies about its size.
QByteArray header(quint16 format = 0, quint16 tracks = 1, quint16 division = 96,
                  quint32 length = 6);
// A chunk of the given type around body; `length` overrides the true length.
QByteArray chunk(QByteArrayView type, QByteArrayView body,
                 std::optional<quint32> length = std::nullopt);
// Track events: tempo, a piano, one note of durationMs and the end of the track.
QByteArray noteTrackBody(int durationMs = 200);
// A whole one-track file around a track body.
QByteArray singleTrackFile(QByteArrayView trackBody);
// A standard MIDI file wrapped in a RIFF "RMID" file.
QByteArray riffMidi(QByteArrayView standardFile);

} // namespace sonavue::testmidi
