// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The media element against files and pipelines that misbehave: a malformed MIDI file, or
// MP4 atoms nested deep enough to overflow the demuxer's stack, is refused before it
// reaches GStreamer (and never prepared to follow another file) and the next file plays; a
// play whose position stands still fails; Close never waits for a pipeline that will not
// stop; and track changes leave no thread and no element behind.
#include "audiofiles.h"
#include "midifiles.h"
#include "patientelement.h"
#include "testsinks.h"

#include "playback/gstmediaelement.h"
#include "support/containers.h"
#include "support/datarow.h"
#include "support/id3v2tag.h"
#include "support/processrun.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace sonavue;
using namespace sonavue::testaudio;
using namespace sonavue::testmidi;
using namespace sonavue::testing;
using State = MediaControl::State;

namespace {

// Generous: a sanitizer build on a loaded two-core machine synthesizes MIDI far slower
// than real time. Only a fault waits this long.
constexpr int WaitMs = 60000;
// The child process that counts what track changes leave (trackChangesLeaveNoElementBehind).
constexpr const char* TrackChangesFlag = "--track-changes";
// Enough that a close racing playbin's change of file shows within a run or two.
constexpr int TrackChanges = 24;
constexpr int NoLeakTracer = 77;

QList<PlayEnd> codes(const QSignalSpy& spy) {
    QList<PlayEnd> result;
    for (const QList<QVariant>& arguments : spy)
        result << arguments.at(0).value<PlayEnd>();
    return result;
}

bool waitForCode(QSignalSpy& spy, PlayEnd code) {
    return QTest::qWaitFor([&] { return codes(spy).contains(code); }, WaitMs);
}

void openAndPlay(MediaControl& media, const QString& path) {
    media.open(path);
    media.play();
}

// Waits until every pipeline given up has been released, as long as releases keep coming:
// on a loaded machine under a sanitizer, thirty teardowns may take far longer than any one.
bool allReleased(const GstMediaElement& media) {
    for (int left = media.pipelinesBeingReleased(); left > 0;
         left = media.pipelinesBeingReleased()) {
        if (!QTest::qWaitFor([&] { return media.pipelinesBeingReleased() < left; }, WaitMs))
            return false;
    }
    return true;
}

int threadCount() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// A sink whose streaming thread is held inside its render call until released (or until a
// long safety limit), like a decoder that never returns.
struct HeldSink {
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    bool timedOut = false;

    static void onHandoff(GstElement*, GstBuffer*, GstPad*, gpointer data) {
        auto* self = static_cast<HeldSink*>(data);
        std::unique_lock guard(self->lock);
        self->entered = true;
        self->changed.notify_all();
        if (!self->changed.wait_for(guard, std::chrono::seconds(15),
                                    [self] { return self->released; }))
            self->timedOut = true;
    }
    GstElement* make() {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(sink, "handoff", G_CALLBACK(&HeldSink::onHandoff), this);
        return sink;
    }
    bool hasEntered() {
        const std::lock_guard guard(lock);
        return entered;
    }
    void release() {
        const std::lock_guard guard(lock);
        released = true;
        changed.notify_all();
    }
};

// An MP4 file whose tracks nest 60,000 deep (480 KB).
QByteArray deepMp4() {
    return atom("ftyp", "M4A " + bigEndian(0, 4) + "M4A mp42isom") +
           atom("moov", nestedAtoms("trak", 60000));
}

// A sink that never takes a buffer: the pipeline stays short of its preroll for good.

} // namespace

