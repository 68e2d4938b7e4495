// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// What a running player costs: the processor time of the whole program (its own process and
// the web engine's helpers) while it plays one MP3, beside a bare playbin playing the same
// file into the same automatic audio sink, measured one after the other in the same run; and
// with --library, the memory of the whole program idle with that library scanned.
//
//   tests/desktop/run-with-wm.sh sonavue-bench-playing [--seconds N] [--library DIR]
//
// Each side is started, given a few seconds to settle (the program's start-up and first
// paint), then its processor ticks (user + system, every process of its tree) are read
// from /proc over N seconds (30 by default). A 3-minute 44.1 kHz stereo MP3 is written once
// to /tmp/sonavue-bench-playing with GStreamer's LAME encoder. The program runs with a
// copy of its program folder and an empty music folder; the file is handed to it on the
// command line, so continuous play starts with it. Run it on a desktop (Xvfb and openbox
// above) to count what the window's repaints cost. Memory: the proportional set size (PSS,
// shared pages split between their users) and the resident size summed over every process of
// the program, after it has scanned the library and stood idle for N seconds.
#include "../programcopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gst/gst.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr int SettleSeconds = 6;

qint64 parentOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() : 0;
}

bool isBelow(qint64 pid, qint64 root) {
    for (qint64 p = parentOf(pid); p > 1; p = parentOf(p)) {
        if (p == root)
            return true;
    }
    return false;
}

// Ticks (user + system) of root and every process below it.
long long treeTicks(qint64 root) {
    long long total = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || (pid != root && !isBelow(pid, root)))
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // Fields after the command name, which is in brackets and may hold spaces.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            total += fields[11].toLongLong() + fields[12].toLongLong();
    }
    return total;
}

// Kibibytes of PSS and RSS of root and every process below it.
std::pair<long long, long long> treeMemoryKiB(qint64 root) {
    long long pss = 0, rss = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || (pid != root && !isBelow(pid, root)))
            continue;
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words[0] == "Pss:")
                pss += words[1].toLongLong();
            else if (words.size() >= 2 && words[0] == "Rss:")
                rss += words[1].toLongLong();
        }
    }
    return {pss, rss};
}

bool writeMp3(const QString& path, int seconds) {
    if (QFile::exists(path))
        return true;
    const QString description =
        QStringLiteral("audiotestsrc wave=sine freq=440 num-buffers=%1 samplesperbuffer=1024 ! "
                       "audio/x-raw,rate=44100,channels=2 ! lamemp3enc bitrate=192 ! "
                       "filesink location=\"%2\"")
            .arg(seconds * 44100 / 1024 + 1)
            .arg(path);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "cannot encode an MP3: %s\n", error ? error->message : "?");
        g_clear_error(&error);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// The reference: a playbin with its automatic audio sink, nothing else.
int playBare(const QString& path) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    gchar* uri = gst_filename_to_uri(path.toUtf8().constData(), nullptr);
    g_object_set(playbin, "uri", uri, nullptr);
    g_free(uri);
    gst_element_set_state(playbin, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(playbin);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);
    return 0;
}

struct Cost {
    long long ticks = -1;
    double seconds = 0;
    long long pssKiB = 0, rssKiB = 0; // at the end of the measured time
    double percentOfACore() const {
        return ticks < 0 ? -1 : 100.0 * double(ticks) / double(sysconf(_SC_CLK_TCK)) / seconds;
    }
};

Cost measure(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment, int seconds) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    Cost cost;
    if (!process.waitForStarted(10000))
        return cost;
    QThread::sleep(SettleSeconds);
    QElapsedTimer clock;
    const long long before = treeTicks(process.processId());
    clock.start();
    QThread::sleep(seconds);
    const long long after = treeTicks(process.processId());
    cost.seconds = clock.elapsed() / 1000.0;
    std::tie(cost.pssKiB, cost.rssKiB) = treeMemoryKiB(process.processId());
    if (process.state() == QProcess::Running)
        cost.ticks = after - before;
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(5000);
    return cost;
}

} // namespace

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--bare"))
        return playBare(arguments[2]);
    int seconds = 30;
    const qsizetype at = arguments.indexOf(QStringLiteral("--seconds"));
    if (at > 0 && at + 1 < arguments.size())
        seconds = std::max(1, arguments[at + 1].toInt());

    const QString folder = QStringLiteral("/tmp/sonavue-bench-playing");
    QDir().mkpath(folder);
    const QString mp3 = folder + QStringLiteral("/three-minutes.mp3");
    if (!writeMp3(mp3, 180))
        return 1;

    QString library;
    const qsizetype libraryAt = arguments.indexOf(QStringLiteral("--library"));
    if (libraryAt > 0 && libraryAt + 1 < arguments.size())
        library = QFileInfo(arguments[libraryAt + 1]).absoluteFilePath();

    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Music"));
    // A copy of the program folder, so that its settings file is this run's own.
    const QString programFolder = home.path() + QStringLiteral("/program");
    const QString program = programFolder + QStringLiteral("/Sonavue");
    if (!sonavue::bench::copyProgramFolder(QStringLiteral(SONAVUE_PROGRAM), programFolder)) {
        std::fprintf(stderr, "cannot copy the program folder\n");
        return 1;
    }
    const auto storeFolder = [&](const QString& music) {
        QFile ini(programFolder + QStringLiteral("/Sonavue.ini"));
        return ini.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               ini.write("[init]\nFolder=" + music.toUtf8() + "\n") > 0;
    };
    storeFolder(home.path() + QStringLiteral("/Music"));
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/run"));

    std::printf("platform: %s; %d s each, after %d s to settle\n",
                qPrintable(environment.value(QStringLiteral("QT_QPA_PLATFORM"),
                                             QStringLiteral("(default)"))),
                seconds, SettleSeconds);
    const Cost bare = measure(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--bare"), mp3}, environment, seconds);
    std::printf("bare playbin:       %4lld ticks, %5.2f %% of a core\n", bare.ticks,
                bare.percentOfACore());
    const Cost playing = measure(program, {mp3}, environment, seconds);
    std::printf("Sonavue (all its processes): %4lld ticks, %5.2f %% of a core\n", playing.ticks,
                playing.percentOfACore());
    if (bare.ticks > 0 && playing.ticks >= 0)
        std::printf("program / bare playbin: %.2f (target at most 1.5)\n",
                    double(playing.ticks) / double(bare.ticks));
    std::printf("memory while playing, no library: PSS %.1f MiB, RSS %.1f MiB (all processes)\n",
                playing.pssKiB / 1024.0, playing.rssKiB / 1024.0);
    bool idleMeasured = true;
    if (!library.isEmpty() && storeFolder(library)) {
        const Cost idle = measure(program, {}, environment, seconds);
        idleMeasured = idle.ticks >= 0;
        std::printf("memory idle with %s: PSS %.1f MiB, RSS %.1f MiB (all processes; target "
                    "at most 300 MB)\n",
                    qPrintable(library), idle.pssKiB / 1024.0, idle.rssKiB / 1024.0);
    }
    return bare.ticks < 0 || playing.ticks < 0 || !idleMeasured ? 1 : 0;
}
