// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Soak: many track changes on one media element, MP3, WAV and MIDI in turn, each played for
// a moment and then replaced (Close, Open, Play), as continuous play and the user's
// clicks do. Prints the resident memory and thread count as it goes and the growth over the
// run; memory and threads should stay flat (growth well under 10 MB, threads unchanged).
// The sink is a real-time fakesink, so no sound device is needed.
//   bench_playback_soak [--changes N]
#include "audiofiles.h"
#include "midifiles.h"

#include "playback/gstmediaelement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

#include <cstdio>
#include <unistd.h>

using namespace sonavue;

namespace {

constexpr int PlayMs = 40; // each track plays this long before the next replaces it
constexpr int WarmUpChanges = 150;

int threadCount() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

GstElement* realTimeFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

void change(GstMediaElement& media, const QString& path) {
    media.close();
    media.open(path);
    media.play();
    QTest::qWait(PlayMs);
}

// Lets every closed pipeline reach NULL before a measurement.
void settle(GstMediaElement& media) {
    if (!QTest::qWaitFor([&] { return media.pipelinesBeingReleased() == 0; }, 10000))
        std::printf("(%d pipelines still being released)\n", media.pipelinesBeingReleased());
    QTest::qWait(100);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("SONAVUE_SOURCE_DIR"))
        qputenv("SONAVUE_SOURCE_DIR", SONAVUE_SOURCE_DIR);
    gst_init(nullptr, nullptr);
    int changes = 1000;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--changes"));
        i >= 0 && i + 1 < args.size())
        changes = std::max(3, args.at(i + 1).toInt());

    QTemporaryDir dir;
    QFile fixture(testaudio::mp3FixturePath());
    if (!dir.isValid() || !fixture.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot prepare the files\n");
        return 1;
    }
    const QStringList files{dir.filePath(QStringLiteral("a.mp3")),
                            dir.filePath(QStringLiteral("b.wav")),
                            dir.filePath(QStringLiteral("c.mid"))};
    if (!testaudio::writeFile(files[0], fixture.readAll()) ||
        !testaudio::writeFile(files[1], testaudio::wavBytes(400, 44100)) ||
        !testaudio::writeFile(files[2], testmidi::singleTrackFile(testmidi::noteTrackBody(400)))) {
        std::fprintf(stderr, "cannot write the files\n");
        return 1;
    }

    GstMediaElement media(realTimeFakeSink);
    // A first round loads the codecs and the sound font and lets GStreamer's thread pools and
    // the allocator's per-thread arenas reach their working size (a one-time rise of some
    // 30 MB and a few threads over the first hundred changes).
    for (int i = 0; i < WarmUpChanges; ++i)
        change(media, files[i % 3]);
    settle(media);
    const double startMb = residentMb();
    const int startThreads = threadCount();
    std::printf("after warm-up: %.1f MB, %d threads\n", startMb, startThreads);
    for (int i = 1; i <= changes; ++i) {
        change(media, files[i % 3]);
        if (i % 100 == 0 || i == changes) {
            std::printf("%5d changes: %.1f MB, %d threads (playing)\n", i, residentMb(),
                        threadCount());
            std::fflush(stdout);
        }
    }
    media.close();
    settle(media);
    const double endMb = residentMb();
    const int endThreads = threadCount();
    std::printf("after %d changes, closed: %.1f MB, %d threads\n", changes, endMb, endThreads);
    std::printf("growth: %+.1f MB, %+d threads\n", endMb - startMb, endThreads - startThreads);
    return 0;
}
