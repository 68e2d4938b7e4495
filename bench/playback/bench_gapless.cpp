// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Gapless play's gap in stream time: for a run of files of one type played one after the
// other with gapless play on, the samples between the last sample of one file and the first
// of the next at the sink (from the sink's running time, not the wall clock), and how many
// samples each file gave against its length. WAV files and MP3 files (lamemp3enc with a LAME
// header) hold consecutive parts of one sine; MIDI files one note each. A join the element
// did not make without a gap (the file was closed and the next opened: always between MIDI
// files, which gapless play leaves to the change of file) is counted apart. "rates": WAV
// files of 44.1 and 48 kHz in turn.
//
// Then the same runs as a listener hears them: played through the automatic sink to a
// private PulseAudio server's null sink and recorded at its monitor, each file is looked for
// in the recording: samples of it never heard, silence and stray sound between two files,
// and silence inside one (the output ran dry). Skipped where PulseAudio is not installed.
//   bench_playback_gapless [--files N]
#include "audiofiles.h"
#include "gaplessaudio.h"
#include "midifiles.h"
#include "soundserver.h"

#include "playback/gstmediaelement.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <gst/gst.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace sonavue;
using namespace sonavue::testaudio;

namespace {

constexpr qint64 FileSamples = 9001; // about 204 ms, not a whole number of MP3 frames

struct Run {
    QStringList files;
    std::vector<qint64> lengths; // samples written per file (none for MIDI)
};

bool writeRun(const QString& folder, const QString& kind, int count, Run& run) {
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/%1 %2.%1").arg(kind).arg(i);
        const std::vector<qint16> part = sineSamples(i * FileSamples, FileSamples, CaptureRate);
        bool written = false;
        if (kind == QLatin1String("wav"))
            written = writeFile(path, wavBytes(part, CaptureRate));
        else if (kind == QLatin1String("rates")) // 44.1 and 48 kHz in turn, resampled to play
            written = writeFile(path + QStringLiteral(".wav"),
                                wavBytes(i % 2 ? sineSamples(0, FileSamples, 48000) : part,
                                         i % 2 ? 48000 : CaptureRate));
        else if (kind == QLatin1String("mp3"))
            written = writeGaplessMp3(path, part);
        else
            written = writeFile(path, testmidi::singleTrackFile(testmidi::noteTrackBody(200)));
        if (!written)
            return false;
        const bool rates = kind == QLatin1String("rates");
        run.files << (rates ? path + QStringLiteral(".wav") : path);
        run.lengths.push_back(kind == QLatin1String("mid") || rates ? -1 : FileSamples);
    }
    return true;
}

struct Outcome {
    std::vector<qint64> gaps;  // per join made in one pipeline
    std::vector<qint64> extra; // samples given minus samples written, per file
    int reopened = 0;          // joins made by closing and opening
    bool finished = false;
};

// Plays the run as continuous play would, taking each continued file; true when it ended.
bool play(const Run& run, GstMediaElement::SinkFactory sink, int& reopened) {
    GstMediaElement media(std::move(sink));
    media.setGapless(true);
    bool finished = false;
    int current = 0;
    const auto offerAfter = [&](int index) {
        if (index + 1 < run.files.size())
            media.setNextFile(NextFile{run.files.at(index + 1), std::nullopt});
    };
    QEventLoop loop;
    QObject::connect(&media, &MediaControl::finished, &loop, [&](PlayEnd end) {
        if (end != PlayEnd::Reached || ++current == run.files.size()) {
            finished = end == PlayEnd::Reached;
            loop.quit();
            return;
        }
        if (!media.takeContinuedFile(run.files.at(current))) {
            ++reopened;
            media.close();
            media.open(run.files.at(current));
            media.play();
        }
        offerAfter(current);
    });
    media.open(run.files.at(0));
    offerAfter(0);
    media.play();
    QTimer::singleShot(int(run.files.size()) * 3000, &loop, &QEventLoop::quit);
    loop.exec();
    return finished;
}