class TestMediaElementSafety : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
    }
    void malformedFileIsRefusedAndTheNextFilePlays_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray end("\x00\xFF\x2F\x00", 4);
        dataRow("track length 0xFFFFFFFF", "bad.mid", header() + chunk("MTrk", end, 0xFFFFFFFFu));
        dataRow("division 0", "bad.mid", header(0, 1, 0) + chunk("MTrk", noteTrackBody()));
        dataRow("real-time byte in a track", "bad.mid",
                singleTrackFile(number(0) + "\xF8" + noteTrackBody()));
        dataRow("event time past the track", "bad.mid",
                singleTrackFile(noteTrackBody() + "\x81\x81"));
        dataRow("RIFF MIDI around a bad length", "bad.mid",
                riffMidi(header() + chunk("MTrk", end, 0xFFFFFFFFu)));
        // Enough levels to overflow the MP4 demuxer's stack, whatever the name says.
        dataRow("MP4 atoms nested 60,000 deep", "deep.m4a", deepMp4());
        dataRow("the same named .mp3 behind an ID3v2 tag", "deep.mp3",
                id3v2::tag(3, id3v2::frame(3, "TIT2", QByteArray("\0Deep", 5))) + deepMp4());
    }
    void malformedFileIsRefusedAndTheNextFilePlays() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString bad = write(name, bytes);
        const QString midi = write(QStringLiteral("good.mid"), singleTrackFile(noteTrackBody(200)));
        const QString wav = write(QStringLiteral("good.wav"), wavBytes(150));
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);

        media.open(bad);
        QCOMPARE(media.state(), State::Closed); // refused before any pipeline saw it
        media.play();
        QVERIFY(waitForCode(done, PlayEnd::Failed));

        // The element goes on: a sound MIDI file and a WAV both play to their ends.
        media.close();
        openAndPlay(media, midi);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        media.close();
        done.clear();
        openAndPlay(media, wav);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
    }
    // A file that would be refused is not prepared to follow the playing one either.
    void fileBeyondTheBoundsIsNeverPreparedToFollow() {
        const QString wav = write(QStringLiteral("before deep.wav"), wavBytes(200));
        const QString deep = write(QStringLiteral("following.m4a"), deepMp4());
        PatientElement media(realTimeFakeSink);
        media.setGapless(true);
        QSignalSpy done(&media, &MediaControl::finished);
        media.open(wav);
        media.setNextFile(NextFile{deep, std::nullopt});
        media.play();
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY(media.continuedFile().isEmpty());
        // Its own turn: refused as a file that cannot be opened.
        media.close();
        openAndPlay(media, deep);
        QVERIFY(waitForCode(done, PlayEnd::Failed));
        QCOMPARE(codes(done), (QList<PlayEnd>{PlayEnd::Reached, PlayEnd::Failed}));
    }
    void playThatStandsStillIsGivenUp() {
        const QString wav = write(QStringLiteral("still.wav"), wavBytes(150));
        bool stuck = true;
        GstMediaElement media(
            [&stuck] { return stuck ? sinkThatNeverPrerolls() : realTimeFakeSink(); });
        media.setStallLimitMs(1000);
        QSignalSpy done(&media, &MediaControl::finished);

        openAndPlay(media, wav);
        QCOMPARE(media.state(), State::Playing);
        // Given up with the code that continuous play takes as an end of play.
        QVERIFY(waitForCode(done, PlayEnd::GivenUp));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::GivenUp});
        QCOMPARE(media.state(), State::Closed);

        // The next file plays on a sink that works.
        stuck = false;
        done.clear();
        openAndPlay(media, wav);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
    }
    void closeDoesNotWaitForAPipelineThatWillNotStop() {
        const QString wav = write(QStringLiteral("held.wav"), wavBytes(300));
        HeldSink held;
        GstMediaElement media([&held] { return held.make(); });
        openAndPlay(media, wav);
        QVERIFY(QTest::qWaitFor([&] { return held.hasEntered(); }, WaitMs));

        // The pipeline's thread is held inside the sink: a change to NULL on this thread would
        // wait for it. Close returns while it is still held.
        media.close();
        QCOMPARE(media.state(), State::Closed);
        {
            const std::lock_guard guard(held.lock);
            QVERIFY(!held.timedOut);
            QVERIFY(!held.released);
        }
        QCOMPARE(media.pipelinesBeingReleased(), 1);
        held.release();
        QTRY_COMPARE_WITH_TIMEOUT(media.pipelinesBeingReleased(), 0, WaitMs);
    }
    void midiTrackChangesAddNoThread() {
        const QString midi =
            write(QStringLiteral("change.mid"), singleTrackFile(noteTrackBody(400)));
        PatientElement media(realTimeFakeSink);
        const auto changeTracks = [&](int changes) {
            for (int i = 0; i < changes; ++i) {
                media.close();
                openAndPlay(media, midi);
                // Until the synthesizer makes sound: the decoder is fully built.
                if (!QTest::qWaitFor([&] { return media.positionMs() > 0; }, WaitMs))
                    return false;
            }
            media.close();
            return allReleased(media);
        };
        // The first changes fill GStreamer's own thread pools.
        QVERIFY(changeTracks(3));
        const int before = threadCount();
        QVERIFY(changeTracks(12));
        // Pool threads may come and go by one or two; a synthesizer left behind per track is 12.
        QTRY_VERIFY2_WITH_TIMEOUT(
            threadCount() <= before + 2,
            qPrintable(
                QStringLiteral("%1 threads before, %2 after").arg(before).arg(threadCount())),
            WaitMs);
    }

    // Each track change frees the whole pipeline it closes: its sink and its volume too.
    void trackChangesLeaveNoElementBehind_data() {
        QTest::addColumn<bool>("gapless");
        dataRow("gapless play off", false);
        dataRow("gapless play on, the next file prepared", true);
    }
    void trackChangesLeaveNoElementBehind() {
        QFETCH(bool, gapless);
        // GStreamer lets the last elements go on threads of its own, after the pipeline was
        // released; gst_deinit() waits for them, so they are counted in a process that ends
        // with it, by the leak tracer, which then says whether any element was left.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GST_TRACERS", "leaks(filters=GstElement)");
        // Under AddressSanitizer: what GStreamer keeps after gst_deinit() is not this test's
        // concern (the parent's own leak check runs as in every test).
        const QString asan = environment.value("ASAN_OPTIONS");
        environment.insert("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
        const ProcessRun child =
            runProcess(QCoreApplication::applicationFilePath(),
                       {TrackChangesFlag, gapless ? "gapless" : "plain", m_dir.path()}, 3 * WaitMs,
                       environment);
        if (child.exitCode == NoLeakTracer)
            QSKIP("GStreamer's leak tracer is not available");
        // Exit -1: it did not end in time (a pipeline that never stopped holds gst_deinit()).
        QVERIFY2(child.exitCode == 0 && !child.err.contains("Leaks detected"),
                 qPrintable(QStringLiteral("exit %1: %2")
                                .arg(child.exitCode)
                                .arg(QString::fromLocal8Bit(child.err.right(2000)))));
    }

private:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }
    QTemporaryDir m_dir;
};

