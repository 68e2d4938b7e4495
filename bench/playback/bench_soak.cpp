// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Soak: many track changes on one media element, MP3, WAV and MIDI in turn, each played for
// a moment and then replaced (Close, Open, Play), as continuous play and the user's
// clicks do. Prints the resident memory, the heap in use and the thread count as it goes,
// and the growth over the run per 1,000 changes; memory and threads should stay flat (the
// heap within a few hundred KB, threads unchanged). With --gapless each file is played with
// gapless play on and the next one offered to follow, as continuous play does. The sink is
// a real-time fakesink, so no sound device is needed.
// With --quick-exit the program ends without freeing anything, so that a heap profiler
// (heaptrack) lists everything alive at the end: of two runs, what grows with the number of
// changes is what the soak holds on to.
//   bench_playback_soak [--changes N] [--gapless] [--quick-exit]
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
#include <cstdlib>
#include <malloc.h>
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

// What the program's heap holds now, free pages of the allocator not counted.
double heapMb() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

GstElement* realTimeFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

void change(GstMediaElement& media, const QString& path, const QString& next) {
    media.close();
    media.open(path);
    media.play();
    media.setNextFile(NextFile{next, std::nullopt});
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
    const bool gapless = args.contains(QStringLiteral("--gapless"));

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
    media.setGapless(gapless);
    const auto changeTo = [&](int i) { change(media, files[i % 3], files[(i + 1) % 3]); };
    // A first round loads the codecs and the sound font and lets GStreamer's thread pools and
    // the allocator's per-thread arenas reach their working size (a one-time rise of some
    // 30 MB and a few threads over the first hundred changes).
    for (int i = 0; i < WarmUpChanges; ++i)
        changeTo(i);
    // Measured closed, as at the end.
    media.close();
    settle(media);
    const double startMb = residentMb();
    const double startHeapMb = heapMb();
    const int startThreads = threadCount();
    std::printf("gapless play %s\n", gapless ? "on" : "off");
    std::printf("after warm-up: %.1f MB resident, %.2f MB heap, %d threads\n", startMb, startHeapMb,
                startThreads);
    for (int i = 1; i <= changes; ++i) {
        changeTo(i);
        if (i % 100 == 0 || i == changes) {
            std::printf("%5d changes: %.1f MB resident, %.2f MB heap, %d threads (playing)\n", i,
                        residentMb(), heapMb(), threadCount());
            std::fflush(stdout);
        }
    }
    media.close();
    settle(media);
    const double endMb = residentMb();
    const double endHeapMb = heapMb();
    const int endThreads = threadCount();
    std::printf("after %d changes, closed: %.1f MB resident, %.2f MB heap, %d threads\n", changes,
                endMb, endHeapMb, endThreads);
    const double per1000 = 1000.0 / changes;
    std::printf("growth per 1,000 changes: %+.1f MB resident, %+.2f MB heap; %+d threads\n",
                (endMb - startMb) * per1000, (endHeapMb - startHeapMb) * per1000,
                endThreads - startThreads);
    std::fflush(stdout);
    if (args.contains(QStringLiteral("--quick-exit")))
        std::_Exit(0);
    return 0;
}
