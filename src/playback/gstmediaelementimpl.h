// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The media element's inside, shared by its files (gstmediaelement.cpp: the pipeline and the
// commands; gstmediaelementgapless.cpp: gapless play and the file gain). Not for other use.
#include "playback/gaplessstage.h"
#include "playback/gstmediaelement.h"
#include "playback/pipelinereaper.h"
#include "playback/stallwatchdog.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace sonavue {
namespace mediaelement {

struct ObjectUnref {
    void operator()(gpointer object) const {
        if (object)
            gst_object_unref(object);
    }
};
using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, ObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
// Shared so the queued call that carries it can be copied; the last copy unrefs it.
using MessagePtr = std::shared_ptr<GstMessage>;

Q_DECLARE_LOGGING_CATEGORY(lcMedia)

// Only regular files are handed to the pipeline (see gstmediaelement.cpp).
bool isReadableRegularFile(const QByteArray& native);

} // namespace mediaelement

using namespace mediaelement;

// What a pipeline's own threads may touch: its flags, and the element while the pipeline is
// current. Shared by the element and the bus handler (each holds a copy of the pointer, the
// handler's released with the bus); the sink's probe only looks it up.
struct GstMediaElement::PipelineLink {
    std::mutex lock;
    Impl* element = nullptr;             // cut (under the lock) when the pipeline is released
    ElementPtr sink;                     // to tell the sink's errors from the file's
    std::atomic<bool> audioSeen{false};  // a buffer reached the sink
    std::atomic<bool> sinkFailed{false}; // the sink posted an error during a state change
    std::shared_ptr<GaplessStage> stage; // the gain stage, when gapless play or file gains are on

    bool isFromSink(GstMessage* message) const {
        GstObject* source = GST_MESSAGE_SRC(message);
        return sink && source &&
               (source == GST_OBJECT(sink.get()) ||
                gst_object_has_as_ancestor(source, GST_OBJECT(sink.get())));
    }
    static void release(gpointer data) { delete static_cast<std::shared_ptr<PipelineLink>*>(data); }
    // What the sink holds must not hold the sink: the link holds it (a cycle would keep both
    // for ever, one pipeline's sink and link at every track change).
    static void releaseWeak(gpointer data) {
        delete static_cast<std::weak_ptr<PipelineLink>*>(data);
    }
    static PipelineLink& from(gpointer data) {
        return **static_cast<std::shared_ptr<PipelineLink>*>(data);
    }
};

struct GstMediaElement::Impl {
    explicit Impl(GstMediaElement& element, SinkFactory factory);
    ~Impl();

    // Commands.
    void open();
    void play();
    void close(PlayEnd code);

    void setElementState(State next);
    void postDone(PlayEnd code);
    void postFailure(PlayEnd code);
    void sayNoAudioOutput();
    void startGeneration() { generation.fetch_add(1); }
    void releasePipeline();
    bool seekTo(qint64 ms);
    void seekOrDefer(qint64 ms);
    bool startPlaying();
    bool resumePlaying();
    GstStateChangeReturn changeState(GstState target);
    void fail(PlayEnd code = PlayEnd::Failed);
    qint64 positionMs() const;

    // The pipeline and its sink.
    GstElement* makeSink();
    bool buildPipeline();
    void dropPipeline();
    bool switchToStandInSink();

    // Bus messages, on the user-interface thread.
    static GstBusSyncReply onBusMessage(GstBus* bus, GstMessage* message, gpointer data);
    static GstPadProbeReturn onSinkBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data);
    void handleMessage(GstMessage* message, const QByteArray& sourceUri, quint64 messageGeneration);
    void onEndOfStream();
    void onError(GstMessage* message, const QByteArray& sourceUri);
    void onPrerolled();
    void onStalled();
    bool autoSinkFoundNoDevice() const;

    // Gapless play and file gains.
    bool usesStage() const { return gapless || bool(fileGainRule); }
    double fileGainOf(const QString& path) const { return fileGainRule ? fileGainRule(path) : 1.0; }
    void attachStage();
    void offerNext(const std::optional<NextFile>& next);
    void onNextPrepared(const QString& path, quint64 stamp);
    void onContinued(const QString& path, quint64 stamp);
    // The file prepared to follow failed: the playing one plays out, then ends as without
    // gapless play (the failed file is then opened as any other, and fails as its own).
    bool takeNextFileFailure(const QByteArray& sourceUri);
    void onPlayedOut();
    bool takeContinued(const QString& path);

    GstMediaElement& owner;
    SinkFactory sinkFactory;
    PipelineReaper reaper;
    StallWatchdog watchdog;
    // After the prepared file failed no end of stream comes: the playing file has played out
    // when its position stands still.
    StallWatchdog playedOutWatch;
    ElementPtr pipeline;    // of the open file; none while closed
    ElementPtr levelVolume; // the pipeline's volume level, ahead of its sink
    std::shared_ptr<PipelineLink> link;
    bool standInSink = false;

    std::atomic<quint64> generation{0};

    State state = State::Closed;
    bool notifyPending = false; // a play whose end raises Done
    bool prerolled = false;     // the pipeline accepts seeks
    bool atStart = true;        // the position is the file's start
    bool atEnd = false;
    std::optional<qint64> deferredSeekMs; // a seek asked for before the preroll
    QByteArray uri;                       // of the open file
    std::optional<double> volume;         // nothing sent yet: the level stays at 1.0
    bool noAudioOutputSaid = false;

    bool gapless = false;
    FileGainRule fileGainRule;
    double openFileGain = 1.0;                // the open file's own gain
    std::optional<GaplessStage::Offer> offer; // the last file offered to follow
    std::optional<QString> continued;         // followed without a gap, not yet taken
    bool nextFailed = false;                  // the prepared file failed; none is joined
};

} // namespace sonavue
