// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The gap between two tracks: from one file's end (finished with code 1) to the next
// file's first rendered audio buffer, after the player's close / open / play. Also the
// audible gap: from the end of the last buffer of one file to the first of the next.
// Runs 51 short files (WAV and MP3 in turn) and prints medians. By default the sink is a
// real-time fakesink and "first buffer" means its first rendered buffer; with --auto-sink
// it is the machine's autoaudiosink (chosen anew at each Open) and "first buffer" means the
// first buffer reaching it.
//   bench_playback_gap [--files N] [--auto-sink]
#include "audiofiles.h"

#include "playback/gstmediaelement.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace sonavue;

namespace {

constexpr int WavMs = 150;

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Written by the sink's streaming thread at each rendered buffer.
struct RenderClock {
    std::atomic<bool> waitingForFirst{false};
    std::atomic<qint64> firstNs{0};
    std::atomic<qint64> lastEndNs{0};

    void onBuffer(GstBuffer* buffer) {
        const qint64 now = nowNs();
        if (waitingForFirst.exchange(false))
            firstNs = now;
        const GstClockTime duration = GST_BUFFER_DURATION(buffer);
        lastEndNs = now + (GST_CLOCK_TIME_IS_VALID(duration) ? qint64(duration) : 0);
    }
    static void onHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
        static_cast<RenderClock*>(data)->onBuffer(buffer);
    }
    static GstPadProbeReturn onProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
        static_cast<RenderClock*>(data)->onBuffer(GST_PAD_PROBE_INFO_BUFFER(info));
        return GST_PAD_PROBE_OK;
    }

    GstElement* makeSink(bool automatic) {
        if (automatic) {
            GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
            GstPad* pad = sink ? gst_element_get_static_pad(sink, "sink") : nullptr;
            if (pad) {
                gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &RenderClock::onProbe, this,
                                  nullptr);
                gst_object_unref(pad);
            }
            return sink;
        }
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(sink, "handoff", G_CALLBACK(&RenderClock::onHandoff), this);
        return sink;
    }
};

struct Stats {
    double median, p90, max;
};

Stats statsOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[size_t(q * double(values.size() - 1) + 0.5)]; };
    return {at(0.5), at(0.9), values.back()};
}

void print(const char* what, const std::vector<double>& values) {
    if (values.empty())
        return;
    const Stats s = statsOf(values);
    std::printf("%-46s n=%2zu  median %6.2f ms  p90 %6.2f ms  max %6.2f ms\n", what, values.size(),
                s.median, s.p90, s.max);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("SONAVUE_SOURCE_DIR"))
        qputenv("SONAVUE_SOURCE_DIR", SONAVUE_SOURCE_DIR);
    int fileCount = 51; // 50 gaps
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--files")); i >= 0 && i + 1 < args.size())
        fileCount = std::max(2, args.at(i + 1).toInt());
    const bool automaticSink = args.contains(QStringLiteral("--auto-sink"));

    QTemporaryDir dir;
    const QByteArray wav = testaudio::wavBytes(WavMs, 44100);
    QFile fixture(testaudio::mp3FixturePath());
    if (!dir.isValid() || !fixture.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot prepare the files (fixture %s)\n",
                     qPrintable(fixture.fileName()));
        return 1;
    }
    const QByteArray mp3 = fixture.readAll();
    QStringList files;
    for (int i = 0; i < fileCount; ++i) {
        const bool isWav = i % 2 == 0;
        const QString path =
            dir.path() + QStringLiteral("/track %1.%2").arg(i).arg(isWav ? "wav" : "mp3");
        if (!testaudio::writeFile(path, isWav ? wav : mp3))
            return 1;
        files << path;
    }

    gst_init(&argc, &argv);
    RenderClock render;
    GstMediaElement media([&] { return render.makeSink(automaticSink); });

    std::vector<double> doneToFirst[2], audible[2]; // [0] into a WAV, [1] into an MP3
    int current = 0;
    qint64 doneAt = 0;
    qint64 previousEnd = 0;
    int failures = 0;

    const auto start = [&](int index) {
        render.waitingForFirst = true;
        media.close();
        media.open(files.at(index));
        media.play();
    };
    QObject::connect(&media, &MediaControl::finished, &app, [&](PlayEnd end) {
        if (end != PlayEnd::Reached) {
            ++failures;
            return;
        }
        const qint64 now = nowNs();
        if (current > 0) {
            const int kind = current % 2 == 0 ? 0 : 1;
            doneToFirst[kind].push_back((render.firstNs - doneAt) / 1e6);
            audible[kind].push_back((render.firstNs - previousEnd) / 1e6);
        }
        doneAt = now;
        previousEnd = render.lastEndNs;
        if (++current == fileCount) {
            app.quit();
            return;
        }
        start(current);
    });
    QTimer::singleShot(0, &app, [&] { start(0); });
    QTimer::singleShot(fileCount * 2000, &app, [&] {
        std::fprintf(stderr, "timed out after %d of %d files\n", current, fileCount);
        app.exit(1);
    });
    if (app.exec() != 0 || failures > 0) {
        std::fprintf(stderr, "failed: %d plays did not end with code 1\n", failures);
        return 1;
    }

    const auto joined = [](const std::vector<double>(&parts)[2]) {
        std::vector<double> all(parts[0]);
        all.insert(all.end(), parts[1].begin(), parts[1].end());
        return all;
    };
    std::printf("Gap between tracks, %d files (WAV %d ms / MP3 %d ms in turn), sink: %s\n",
                fileCount, WavMs, testaudio::Mp3FixtureMs,
                automaticSink ? "autoaudiosink (buffer arrival)"
                              : "fakesink sync=true (buffer rendered)");
    const std::vector<double> all = joined(doneToFirst);
    print("Done(1) -> first buffer of next file, all", all);
    print("Done(1) -> first buffer, next is WAV", doneToFirst[0]);
    print("Done(1) -> first buffer, next is MP3", doneToFirst[1]);
    // Arrival times say nothing of when a buffer is heard: only the rendering sink tells.
    if (!automaticSink)
        print("audible: end of last buffer -> next first, all", joined(audible));
    std::printf("target: median Done(1) -> first buffer under 30 ms: %s\n",
                statsOf(all).median < 30.0 ? "met" : "NOT met");
    return 0;
}
