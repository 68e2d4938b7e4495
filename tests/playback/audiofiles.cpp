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
