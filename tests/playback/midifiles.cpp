// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "midifiles.h"

#include <QtEndian>

namespace sonavue::testmidi {
namespace {

constexpr int TicksPerBeat = 96;
constexpr int MicrosecondsPerBeat = 500000; // 120 beats a minute

QByteArray be32(quint32 value) {
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(value, out.data());
    return out;
}
QByteArray be16(quint16 value) {
    QByteArray out(2, Qt::Uninitialized);
    qToBigEndian(value, out.data());
    return out;
}
QByteArray le32(quint32 value) {
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian(value, out.data());
    return out;
}

} // namespace

QByteArray number(quint32 value) {
    QByteArray bytes(1, char(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.prepend(char((value & 0x7F) | 0x80));
    return bytes;
}

QByteArray header(quint16 format, quint16 tracks, quint16 division, quint32 length) {
    return QByteArray("MThd") + be32(length) + be16(format) + be16(tracks) + be16(division);
}

QByteArray chunk(QByteArrayView type, QByteArrayView body, std::optional<quint32> length) {
    return type.toByteArray() + be32(length.value_or(quint32(body.size()))) + body.toByteArray();
}

QByteArray noteTrackBody(int durationMs) {
    const quint32 ticks = quint32(qint64(durationMs) * 1000 * TicksPerBeat / MicrosecondsPerBeat);
    QByteArray track;
    track += number(0) + QByteArray("\xFF\x51\x03\x07\xA1\x20", 6); // tempo 500000
    track += number(0) + QByteArray("\xC0\x00", 2);                 // piano
    track += number(0) + QByteArray("\x90\x3C\x64", 3);             // middle C on
    track += number(ticks) + QByteArray("\x80\x3C\x00", 3);         // and off
    track += number(0) + QByteArray("\xFF\x2F\x00", 3);             // end of track
    return track;
}

QByteArray singleTrackFile(QByteArrayView trackBody) {
    return header() + chunk("MTrk", trackBody);
}

QByteArray riffMidi(QByteArrayView standardFile) {
    QByteArray data = "data" + le32(quint32(standardFile.size())) + standardFile.toByteArray();
    if (standardFile.size() % 2)
        data += '\0';
    return QByteArray("RIFF") + le32(quint32(4 + data.size())) + "RMID" + data;
}

} // namespace sonavue::testmidi
