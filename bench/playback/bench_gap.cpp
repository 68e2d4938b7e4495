// The gap between two tracks: from one file's end (Done with code 1) to the next file's
// first rendered audio buffer, after the player's Close / FileName / Open / Play. Also the
// audible gap: from the end of the last buffer of one file to the first of the next.
// Runs 51 short files (WAV and MP3 in turn) on a real-time fake sink and prints medians.
//   bench_playback_gap [--files N]
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

    static void onHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
        auto* clock = static_cast<RenderClock*>(data);
        const qint64 now = nowNs();
        if (clock->waitingForFirst.exchange(false))
            clock->firstNs = now;
        const GstClockTime duration = GST_BUFFER_DURATION(buffer);
        clock->lastEndNs = now + (GST_CLOCK_TIME_IS_VALID(duration) ? qint64(duration) : 0);
    }

    GstElement* makeSink() {
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
    GstMediaElement media([&render] { return render.makeSink(); });

    std::vector<double> doneToFirst[2], audible[2]; // [0] into a WAV, [1] into an MP3
    int current = 0;
    qint64 doneAt = 0;
    qint64 previousEnd = 0;
    int failures = 0;

    const auto start = [&](int index) {
        render.waitingForFirst = true;
        media.Command(QStringLiteral("Close"));
        media.FileName = files.at(index);
        media.Command(QStringLiteral("Open"));
        media.Command(QStringLiteral("Play"));
    };
    QObject::connect(&media, &MediaControl::Done, &app, [&](int code) {
        if (code != DoneSuccessful) {
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

    std::printf(
        "Gap between tracks, %d files (WAV %d ms / MP3 %d ms in turn), fakesink sync=true\n",
        fileCount, WavMs, testaudio::Mp3FixtureMs);
    std::vector<double> all;
    for (const auto& v : doneToFirst)
        all.insert(all.end(), v.begin(), v.end());
    print("Done(1) -> first buffer of next file, all", all);
    print("Done(1) -> first buffer, next is WAV", doneToFirst[0]);
    print("Done(1) -> first buffer, next is MP3", doneToFirst[1]);
    all.clear();
    for (const auto& v : audible)
        all.insert(all.end(), v.begin(), v.end());
    print("audible: end of last buffer -> next first, all", all);
    std::printf("target: median Done(1) -> first buffer under 30 ms: %s\n",
                statsOf([&] {
                    std::vector<double> v;
                    for (const auto& k : doneToFirst)
                        v.insert(v.end(), k.begin(), k.end());
                    return v;
                }())
                            .median < 30.0
                    ? "met"
                    : "NOT met");
    return 0;
}
