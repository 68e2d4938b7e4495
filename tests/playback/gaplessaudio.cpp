// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "gaplessaudio.h"

#include "audiofiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace sonavue::testaudio {
namespace {

constexpr int SamplesPerFrame = 1152; // MPEG-1 layer III
constexpr int LameEncoderDelay = 576;
constexpr int Bitrate = 128000;
constexpr int MonoSideInfo = 17;
constexpr int LameTagAt = 120; // from the "Info" tag, with every Xing field present

// The frames of a constant-bitrate MPEG-1 layer III stream without tags.
int frameCount(const QByteArray& mp3) {
    int frames = 0;
    for (qsizetype at = 0; at + 4 <= mp3.size(); ++frames) {
        const auto byte2 = quint8(mp3[at + 2]);
        static constexpr int Rates[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                        112, 128, 160, 192, 224, 256, 320, 0};
        const int size = 144 * Rates[byte2 >> 4] * 1000 / CaptureRate + ((byte2 >> 1) & 1);
        if (quint8(mp3[at]) != 0xFF || size <= 0)
            break;
        at += size;
    }
    return frames;
}

// A silent frame holding the "Info" tag and the LAME header's delay and padding.
QByteArray lameHeaderFrame(const QByteArray& mp3, int frames, qint64 sampleCount) {
    const int size = 144 * Bitrate / CaptureRate;
    QByteArray frame(size, '\0');
    frame[0] = char(0xFF);
    frame[1] = mp3[1];
    frame[2] = char((9 << 4) | (quint8(mp3[2]) & 0x0C)); // 128 kbit/s, no padding
    frame[3] = mp3[3];
    const int tag = 4 + MonoSideInfo;
    frame.replace(tag, 4, "Info");
    qToBigEndian<quint32>(0x0F, frame.data() + tag + 4);            // frames, bytes, TOC, quality
    qToBigEndian<quint32>(quint32(frames), frame.data() + tag + 8); // the header frame not counted
    qToBigEndian<quint32>(quint32(mp3.size() + size), frame.data() + tag + 12);
    const int lame = tag + LameTagAt;
    frame.replace(lame, 9, "LAME3.100");
    const int padding = int(qint64(frames) * SamplesPerFrame - sampleCount - LameEncoderDelay);
    frame[lame + 21] = char(LameEncoderDelay >> 4);
    frame[lame + 22] = char(((LameEncoderDelay & 0xF) << 4) | ((padding >> 8) & 0xF));
    frame[lame + 23] = char(padding & 0xFF);
    return frame;
}

} // namespace

bool runToEnd(const QString& description) {
    GError* error = nullptr;
    GstElement* run = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!run) {
        g_clear_error(&error);
        return false;
    }
    gst_element_set_state(run, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(run);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ended = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(run, GST_STATE_NULL);
    gst_object_unref(run);
    return ended;
}

std::vector<qint16> decodedSamples(const QString& path) {
    const QTemporaryDir dir;
    const QString raw = dir.filePath(QStringLiteral("decoded.raw"));
    if (!dir.isValid() ||
        !runToEnd(QStringLiteral("filesrc location=\"%1\" ! decodebin ! audioconvert ! "
                                 "audioresample ! audio/x-raw,format=S16LE,channels=1,rate=%2 ! "
                                 "filesink location=\"%3\"")
                      .arg(path)
                      .arg(CaptureRate)
                      .arg(raw)))
        return {};
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples(std::size_t(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

bool writeGaplessMp3(const QString& path, const std::vector<qint16>& samples) {
    QTemporaryDir dir;
    const QString wav = dir.path() + QStringLiteral("/in.wav");
    const QString raw = dir.path() + QStringLiteral("/out.mp3");
    if (!dir.isValid() || !writeFile(wav, wavBytes(samples, CaptureRate)) ||
        !runToEnd(QStringLiteral("filesrc location=%1 ! wavparse ! audioconvert ! lamemp3enc "
                                 "target=bitrate cbr=true bitrate=128 ! filesink location=%2")
                      .arg(wav, raw)))
        return false;
    QFile encoded(raw);
    if (!encoded.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mp3 = encoded.readAll();
    const int frames = frameCount(mp3);
    if (frames == 0)
        return false;
    return writeFile(path, lameHeaderFrame(mp3, frames, qint64(samples.size())) + mp3);
}

GstElement* SampleCapture::makeSink() {
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(
        QStringLiteral("capsfilter caps=audio/x-raw,format=S16LE,channels=1,rate=%1 ! "
                       "fakesink name=out sync=true")
            .arg(CaptureRate)
            .toUtf8()
            .constData(),
        TRUE, &error);
    if (!bin) {
        g_clear_error(&error);
        return nullptr;
    }
    {
        const std::lock_guard lock(m_lock);
        m_freshSink = true;
    }
    GstElement* out = gst_bin_get_by_name(GST_BIN(bin), "out");
    GstPad* pad = gst_element_get_static_pad(out, "sink");
    gst_pad_add_probe(
        pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &SampleCapture::onData, this, nullptr);
    gst_object_unref(pad);
    gst_object_unref(out);
    return bin;
}

GstPadProbeReturn SampleCapture::onData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* capture = static_cast<SampleCapture*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        capture->onBuffer(GST_PAD_PROBE_INFO_BUFFER(info));
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    const std::lock_guard lock(capture->m_lock);
    if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START)
        capture->m_streamStarting = true;
    else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT)
        gst_event_copy_segment(event, &capture->m_segment);
    return GST_PAD_PROBE_OK;
}

void SampleCapture::onBuffer(GstBuffer* buffer) {
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* data = reinterpret_cast<const qint16*>(map.data);
    const gsize count = map.size / 2;
    const std::lock_guard lock(m_lock);
    const GstClockTime start =
        gst_segment_to_running_time(&m_segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    if (m_streamStarting || m_streams.empty()) {
        Stream stream{qint64(m_samples.size()), std::nullopt};
        if (!m_freshSink && m_lastEnd && GST_CLOCK_TIME_IS_VALID(start))
            stream.gapSamples = std::llround((double(start) - double(*m_lastEnd)) * CaptureRate /
                                             double(GST_SECOND));
        m_streams.push_back(stream);
        m_streamStarting = false;
        m_freshSink = false;
    }
    m_samples.insert(m_samples.end(), data, data + count);
    if (GST_CLOCK_TIME_IS_VALID(start))
        m_lastEnd = start + gst_util_uint64_scale(count, GST_SECOND, CaptureRate);
    gst_buffer_unmap(buffer, &map);
}

std::vector<qint16> SampleCapture::samples() const {
    const std::lock_guard lock(m_lock);
    return m_samples;
}

std::vector<SampleCapture::Stream> SampleCapture::streams() const {
    const std::lock_guard lock(m_lock);
    return m_streams;
}

void SampleCapture::clear() {
    const std::lock_guard lock(m_lock);
    m_samples.clear();
    m_streams.clear();
    m_lastEnd.reset();
}

} // namespace sonavue::testaudio