// The run at a capturing sink: the gaps in stream time.
Outcome playCaptured(const Run& run) {
    SampleCapture capture;
    Outcome outcome;
    outcome.finished = play(
        run, [&capture] { return capture.makeSink(); }, outcome.reopened);
    const std::vector<SampleCapture::Stream> streams = capture.streams();
    const qint64 total = qint64(capture.samples().size());
    for (size_t s = 0; s < streams.size(); ++s) {
        if (s > 0 && streams[s].gapSamples)
            outcome.gaps.push_back(*streams[s].gapSamples);
        const qint64 end = s + 1 < streams.size() ? streams[s + 1].firstSample : total;
        if (s < run.lengths.size() && run.lengths[s] >= 0)
            outcome.extra.push_back(end - streams[s].firstSample - run.lengths[s]);
    }
    return outcome;
}

QString summary(std::vector<qint64> values) {
    if (values.empty())
        return QStringLiteral("-");
    std::sort(values.begin(), values.end());
    return QStringLiteral("min %1  median %2  max %3")
        .arg(values.front())
        .arg(values[values.size() / 2])
        .arg(values.back());
}

// The run as heard at the sound server.
void playHeard(const Run& run, SoundServer& server, const char* kind) {
    std::vector<Expected> expected;
    for (qsizetype f = 0; f < run.files.size(); ++f) {
        const bool exact = run.lengths[std::size_t(f)] >= 0;
        std::vector<qint16> samples = decodedSamples(run.files.at(f));
        expected.push_back({std::move(samples), exact});
    }
    int reopened = 0;
    server.startRecording();
    const bool finished = play(run, {}, reopened);
    const std::vector<Heard> heard = hearFiles(server.stopRecording(), expected);
    qint64 lost = 0, silentInside = 0, stray = 0, missing = 0;
    std::vector<qint64> silentAtJoins;
    for (std::size_t f = 0; f < heard.size(); ++f) {
        missing += heard[f].start < 0;
        lost += heard[f].lost;
        silentInside += heard[f].silentInside;
        if (f > 0) {
            stray += heard[f].strayBefore;
            silentAtJoins.push_back(heard[f].silentBefore);
        }
    }
    std::printf("%-5s lost %lld, stray %lld, silent inside files %lld; silence at the joins "
                "(samples): %s; reopened %d%s\n",
                kind, lost, stray, silentInside, qPrintable(summary(silentAtJoins)), reopened,
                finished && missing == 0 ? "" : " (not all played)");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    gst_init(&argc, &argv);
    int fileCount = 21;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--files")); i >= 0 && i + 1 < args.size())
        fileCount = std::max(2, args.at(i + 1).toInt());
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    std::printf("Gapless play, %d files per type (%lld samples at %d Hz each; MIDI: one 200 ms "
                "note), sink: fakesink sync=true\n",
                fileCount, FileSamples, CaptureRate);
    bool allFinished = true;
    for (const char* kind : {"wav", "mp3", "mid", "rates"}) {
        Run run;
        if (!writeRun(dir.path(), QLatin1String(kind), fileCount, run)) {
            std::printf("%-4s could not be written (encoder missing?)\n", kind);
            continue;
        }
        const Outcome outcome = playCaptured(run);
        allFinished = allFinished && outcome.finished;
        std::printf(
            "%-4s -> %-4s gap at the join (samples): %-32s joins gapless %zu, reopened %d\n", kind,
            kind, qPrintable(summary(outcome.gaps)), outcome.gaps.size(), outcome.reopened);
        if (!outcome.extra.empty())
            std::printf("     samples given minus written, per file: %s\n",
                        qPrintable(summary(outcome.extra)));
    }
    std::printf("target: 0 samples between WAVs and between gapless MP3s\n");

    SoundServer server(CaptureRate);
    if (const std::optional<QString> why = server.start()) {
        std::printf("\nAt a sound server: skipped, %s\n", qPrintable(*why));
        return allFinished ? 0 : 1;
    }
    std::printf("\nAt a PulseAudio null sink (%d Hz mono, no rewinds), recorded at its monitor "
                "with 20 ms latency:\n",
                CaptureRate);
    QDir().mkpath(dir.path() + QStringLiteral("/heard"));
    for (const char* kind : {"wav", "mp3", "rates"}) {
        Run run;
        if (writeRun(dir.path() + QStringLiteral("/heard"), QLatin1String(kind), fileCount, run))
            playHeard(run, server, kind);
    }
    std::printf("target: nothing lost, no stray sound, no silence at a join of WAVs or of "
                "gapless MP3s\n");
    return allFinished ? 0 : 1;
}