// The child of trackChangesLeaveNoElementBehind: changes of track (each, with gapless play,
// just after the next file was prepared, while playbin may be changing to it), then GStreamer
// ends. 0 when every pipeline was released in time.
int runTrackChanges(bool gapless, const QString& folder) {
    gst_init(nullptr, nullptr);
    GList* const tracers = gst_tracing_get_active_tracers();
    if (!tracers)
        return NoLeakTracer;
    g_list_free_full(tracers, gst_object_unref);
    const QString wav = folder + QStringLiteral("/change.wav");
    if (!writeFile(wav, wavBytes(400, 44100)))
        return 2;
    bool released = true;
    {
        PatientElement media(realTimeFakeSink);
        media.setGapless(gapless);
        QSignalSpy prepared(&media, &GstMediaElement::nextFilePrepared);
        for (int i = 0; i < TrackChanges && released; ++i) {
            media.close();
            openAndPlay(media, wav);
            media.setNextFile(NextFile{wav, std::nullopt});
            released = QTest::qWaitFor(
                [&] { return gapless ? prepared.count() > i : media.positionMs() > 0; }, WaitMs);
        }
        media.close();
        released = released && allReleased(media);
    }
    // What the closed pipelines last told the window goes as its events run.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gst_deinit(); // the leak tracer says "Leaks detected" here if any element is left
    return released ? 0 : 1;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], TrackChangesFlag) == 0)
        return runTrackChanges(qstrcmp(argv[2], "gapless") == 0, QString::fromLocal8Bit(argv[3]));
    TestMediaElementSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_playback_mediaelementsafety.moc"
