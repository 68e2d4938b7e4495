// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Sound as a listener hears it: a private PulseAudio server with one null sink (16-bit mono,
// no rewinds), which this process plays to through the automatic sink as the player does,
// recorded at the sink's monitor; and the comparison of a recording with the samples of the
// files that were played.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace sonavue::testaudio {

class SoundServer {
public:
    explicit SoundServer(int rate);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Starts the server and points this process's sound output at it. Nothing when it runs;
    // otherwise why not (PulseAudio is not installed, or it did not start).
    std::optional<QString> start();
    void startRecording();
    // The samples heard since startRecording().
    std::vector<qint16> stopRecording();

private:
    int m_rate;
    QTemporaryDir m_runtime;
    QString m_address;
    QProcess m_server;
    QProcess m_recorder;
};

// What was heard of one file.
struct Expected {
    std::vector<qint16> samples; // the file's samples as the sink takes them
    bool exact = true;           // false: only its length can be told (a fade, a resampling)
};
struct Heard {
    qint64 start = -1;       // its first sample in the recording (-1: never heard)
    qint64 heard = 0;        // its samples heard, in order
    qint64 lost = 0;         // its samples never heard
    qint64 firstLost = -1;   // the first of them, counted from the file's start
    qint64 silentInside = 0; // silence heard inside it (the output ran dry)
    qint64 silentBefore = 0; // silence between the file before and this one
    qint64 strayBefore = 0;  // sound between the two that is neither (a click, a repeat)
};
// Finds the files, in order, in the recording. Exact files are matched sample for sample
// (within tolerance); the others by the length of sound from where they start.
std::vector<Heard> hearFiles(const std::vector<qint16>& recording,
                             const std::vector<Expected>& files, int tolerance = 2);

} // namespace sonavue::testaudio
