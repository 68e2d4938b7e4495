// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
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

} // namespace

std::vector<qint16> sineSamples(qint64 first, qint64 count, int sampleRate, int peak,
                                double frequency) {
    std::vector<qint16> samples;
    samples.reserve(std::size_t(std::max<qint64>(count, 0)));
    for (qint64 i = first; i < first + count; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * double(i) / sampleRate;
        samples.push_back(qint16(std::lround(peak * std::sin(phase))));
    }
    return samples;
}

QByteArray wavBytes(const std::vector<qint16>& samples, int sampleRate) {
    const quint32 dataSize = quint32(samples.size() * 2);
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
    for (const qint16 sample : samples)
        appendLE16(out, quint16(sample));
    return out;
}

QByteArray wavBytes(int durationMs, int sampleRate, int peak, double frequency) {
    return wavBytes(
        sineSamples(0, qint64(sampleRate) * durationMs / 1000, sampleRate, peak, frequency),
        sampleRate);
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
