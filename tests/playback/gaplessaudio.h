// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Gapless play's test material, on GStreamer: MP3 files encoded as a gapless album's are (the
// encoder's delay and padding told in a LAME header), and a sink that keeps every sample it
// plays with where each stream started, in stream time.
#include <QString>
#include <gst/gst.h>

#include <mutex>
#include <optional>
#include <vector>

namespace sonavue::testaudio {

// The rate every capture plays at; the files are written at it.
constexpr int CaptureRate = 44100;
// How long a test waits for the element to play or end; only a fault waits this long.
constexpr int WaitMs = 20000;

// Runs a gst-launch style pipeline (a file writer) until its end; false on an error, or when
// it has not ended within 20 s.
bool runToEnd(const QString& description);

// The samples of the file as GStreamer decodes it on its own, 16-bit mono at CaptureRate
// (empty when it cannot be decoded).
std::vector<qint16> decodedSamples(const QString& path);

// Encodes the mono samples (at CaptureRate) with lamemp3enc at 128 kbit/s and puts a LAME
// header in front that tells the encoder's delay and the padding. False when the encoder is
// missing or fails.
bool writeGaplessMp3(const QString& path, const std::vector<qint16>& samples);

// A real-time sink taking 16-bit mono samples at CaptureRate, keeping them all.
class SampleCapture {
public:
    struct Stream {
        qint64 firstSample = 0;           // its first sample's index among all kept
        std::optional<qint64> gapSamples; // from the stream before, in the same pipeline
    };

    // A new sink (each pipeline makes its own); the capture must outlive it.
    GstElement* makeSink();
    std::vector<qint16> samples() const;
    std::vector<Stream> streams() const;
    void clear();

private:
    static GstPadProbeReturn onData(GstPad* pad, GstPadProbeInfo* info, gpointer data);
    void onBuffer(GstBuffer* buffer);

    mutable std::mutex m_lock;
    std::vector<qint16> m_samples;
    std::vector<Stream> m_streams;
    GstSegment m_segment{};
    bool m_streamStarting = false;
    bool m_freshSink = false;
    std::optional<GstClockTime> m_lastEnd; // running time just after the last sample
};

} // namespace sonavue::testaudio
