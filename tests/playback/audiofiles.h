// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Small audio files written byte by byte, for the playback tests and the gap benchmark.
// Paths are program text (non-UTF-8 bytes as U+DC80..U+DCFF); files are written through
// their native bytes so any name can be made.
#include <QByteArray>
#include <QString>
#include <vector>

namespace sonavue::testaudio {

// 16-bit mono PCM WAV holding a sine of the given peak (0..32767).
QByteArray wavBytes(int durationMs, int sampleRate = 8000, int peak = 16000,
                    double frequency = 440.0);

// Samples first .. first + count - 1 of a sine of the given peak: consecutive parts of one
// sine, split across files, join without a seam.
std::vector<qint16> sineSamples(qint64 first, qint64 count, int sampleRate, int peak = 16000,
                                double frequency = 440.0);
// 16-bit mono PCM WAV holding the samples.
QByteArray wavBytes(const std::vector<qint16>& samples, int sampleRate);

// Writes bytes to the file at path (created or replaced). False on failure. The benchmarks
// build this file alone; the tests write files with support/musicfiles.h.
bool writeFile(const QString& path, const QByteArray& bytes);

// The committed MP3 fixture (0.4 s of a 440 Hz sine), from SONAVUE_SOURCE_DIR.
QString mp3FixturePath();
constexpr int Mp3FixtureMs = 400;

} // namespace sonavue::testaudio
