#include "audiofiles.h"

#include "base/nativepath.h"

#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace sonavue::testaudio {
namespace {

void appendLE32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
void appendLE16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}
void appendBE32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}
void appendBE16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}
// A MIDI variable-length quantity.
void appendVarLen(QByteArray& out, quint32 value) {
    QByteArray bytes(1, char(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.prepend(char((value & 0x7F) | 0x80));
    out += bytes;
}

} // namespace

QByteArray wavBytes(int durationMs, int sampleRate, int peak, double frequency) {
    const quint32 samples = quint32(qint64(sampleRate) * durationMs / 1000);
    const quint32 dataSize = samples * 2;
    QByteArray out;
    out += "RIFF";
    appendLE32(out, 36 + dataSize);
    out += "WAVEfmt ";
    appendLE32(out, 16);
    appendLE16(out, 1); // PCM
    appendLE16(out, 1); // mono
    appendLE32(out, quint32(sampleRate));
    appendLE32(out, quint32(sampleRate) * 2);
    appendLE16(out, 2);
    appendLE16(out, 16);
    out += "data";
    appendLE32(out, dataSize);
    for (quint32 i = 0; i < samples; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * i / sampleRate;
        appendLE16(out, quint16(qint16(std::lround(peak * std::sin(phase)))));
    }
    return out;
}

QByteArray midiBytes(int durationMs) {
    constexpr int TicksPerBeat = 96;
    constexpr int MicrosecondsPerBeat = 500000; // 120 beats a minute
    const quint32 ticks = quint32(qint64(durationMs) * 1000 * TicksPerBeat / MicrosecondsPerBeat);
    QByteArray track;
    appendVarLen(track, 0);
    track += QByteArray("\xFF\x51\x03", 3); // tempo
    track += char(MicrosecondsPerBeat >> 16);
    track += char((MicrosecondsPerBeat >> 8) & 0xFF);
    track += char(MicrosecondsPerBeat & 0xFF);
    appendVarLen(track, 0);
    track += QByteArray("\xC0\x00", 2); // piano
    appendVarLen(track, 0);
    track += QByteArray("\x90\x3C\x64", 3); // middle C on
    appendVarLen(track, ticks);
    track += QByteArray("\x80\x3C\x00", 3); // and off
    appendVarLen(track, 0);
    track += QByteArray("\xFF\x2F\x00", 3); // end of track

    QByteArray out("MThd");
    appendBE32(out, 6);
    appendBE16(out, 0); // format 0
    appendBE16(out, 1); // one track
    appendBE16(out, TicksPerBeat);
    out += "MTrk";
    appendBE32(out, quint32(track.size()));
    out += track;
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    std::FILE* file = std::fopen(pathToNative(path).constData(), "wb");
    if (!file)
        return false;
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return std::fclose(file) == 0 && written;
}

QString mp3FixturePath() {
    return qEnvironmentVariable("SONAVUE_SOURCE_DIR") +
           QStringLiteral("/assets/fixtures/tone-400ms.mp3");
}

} // namespace sonavue::testaudio
