// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The media element on real GStreamer with real files: ends raise code 1 once, cut-short
// plays never do, bad files leave the element silent and usable, any name plays, and the
// volume reaches the samples.
#include "audiofiles.h"
#include "base/fileuri.h"
#include "midifiles.h"

#include "base/nativepath.h"
#include "gaplessaudio.h"
#include "patientelement.h"
#include "playback/gstmediaelement.h"
#include "playback/volume.h"
#include "support/datarow.h"
#include "support/queuedcalls.h"
#include "testsinks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gst/gst.h>

#include <atomic>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonavue;
using namespace sonavue::testaudio;
using namespace sonavue::testing;
using State = MediaControl::State;

namespace {

// Generous: a sanitizer build on a loaded two-core machine synthesizes MIDI far slower than
// real time. Only a fault waits this long.
constexpr int DoneWaitMs = 60000;

// The largest absolute 16-bit sample the sink has received.
struct PeakMeter {
    std::atomic<int> peak{0};

    static GstPadProbeReturn onBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
        auto* meter = static_cast<PeakMeter*>(data);
        GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        GstMapInfo map;
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const auto* samples = reinterpret_cast<const qint16*>(map.data);
            int peak = meter->peak.load();
            for (gsize i = 0; i < map.size / 2; ++i)
                peak = std::max(peak, std::abs(int(samples[i])));
            meter->peak.store(peak);
            gst_buffer_unmap(buffer, &map);
        }
        return GST_PAD_PROBE_OK;
    }

    // A real-time sink taking 16-bit samples, measured as they arrive.
    GstElement* makeSink() {
        GError* error = nullptr;
        GstElement* bin = gst_parse_bin_from_description(
            "capsfilter caps=audio/x-raw,format=S16LE ! fakesink name=out sync=true", TRUE, &error);
        if (!bin) {
            g_clear_error(&error);
            return nullptr;
        }
        GstElement* out = gst_bin_get_by_name(GST_BIN(bin), "out");
        GstPad* pad = gst_element_get_static_pad(out, "sink");
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &PeakMeter::onBuffer, this, nullptr);
        gst_object_unref(pad);
        gst_object_unref(out);
        return bin;
    }
};

QList<PlayEnd> codes(const QSignalSpy& spy) {
    QList<PlayEnd> result;
    for (const QList<QVariant>& arguments : spy)
        result << arguments.at(0).value<PlayEnd>();
    return result;
}

// Waits until finished has carried `code` (or the time is up).
bool waitForCode(QSignalSpy& spy, PlayEnd code, int timeoutMs = DoneWaitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!codes(spy).contains(code)) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        spy.wait(int(left));
    }
    return true;
}

const char* encoderFor(const QString& kind) {
    if (kind == QLatin1String("flac"))
        return "flacenc";
    if (kind == QLatin1String("ogg"))
        return "vorbisenc ! oggmux";
    if (kind == QLatin1String("opus"))
        return "opusenc ! oggmux";
    return "voaacenc ! mp4mux";
}

bool hasElement(const char* name) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory)
        gst_object_unref(factory);
    return factory != nullptr;
}

// About 300 ms of tone (13 buffers of 1,024 samples at 44.1 kHz) encoded by elements.
bool writeEncodedTone(const QString& path, const char* elements) {
    const QString pipeline = QStringLiteral("audiotestsrc num-buffers=13 ! audioconvert ! %1 ! "
                                            "filesink location=%2")
                                 .arg(QLatin1String(elements), path);
    return runToEnd(pipeline);
}

// The shift (-3..3 samples) that best lines played[from, to) up with expected.
int bestShift(const std::vector<qint16>& played, const std::vector<qint16>& expected, qint64 from,
              qint64 to) {
    int best = 0;
    int bestError = INT_MAX;
    for (int shift = -3; shift <= 3; ++shift) {
        int error = 0;
        for (qint64 i = from; i < to; ++i)
            error = std::max(error, std::abs(played[size_t(i)] - expected[size_t(i + shift)]));
        if (error < bestError) {
            bestError = error;
            best = shift;
        }
    }
    return best;
}

void openAndPlay(MediaControl& media, const QString& path) {
    media.open(path);
    media.play();
}

} // namespace

class TestGstMediaElement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The automatic sink finds no sound device here, on any machine.
        qputenv("GST_PLUGIN_FEATURE_RANK", "pulsesink:NONE,alsasink:NONE,pipewiresink:NONE,"
                                           "jackaudiosink:NONE,oss4sink:NONE,osssink:NONE,"
                                           "openalsink:NONE");
        gst_init(nullptr, nullptr);
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(mp3FixturePath()), qPrintable(mp3FixturePath()));
    }

    void playRaisesCodeOneOnceAtTheEnd_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("durationMs");
        dataRow("wav", "wav", 300);
        dataRow("mp3 fixture", "mp3", Mp3FixtureMs);
        dataRow("midi", "mid", 300);
        // However short the file, reaching its end is the end of a play.
        dataRow("wav without samples", "wav", 0);
        dataRow("wav of one millisecond", "wav", 1);
        // The opt-in types play on the same element.
        dataRow("flac", "flac", 300);
        dataRow("ogg vorbis", "ogg", 300);
        dataRow("opus", "opus", 300);
        dataRow("m4a", "m4a", 300);
    }
    void playRaisesCodeOneOnceAtTheEnd() {
        QFETCH(QString, kind);
        QFETCH(int, durationMs);
        QString path;
        if (kind == QLatin1String("mp3"))
            path = mp3FixturePath();
        else if (kind == QLatin1String("mid"))
            path = m_dir.path() + QStringLiteral("/note.mid");
        else
            path = m_dir.path() + QStringLiteral("/tone.") + kind;
        if (kind == QLatin1String("m4a") && !(hasElement("voaacenc") && hasElement("mp4mux") &&
                                              (hasElement("faad") || hasElement("avdec_aac"))))
            QSKIP("no AAC encoder or decoder element on this machine");
        if (kind == QLatin1String("mid"))
            QVERIFY(
                writeFile(path, testmidi::singleTrackFile(testmidi::noteTrackBody(durationMs))));
        else if (kind == QLatin1String("wav"))
            QVERIFY(writeFile(path, wavBytes(durationMs)));
        else if (kind != QLatin1String("mp3"))
            QVERIFY(writeEncodedTone(path, encoderFor(kind)));

        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        bool onUiThread = true;
        connect(&media, &MediaControl::finished, this,
                [&] { onUiThread = onUiThread && QThread::currentThread() == thread(); });

        QCOMPARE(media.state(), State::Closed);
        media.open(path);
        QCOMPARE(media.state(), State::Stopped);
        QElapsedTimer clock;
        clock.start();
        media.play();
        QCOMPARE(media.state(), State::Playing);
        const bool reached = waitForCode(done, PlayEnd::Reached);
        QStringList ends; // what ended it instead, if anything did
        for (const PlayEnd end : codes(done))
            ends << QString::number(int(end));
        QVERIFY2(reached, qPrintable(path + QStringLiteral(" ended with: ") + ends.join(u' ')));
        // Played in real time, not raised early.
        QVERIFY2(clock.elapsed() >= durationMs * 8 / 10,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(onUiThread);
        QCOMPARE(media.state(), State::Stopped);
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
        media.close();
        QCOMPARE(media.state(), State::Closed);
        QCOMPARE(media.fileName(), path); // kept after the close
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(codes(done),
                 QList<PlayEnd>{PlayEnd::Reached}); // closing after the end adds nothing
    }
    void cutShortPlayRaisesNoCodeOne_data() {
        QTest::addColumn<QString>("interruption");
        QTest::addColumn<PlayEnd>("expectedCode");
        dataRow("close", "close", PlayEnd::Aborted);
        dataRow("open of another file", "open", PlayEnd::Superseded);
        dataRow("play again", "play", PlayEnd::Superseded);
    }
    void cutShortPlayRaisesNoCodeOne() {
        QFETCH(QString, interruption);
        QFETCH(PlayEnd, expectedCode);
        // The second is the longer: the first's end, had its play gone on, would come first.
        const QString first = writeWav(QStringLiteral("first.wav"), 300);
        const QString second = writeWav(QStringLiteral("second.wav"), 400);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);

        openAndPlay(media, first);
        QTRY_VERIFY_WITH_TIMEOUT(media.positionMs() > 0, DoneWaitMs); // under way
        if (interruption == QLatin1String("open"))
            media.open(second);
        else if (interruption == QLatin1String("play"))
            media.play();
        else
            media.close();
        QVERIFY(waitForCode(done, expectedCode));
        QCOMPARE(codes(done), QList<PlayEnd>{expectedCode});

        if (interruption == QLatin1String("close")) {
            QCOMPARE(media.state(), State::Closed);
            QVERIFY(deliverQueuedCalls());
            QCOMPARE(codes(done), QList<PlayEnd>{expectedCode});
            // Close, then the next file plays to its end.
            openAndPlay(media, second);
        } else if (interruption == QLatin1String("open")) {
            QCOMPARE(media.state(), State::Stopped);
            media.play();
        }
        // The file that now plays (the first again, from the start, or the second) ends once.
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(codes(done).count(PlayEnd::Reached), 1);
    }
    void endQueuedBeforeCloseIsDropped() {
        // The end of stream is posted while the user-interface thread is busy; the Close that
        // runs before it is delivered makes it stale.
        const QString path = writeWav(QStringLiteral("short.wav"), 150);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        openAndPlay(media, path);
        QThread::msleep(450);
        media.close();
        // The close cut the pipeline off: only what was queued before it can still arrive.
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Aborted});
        QCOMPARE(media.state(), State::Closed);
    }
    void failureOfAFileNoLongerOpenIsDropped_data() {
        QTest::addColumn<bool>("openAnother");
        dataRow("another file opened", true);
        dataRow("closed", false);
    }
    void failureOfAFileNoLongerOpenIsDropped() {
        // The failure is posted at once; the command after it, given before it is delivered,
        // makes it stale: it must not be taken for the next file's.
        QFETCH(bool, openAnother);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        openAndPlay(media, m_dir.path() + QStringLiteral("/missing.wav"));
        if (openAnother) {
            openAndPlay(media, writeWav(QStringLiteral("next.wav"), 150));
            QVERIFY(waitForCode(done, PlayEnd::Reached));
        } else {
            media.close();
            QVERIFY(deliverQueuedCalls());
        }
        QCOMPARE(codes(done), openAnother ? QList<PlayEnd>{PlayEnd::Reached} : QList<PlayEnd>{});
    }
    void playAgainAfterTheEnd() {
        const QString path = writeWav(QStringLiteral("again.wav"), 300);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        openAndPlay(media, path);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        done.clear();
        QElapsedTimer clock;
        clock.start();
        media.play(); // from the start, not from the end
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY2(clock.elapsed() >= 240, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
    }
    void unplayableFileStaysSilentAndElementRecovers_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing", "empty", "random bytes", "text", "truncated header",
                                 "fifo", "directory", "unreadable"})
            dataRow(kind, QString::fromLatin1(kind));
    }
    void unplayableFileStaysSilentAndElementRecovers() {
        QFETCH(QString, kind);
        const QString path = m_dir.path() + QStringLiteral("/bad ") + kind + QStringLiteral(".mp3");
        const QByteArray native = pathToNative(path);
        QByteArray bytes;
        if (kind == QLatin1String("random bytes")) {
            QRandomGenerator random(42);
            bytes.resize(20000);
            for (char& c : bytes)
                c = char(random.bounded(256));
        } else if (kind == QLatin1String("text")) {
            bytes = QByteArray("This is not music at all.\n").repeated(100);
        } else if (kind == QLatin1String("truncated header")) {
            bytes = wavBytes(300).left(20);
        }
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("unreadable")) {
            if (::geteuid() == 0)
                QSKIP("root reads every file");
            QVERIFY(writeFile(path, wavBytes(300)));
            QCOMPARE(::chmod(native.constData(), 0), 0);
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(writeFile(path, bytes));
        }

        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        openAndPlay(media, path); // returns: nothing blocks on the file
        QVERIFY2(waitForCode(done, PlayEnd::Failed), qPrintable(kind));
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Failed});
        // Closed, or open and stopped when the file opened but held no sound.
        QVERIFY(media.state() == State::Closed || media.state() == State::Stopped);

        // Usable afterwards: the player's own sequence plays the next file to its end.
        media.close();
        openAndPlay(media, writeWav(QStringLiteral("after bad.wav"), 200));
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QCOMPARE(codes(done), (QList<PlayEnd>{PlayEnd::Failed, PlayEnd::Reached}));
    }
    void anyFileNamePlays_data() {
        QTest::addColumn<QString>("name"); // relative to the temporary folder
        dataRow("spaces", QStringLiteral("a  song with spaces .wav"));
        dataRow("japanese", QStringLiteral("日本語の曲名.wav"));
        dataRow("hash", QStringLiteral("#1 hit#.wav"));
        dataRow("percent", QStringLiteral("100% pure %20 %zz.wav"));
        dataRow("uri characters", QStringLiteral("a?b=c&d;e+f[1]@:!'().wav"));
        dataRow("not utf-8 (Shift-JIS bytes)",
                pathFromNative(QByteArray("\x83\x7e\x83\x85\x81\x5b\x83\x57\x83\x62\x83\x4e.wav")));
        dataRow("not utf-8 (Latin-1 byte)", pathFromNative(QByteArray("caf\xe9.wav")));
        dataRow("strange folder", QStringLiteral("フォルダ #2 %41/曲 名.wav"));
    }
    void anyFileNamePlays() {
        QFETCH(QString, name);
        const QString path = m_dir.path() + u'/' + name;
        const QString folder = path.left(path.lastIndexOf(u'/'));
        QCOMPARE(::mkdir(pathToNative(folder).constData(), 0700) == 0 || errno == EEXIST, true);
        QVERIFY(writeFile(path, wavBytes(200)));
        // QTemporaryDir cannot remove names that are not UTF-8: remove them by their bytes.
        const auto removeFile = qScopeGuard([&] {
            ::unlink(pathToNative(path).constData());
            if (folder != m_dir.path())
                ::rmdir(pathToNative(folder).constData());
        });
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        openAndPlay(media, path);
        QVERIFY2(waitForCode(done, PlayEnd::Reached), qPrintable(fileUriFor(path)));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
    }
    void fileUriKeepsTheBytes_data() {
        anyFileNamePlays_data();
        dataRow("relative", QStringLiteral("RELATIVE:sub dir/x#.wav"));
    }
    void fileUriKeepsTheBytes() {
        QFETCH(QString, name);
        QString path = m_dir.path() + u'/' + name;
        QByteArray expected = pathToNative(path);
        if (name.startsWith(QLatin1String("RELATIVE:"))) {
            path = name.mid(9);
            expected = QDir::currentPath().toUtf8() + '/' + pathToNative(path);
        }
        const QString uri = fileUriFor(path);
        QVERIFY(uri.startsWith(QLatin1String("file:///")));
        for (qsizetype i = 0; i < uri.size(); ++i) {
            const QChar c = uri[i];
            QVERIFY2(c.unicode() > 0x20 && c.unicode() < 0x7F, qPrintable(uri));
            QVERIFY2(c != u'#' && c != u'?', qPrintable(uri));
            if (c == u'%')
                QVERIFY2(i + 2 < uri.size() && isxdigit(uri[i + 1].toLatin1()) &&
                             isxdigit(uri[i + 2].toLatin1()),
                         qPrintable(uri));
        }
        gchar* decoded = g_filename_from_uri(uri.toLatin1().constData(), nullptr, nullptr);
        QVERIFY(decoded);
        const QByteArray bytes(decoded);
        g_free(decoded);
        QCOMPARE(bytes, expected);
    }
    void volumeReachesTheSamples_data() {
        QTest::addColumn<bool>("send");
        QTest::addColumn<double>("gain");
        dataRow("nothing sent", false, 1.0);
        dataRow("level 128", true, 32896.0 / 65535.0);
        dataRow("full", true, 1.0);
        dataRow("level 64", true, 16448.0 / 65535.0);
        dataRow("silent", true, 0.0);
    }
    void volumeReachesTheSamples() {
        QFETCH(bool, send);
        QFETCH(double, gain);
        constexpr int Peak = 16000;
        const QString first = writeWav(QStringLiteral("vol1.wav"), 150, Peak);
        const QString second = writeWav(QStringLiteral("vol2.wav"), 150, Peak);
        PeakMeter meter;
        PatientElement media([&meter] { return meter.makeSink(); });
        QSignalSpy done(&media, &MediaControl::finished);
        QCOMPARE(media.outputVolume(), 1.0); // at start nothing is sent
        if (send)
            media.setOutputGain(gain);
        QVERIFY(std::abs(media.outputVolume() - gain) < 1e-6);

        openAndPlay(media, first);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        const int firstPeak = meter.peak.exchange(0);
        // The level holds across Close and Open: the next file plays at it too.
        media.close();
        done.clear();
        openAndPlay(media, second);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        const int secondPeak = meter.peak.load();
        QVERIFY(std::abs(media.outputVolume() - gain) < 1e-6);
        const double expected = Peak * gain;
        for (int peak : {firstPeak, secondPeak})
            QVERIFY2(std::abs(peak - expected) <= Peak * 0.01 + 2,
                     qPrintable(QStringLiteral("%1 vs %2").arg(peak).arg(expected)));
    }
    void transportPauseAndResume() {
        constexpr int Length = 400;
        const QString path = writeWav(QStringLiteral("pause.wav"), Length);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);
        QSignalSpy states(&media, &MediaControl::stateChanged);
        openAndPlay(media, path);
        QTRY_VERIFY_WITH_TIMEOUT(media.positionMs() >= 100, DoneWaitMs);
        media.pause();
        QCOMPARE(media.state(), State::Paused);
        const qint64 pausedAt = media.positionMs();
        QVERIFY2(pausedAt >= 100 && pausedAt < Length, qPrintable(QString::number(pausedAt)));
        QCOMPARE(media.durationMs(), Length);
        // A time by nature: longer than the whole file, and a paused play does not end.
        QTest::qWait(Length);
        QVERIFY(done.isEmpty());
        QVERIFY(std::abs(media.positionMs() - pausedAt) < 30);
        QElapsedTimer clock;
        clock.start();
        media.resume();
        QCOMPARE(media.state(), State::Playing);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        // It went on from where it stood, in real time.
        QVERIFY2(clock.elapsed() >= (Length - pausedAt) * 8 / 10,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
        const QList<State> seen = [&] {
            QList<State> list;
            for (const QList<QVariant>& arguments : states)
                list << arguments.at(0).value<State>();
            return list;
        }();
        QCOMPARE(seen, (QList<State>{State::Stopped, State::Playing, State::Paused, State::Playing,
                                     State::Stopped}));
    }
    void transportStopAndSeek() {
        const QString path = writeWav(QStringLiteral("stop.wav"), 500);
        PatientElement media(realTimeFakeSink);
        QSignalSpy done(&media, &MediaControl::finished);

        // Nothing open: the transport does nothing.
        media.pause();
        media.resume();
        media.seekMs(100);
        media.stop();
        QCOMPARE(media.state(), State::Closed);
        QCOMPARE(media.positionMs(), 0);
        QCOMPARE(media.durationMs(), -1);

        openAndPlay(media, path);
        QTRY_VERIFY_WITH_TIMEOUT(media.positionMs() > 0, DoneWaitMs);
        media.stop();
        QCOMPARE(media.state(), State::Stopped);
        QVERIFY(waitForCode(done, PlayEnd::Aborted));
        QTRY_VERIFY2(media.positionMs() < 20, qPrintable(QString::number(media.positionMs())));

        // A seek while stopped, then play on from there: the rest of the file only.
        media.seekMs(300);
        // A seek while stopped settles in its own time (longer in sanitizer builds); it stays.
        QTRY_VERIFY2_WITH_TIMEOUT(std::abs(media.positionMs() - 300) < 30,
                                  qPrintable(QString::number(media.positionMs())), DoneWaitMs);
        // A time by nature: past the file's end, a stopped play neither ends nor moves.
        QTest::qWait(400);
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Aborted});
        QVERIFY2(std::abs(media.positionMs() - 300) < 30,
                 qPrintable(QString::number(media.positionMs())));
        QElapsedTimer clock;
        clock.start();
        media.resume();
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY2(clock.elapsed() >= 150 && clock.elapsed() < 450,
                 qPrintable(QString::number(clock.elapsed())));
        // After the end the transport's play starts over from the beginning.
        done.clear();
        clock.restart();
        media.resume();
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
    }
    void defaultSinkPlaysWithoutSoundDevice() {
        // The machine's own audio output, or a silent one when there is none: either way the
        // play ends with code 1.
        const QString path = writeWav(QStringLiteral("default sink.wav"), 250);
        PatientElement media;
        QSignalSpy done(&media, &MediaControl::finished);
        QSignalSpy noOutput(&media, &MediaControl::audioOutputMissing);
        QElapsedTimer clock;
        clock.start();
        openAndPlay(media, path);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY(clock.elapsed() >= 200);
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
        // No device here (see initTestCase): found once, so later files go to the silent sink
        // without looking again (each look prints the sound system's complaints), and said
        // once, however many files play.
        QVERIFY(media.usesFallbackSink());
        openAndPlay(media, path);
        QTRY_COMPARE_WITH_TIMEOUT(codes(done).size(), 2, DoneWaitMs);
        QCOMPARE(noOutput.count(), 1);
    }
    void failedSinkFallsBackToSilentSink_data() {
        QTest::addColumn<bool>("noSinkAtAll");
        dataRow("no sink made", true);
        dataRow("sink that cannot open", false);
    }
    void failedSinkFallsBackToSilentSink() {
        QFETCH(bool, noSinkAtAll);
        const QString path = writeWav(QStringLiteral("fallback.wav"), 250);
        PatientElement media([noSinkAtAll]() -> GstElement* {
            if (noSinkAtAll)
                return nullptr;
            // Refuses at its first start, as a missing sound device does.
            GstElement* sink = gst_element_factory_make("filesink", nullptr);
            g_object_set(sink, "location", "/nonexistent-folder/sink", nullptr);
            return sink;
        });
        QSignalSpy done(&media, &MediaControl::finished);
        QSignalSpy noOutput(&media, &MediaControl::audioOutputMissing);
        media.setOutputGain(levelGain(MiddleLevel));
        QElapsedTimer clock;
        clock.start();
        openAndPlay(media, path);
        QVERIFY(waitForCode(done, PlayEnd::Reached));
        QVERIFY(clock.elapsed() >= 200); // the silent sink keeps real time
        QCOMPARE(codes(done), QList<PlayEnd>{PlayEnd::Reached});
        QVERIFY(media.usesFallbackSink());
        QCOMPARE(noOutput.count(), 1);
        QVERIFY(std::abs(media.outputVolume() - 32896.0 / 65535.0) < 1e-6); // the level survives
    }
    void gaplessPlayJoinsFilesWithoutASeam_data() {
        QTest::addColumn<QString>("kind");
        dataRow("wav", "wav");
        dataRow("mp3 with encoder delay and padding", "mp3");
    }
    void gaplessPlayJoinsFilesWithoutASeam() {
        // One sine split across two files: played one after the other, it comes out whole.
        QFETCH(QString, kind);
        const bool mp3 = kind == QLatin1String("mp3");
        if (mp3 && !hasElement("lamemp3enc"))
            QSKIP("no MP3 encoder on this machine");
        constexpr qint64 FirstCount = 13001; // neither a multiple of an MP3 frame nor of 2
        constexpr qint64 SecondCount = 11003;
        const std::vector<qint16> whole = sineSamples(0, FirstCount + SecondCount, CaptureRate);
        const std::vector<qint16> first(whole.begin(), whole.begin() + FirstCount);
        const std::vector<qint16> second(whole.begin() + FirstCount, whole.end());
        QStringList paths;
        for (const auto* part : {&first, &second}) {
            paths << m_dir.path() + QStringLiteral("/part%1.%2").arg(paths.size()).arg(kind);
            QVERIFY(mp3 ? writeGaplessMp3(paths.last(), *part)
                        : writeFile(paths.last(), wavBytes(*part, CaptureRate)));
        }

        SampleCapture capture;
        PatientElement media([&capture] { return capture.makeSink(); });
        media.setGapless(true);
        QSignalSpy done(&media, &MediaControl::finished);
        QStringList continued;
        connect(&media, &MediaControl::finished, this, [&] {
            if (!media.continuedFile().isEmpty()) {
                continued << media.continuedFile();
                QVERIFY(media.takeContinuedFile(continued.last()));
            }
        });
        media.open(paths[0]);
        media.setNextFile(NextFile{paths[1], std::nullopt});
        media.play();
        QTRY_COMPARE_WITH_TIMEOUT(codes(done).size(), 2, DoneWaitMs);
        QCOMPARE(codes(done), (QList<PlayEnd>{PlayEnd::Reached, PlayEnd::Reached}));
        QCOMPARE(continued, QStringList{paths[1]});
        QCOMPARE(media.fileName(), paths[1]);

        const std::vector<SampleCapture::Stream> streams = capture.streams();
        QCOMPARE(streams.size(), size_t(2));
        QCOMPARE(streams[1].gapSamples, std::optional<qint64>(0));
        QCOMPARE(streams[1].firstSample, FirstCount);
        const std::vector<qint16> played = capture.samples();
        QCOMPARE(played.size(), whole.size());
        if (!mp3) {
            QVERIFY(played == whole); // as written, sample for sample
            return;
        }
        // An MP3 comes out within its coding error (larger near the join, where each half was
        // coded on its own), and in step with the sine on both sides of the join: a sample
        // lost or doubled there would put the second half out of step.
        for (const qint64 from : {FirstCount - 1500, FirstCount + 500})
            QCOMPARE(bestShift(played, whole, from, from + 1000), 0);
    }
    void destroyedWhilePlaying() {
        const QString path = writeWav(QStringLiteral("destroyed.wav"), 300);
        auto media = std::make_unique<PatientElement>(realTimeFakeSink);
        int received = 0;
        connect(media.get(), &MediaControl::finished, this, [&] { ++received; });
        openAndPlay(*media, path);
        QTRY_VERIFY_WITH_TIMEOUT(media->positionMs() > 0, DoneWaitMs);
        media.reset();
        // Gone with its pipeline: nothing queued before may reach the connection.
        QVERIFY(deliverQueuedCalls());
        QCOMPARE(received, 0);
    }

private:
    QString writeWav(const QString& name, int ms, int peak = 16000) {
        const QString path = m_dir.path() + u'/' + name;
        if (!writeFile(path, wavBytes(ms, 8000, peak)))
            return QString();
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestGstMediaElement)
#include "test_playback_gstmediaelement.moc"
