// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The media element over one playbin per open file. "Open" builds it and takes it to
// PAUSED, "Play" to PLAYING; "Close" hands it to the reaper, which takes it to NULL (file
// and device released) off the user-interface thread, so a decoder that never stops cannot
// hold the window. A MIDI file is checked before it reaches the pipeline, and a play whose
// position stands still for several seconds fails.
//
// Bus messages are taken off the bus by a sync handler (on whatever thread posted them),
// stamped with the generation current at that moment and handed to the user-interface
// thread as queued calls. Every Close (and every flushing seek) starts a new generation,
// so a message from a file that has since been closed or rewound is dropped on arrival.
// A play's failure is handed on the same way: once any command has come since (an open,
// even a close of a closed element), it is dropped, so it never reaches a later file.
// The pipeline's threads reach the element only through its PipelineLink, which is cut when
// the pipeline is released.
#include "playback/gstmediaelement.h"
#include "playback/gstmediaelementimpl.h"

#include "base/filedescriptor.h"
#include "base/fileuri.h"
#include "base/nativepath.h"
#include "base/report.h"
#include "playback/gaplessstage.h"
#include "playback/midicheck.h"
#include "playback/pipelinereaper.h"
#include "playback/stallwatchdog.h"
#include "playback/volume.h"
#include "tags/containercheck.h"

#include <QLoggingCategory>
#include <QMetaObject>
#include <gst/gst.h>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr int PlayedOutCheckMs = 50;
// How long a closed pipeline waits for playbin's change of file to end before it stops.
constexpr auto ChangeOfFileLimit = std::chrono::seconds(2);

// playbin's "flags": audio only. The volume level is applied to the samples by an element of
// ours ahead of the sink: playbin's own (its soft-volume flag) keeps every pipeline's volume
// element alive for good in GStreamer 1.22, some 2 KB at every track change.
constexpr guint PlayFlagAudio = 1u << 1;

// The sink as playbin is given it: the level's volume element, then the sink, in one bin.
GstElement* makeOutput(GstElement* level, GstElement* sink) {
    GstElement* output = gst_bin_new("audio-output");
    // Both are held already: the bin takes a reference of its own to each.
    gst_bin_add_many(GST_BIN(output), level, sink, nullptr);
    GstPad* input = gst_element_get_static_pad(level, "sink");
    if (!gst_element_link(level, sink) || !input ||
        !gst_element_add_pad(output, gst_ghost_pad_new("sink", input))) {
        gst_object_unref(gst_object_ref_sink(output));
        output = nullptr;
    }
    if (input)
        gst_object_unref(input);
    return output;
}

// The file an element of the pipeline works for: the URI of the decoding bin it is in (empty
// when it is in none, as the sink).
QByteArray sourceUriOf(GstObject* source) {
    QByteArray uri;
    GstObject* at = source ? GST_OBJECT(gst_object_ref(source)) : nullptr;
    while (at && uri.isEmpty()) {
        GstElementFactory* factory =
            GST_IS_ELEMENT(at) ? gst_element_get_factory(GST_ELEMENT(at)) : nullptr;
        if (factory && g_str_has_prefix(GST_OBJECT_NAME(factory), "uridecodebin")) {
            gchar* value = nullptr;
            g_object_get(at, "uri", &value, nullptr);
            uri = QByteArray(value ? value : "");
            g_free(value);
        }
        GstObject* parent = gst_object_get_parent(at);
        gst_object_unref(at);
        at = parent;
    }
    if (at)
        gst_object_unref(at);
    return uri;
}

GstElement* makeStandInSink() {
    // Keeps real time, so a play without a sound device still ends after the file's length.
    GstElement* sink = gst_element_factory_make("fakesink", "silent-audio-sink");
    if (sink)
        g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

} // namespace

namespace mediaelement {

Q_LOGGING_CATEGORY(lcMedia, "sonavue.media", QtInfoMsg)

// Only regular files are handed to the pipeline: a FIFO would block the opening thread
// (which is this one) until a writer appears, and a directory or device is no music.
bool isReadableRegularFile(const QByteArray& native) {
    return openRegularFile(native).get() >= 0;
}

} // namespace mediaelement

GstMediaElement::Impl::Impl(GstMediaElement& element, SinkFactory factory)
    : owner(element), sinkFactory(std::move(factory)), watchdog([this] { return positionMs(); }),
      playedOutWatch([this] { return positionMs(); }) {
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    QObject::connect(&watchdog, &StallWatchdog::stalled, &owner, [this] { onStalled(); });
    // The position moves at every check while the file is heard.
    playedOutWatch.setCheckIntervalMs(PlayedOutCheckMs);
    playedOutWatch.setLimitMs(2 * PlayedOutCheckMs);
    QObject::connect(&playedOutWatch, &StallWatchdog::stalled, &owner, [this] { onPlayedOut(); });
}

GstMediaElement::Impl::~Impl() {
    dropPipeline();
}

GstElement* GstMediaElement::Impl::makeSink() {
    GstElement* made = nullptr;
    if (!standInSink)
        made = sinkFactory ? sinkFactory() : gst_element_factory_make("autoaudiosink", nullptr);
    if (!made) {
        made = makeStandInSink();
        standInSink = true;
        sayNoAudioOutput();
    }
    return made;
}

bool GstMediaElement::Impl::buildPipeline() {
    GstElement* playbin = gst_element_factory_make("playbin", "media-element");
    if (!playbin) {
        reportLine(QStringLiteral("GStreamer has no playbin: nothing will play"));
        return false;
    }
    pipeline.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    link = std::make_shared<PipelineLink>();
    link->element = this;
    if (GstElement* audioSink = makeSink())
        link->sink.reset(GST_ELEMENT(gst_object_ref_sink(audioSink)));
    g_object_set(pipeline.get(), "flags", PlayFlagAudio, nullptr);
    if (GstElement* level = gst_element_factory_make("volume", "volume-level"))
        levelVolume.reset(GST_ELEMENT(gst_object_ref_sink(level)));
    GstElement* output =
        levelVolume && link->sink ? makeOutput(levelVolume.get(), link->sink.get()) : nullptr;
    if (!output)
        levelVolume.reset(); // the sink as it is, at full level
    if (levelVolume && volume)
        g_object_set(levelVolume.get(), "volume", *volume, nullptr);
    g_object_set(pipeline.get(), "audio-sink", output ? output : link->sink.get(), nullptr);
    if (usesStage())
        attachStage();
    if (link->sink) {
        const PadPtr pad(gst_element_get_static_pad(link->sink.get(), "sink"));
        if (pad)
            gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &Impl::onSinkBuffer,
                              new std::weak_ptr<PipelineLink>(link), &PipelineLink::releaseWeak);
    }
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), &Impl::onBusMessage,
                             new std::shared_ptr<PipelineLink>(link), &PipelineLink::release);
    return true;
}

void GstMediaElement::Impl::dropPipeline() {
    watchdog.stop();
    playedOutWatch.stop();
    std::function<void()> beforeStop;
    if (link) {
        {
            // After this no thread of the old pipeline reaches the element.
            const std::lock_guard lock(link->lock);
            link->element = nullptr;
        }
        if (const std::shared_ptr<GaplessStage> stage = link->stage) {
            stage->close();
            beforeStop = [stage] { stage->waitForChange(ChangeOfFileLimit); };
        }
    }
    link.reset();
    levelVolume.reset();
    reaper.reap(pipeline.release(), std::move(beforeStop));
}

GstPadProbeReturn GstMediaElement::Impl::onSinkBuffer(GstPad*, GstPadProbeInfo*, gpointer data) {
    if (const std::shared_ptr<PipelineLink> held =
            static_cast<std::weak_ptr<PipelineLink>*>(data)->lock())
        held->audioSeen.store(true, std::memory_order_relaxed);
    return GST_PAD_PROBE_OK;
}

bool GstMediaElement::Impl::switchToStandInSink() {
    if (standInSink)
        return false;
    standInSink = true;
    sayNoAudioOutput();
    // A playbin whose sink failed to start does not take another one reliably: a new one.
    dropPipeline();
    startGeneration();
    prerolled = false;
    if (!buildPipeline())
        return false;
    g_object_set(pipeline.get(), "uri", uri.constData(), nullptr);
    return true;
}

void GstMediaElement::Impl::setElementState(State next) {
    if (state == next)
        return;
    state = next;
    emit owner.stateChanged(next);
}

void GstMediaElement::Impl::postDone(PlayEnd code) {
    // Queued like every other notification, so a command never re-enters its caller.
    GstMediaElement* element = &owner;
    QMetaObject::invokeMethod(
        element, [element, code] { emit element->finished(code); }, Qt::QueuedConnection);
}

void GstMediaElement::Impl::postFailure(PlayEnd code) {
    // Queued like postDone, and dropped on arrival when a command has been given since: the
    // failure then concerns a file that is no longer the element's.
    GstMediaElement* element = &owner;
    const quint64 stamp = generation.load();
    QMetaObject::invokeMethod(
        element,
        [this, element, code, stamp] {
            if (stamp == generation.load())
                emit element->finished(code);
        },
        Qt::QueuedConnection);
}

void GstMediaElement::Impl::sayNoAudioOutput() {
    if (noAudioOutputSaid)
        return;
    noAudioOutputSaid = true;
    reportLine(QStringLiteral("no audio output device was found; tracks play silently"));
    emit owner.audioOutputMissing();
}

void GstMediaElement::Impl::releasePipeline() {
    dropPipeline();
    // Whatever was posted before this belongs to the old file.
    startGeneration();
    notifyPending = false;
    prerolled = false;
    atStart = true;
    atEnd = false;
    deferredSeekMs.reset();
    continued.reset();
    offer.reset();
    nextFailed = false;
    setElementState(State::Closed);
}

void GstMediaElement::Impl::open() {
    if (state != State::Closed)
        close(PlayEnd::Superseded);
    else
        startGeneration(); // a failure still on its way concerns the file before
    const QByteArray native = pathToNative(owner.fileName());
    if (!isReadableRegularFile(native)) {
        qCDebug(lcMedia) << "cannot open" << readableText(owner.fileName());
        return; // stays closed; a Play now fails
    }
    if (const std::optional<const char*> defect = midiFileDefect(native)) {
        qCDebug(lcMedia) << "refused" << readableText(owner.fileName()) << "-" << *defect;
        return; // as a file that cannot be opened
    }
    // A container beyond the bounds would overflow the demuxer's stack, and end the program.
    if (const std::optional<const char*> defect = containerFileDefect(native)) {
        qCDebug(lcMedia) << "refused" << readableText(owner.fileName()) << "-" << *defect;
        return; // as a file that cannot be opened
    }
    openFileGain = fileGainOf(owner.fileName());
    if (!buildPipeline())
        return;
    prerolled = false;
    atStart = true;
    atEnd = false;
    deferredSeekMs.reset();
    uri = fileUriFor(owner.fileName()).toUtf8();
    g_object_set(pipeline.get(), "uri", uri.constData(), nullptr);
    if (changeState(GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        releasePipeline();
        return;
    }
    setElementState(State::Stopped);
}

GstStateChangeReturn GstMediaElement::Impl::changeState(GstState target) {
    link->sinkFailed = false;
    GstStateChangeReturn result = gst_element_set_state(pipeline.get(), target);
    if (result == GST_STATE_CHANGE_FAILURE && link->sinkFailed && switchToStandInSink()) {
        // The sound device refused at once: the same step again on the silent sink.
        result = gst_element_set_state(pipeline.get(), target);
    }
    return result;
}

bool GstMediaElement::Impl::startPlaying() {
    notifyPending = true;
    atStart = false;
    atEnd = false;
    return resumePlaying();
}

bool GstMediaElement::Impl::resumePlaying() {
    if (changeState(GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        fail();
        return false;
    }
    setElementState(State::Playing);
    watchdog.start();
    if (nextFailed)
        playedOutWatch.start();
    return true;
}

void GstMediaElement::Impl::play() {
    if (state == State::Closed) {
        postFailure(PlayEnd::Failed);
        return;
    }
    if (notifyPending)
        postDone(PlayEnd::Superseded);
    if (!atStart)
        seekOrDefer(0);
    startPlaying();
}

void GstMediaElement::Impl::close(PlayEnd code) {
    if (state == State::Closed) {
        startGeneration(); // a failure still on its way is no longer news
        return;
    }
    const bool notify = notifyPending;
    releasePipeline();
    if (notify)
        postDone(code);
}

void GstMediaElement::Impl::fail(PlayEnd code) {
    const bool notify = notifyPending;
    releasePipeline();
    if (notify)
        postFailure(code);
}

qint64 GstMediaElement::Impl::positionMs() const {
    gint64 position = 0;
    if (state == State::Closed || !pipeline ||
        !gst_element_query_position(pipeline.get(), GST_FORMAT_TIME, &position))
        return 0;
    return position / GST_MSECOND;
}

bool GstMediaElement::Impl::seekTo(qint64 ms) {
    const bool done = gst_element_seek_simple(
        pipeline.get(), GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
        ms * GST_MSECOND);
    // A flush discards what was under way; an end of stream posted before it is stale.
    startGeneration();
    return done;
}

void GstMediaElement::Impl::seekOrDefer(qint64 ms) {
    atStart = ms == 0;
    atEnd = false;
    if (prerolled)
        seekTo(ms);
    else
        deferredSeekMs = ms;
}

GstBusSyncReply GstMediaElement::Impl::onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    PipelineLink& link = PipelineLink::from(data);
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type == GST_MESSAGE_ERROR && link.isFromSink(message))
        link.sinkFailed = true;
    if (type == GST_MESSAGE_ERROR || type == GST_MESSAGE_EOS || type == GST_MESSAGE_ASYNC_DONE) {
        const std::lock_guard lock(link.lock);
        if (Impl* self = link.element) {
            const quint64 stamp = self->generation.load();
            MessagePtr held(gst_message_ref(message), &gst_message_unref);
            const QByteArray sourceUri =
                type == GST_MESSAGE_ERROR ? sourceUriOf(GST_MESSAGE_SRC(message)) : QByteArray();
            // The element is the context: if it is gone, the queued call is dropped with it.
            QMetaObject::invokeMethod(
                &self->owner,
                [self, held, sourceUri, stamp] {
                    self->handleMessage(held.get(), sourceUri, stamp);
                },
                Qt::QueuedConnection);
        }
    }
    // A dropped message is the handler's to release; kept, it would keep its source element
    // (a whole decoder, with a MIDI synthesizer's thread and sound font) alive for good.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstMediaElement::Impl::handleMessage(GstMessage* message, const QByteArray& sourceUri,
                                          quint64 messageGeneration) {
    if (messageGeneration != generation.load())
        return; // from a file since closed, or from before a flushing seek
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        onEndOfStream();
        break;
    case GST_MESSAGE_ERROR:
        onError(message, sourceUri);
        break;
    case GST_MESSAGE_ASYNC_DONE:
        onPrerolled();
        break;
    default:
        break;
    }
}

void GstMediaElement::Impl::onEndOfStream() {
    if (state != State::Playing)
        return;
    watchdog.stop();
    playedOutWatch.stop();
    // Match the pipeline to the stopped state, so a later seek does not start it again.
    gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
    atEnd = true;
    const bool notify = notifyPending;
    notifyPending = false;
    setElementState(State::Stopped);
    // The end of a file that opened (the pipeline prerolled) ends a play, however short the
    // file: one without samples has played too. A file that cannot be opened errors out
    // before it gets here.
    if (notify)
        emit owner.finished(prerolled ? PlayEnd::Reached : PlayEnd::Failed);
}

void GstMediaElement::Impl::onError(GstMessage* message, const QByteArray& sourceUri) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    qCDebug(lcMedia) << "playback error:" << (error ? error->message : "?") << debug;
    g_clear_error(&error);
    g_free(debug);
    if (takeNextFileFailure(sourceUri))
        return;

    if (state != State::Closed && link->isFromSink(message) && !link->audioSeen &&
        switchToStandInSink()) {
        // No sound device after all: the same file again, silently, in the same state.
        const GstState target = state == State::Playing ? GST_STATE_PLAYING : GST_STATE_PAUSED;
        if (gst_element_set_state(pipeline.get(), target) != GST_STATE_CHANGE_FAILURE)
            return;
    }
    fail();
}

// The automatic sink plays into a fake sink of its own when it finds no sound device.
bool GstMediaElement::Impl::autoSinkFoundNoDevice() const {
    GstElement* sink = link ? link->sink.get() : nullptr;
    GstElementFactory* factory = sink ? gst_element_get_factory(sink) : nullptr;
    if (!factory || !GST_IS_BIN(sink) || g_strcmp0(GST_OBJECT_NAME(factory), "autoaudiosink") != 0)
        return false;
    bool fake = false;
    GstIterator* children = gst_bin_iterate_elements(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (!fake && gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
        GstElementFactory* made = gst_element_get_factory(GST_ELEMENT(g_value_get_object(&item)));
        fake = made && g_strcmp0(GST_OBJECT_NAME(made), "fakesink") == 0;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(children);
    return fake;
}

void GstMediaElement::Impl::onPrerolled() {
    prerolled = true;
    if (!standInSink && autoSinkFoundNoDevice()) {
        // Found once: later files go to the silent sink at once, without looking again.
        standInSink = true;
        sayNoAudioOutput();
    }
    if (deferredSeekMs) {
        const qint64 ms = *deferredSeekMs;
        deferredSeekMs.reset();
        seekTo(ms);
    }
}

void GstMediaElement::Impl::onStalled() {
    if (state != State::Playing)
        return;
    // A play that stands still will never end by itself: it is given up as played, so that
    // continuous play goes on with the next track instead of waiting for ever.
    qCDebug(lcMedia) << "the play of" << readableText(owner.fileName()) << "stands still; given up";
    fail(PlayEnd::GivenUp);
}

GstMediaElement::GstMediaElement(SinkFactory sinkFactory, QObject* parent)
    : MediaControl(parent), d(std::make_unique<Impl>(*this, std::move(sinkFactory))) {}

GstMediaElement::~GstMediaElement() = default;

void GstMediaElement::open(const QString& path) {
    m_fileName = path;
    d->open();
}

void GstMediaElement::play() {
    d->play();
}

void GstMediaElement::close() {
    d->close(PlayEnd::Aborted);
}

void GstMediaElement::setOutputGain(double gain) {
    // Until the first call a pipeline keeps its own 1.0. The gain holds for later files:
    // every new playbin is given it.
    d->volume = std::clamp(gain, 0.0, 1.0);
    if (d->levelVolume)
        g_object_set(d->levelVolume.get(), "volume", *d->volume, nullptr);
}

MediaControl::State GstMediaElement::state() const {
    return d->state;
}

qint64 GstMediaElement::positionMs() const {
    return d->positionMs();
}

qint64 GstMediaElement::durationMs() const {
    gint64 duration = 0;
    if (d->state == State::Closed || !d->pipeline ||
        !gst_element_query_duration(d->pipeline.get(), GST_FORMAT_TIME, &duration) || duration < 0)
        return -1;
    return duration / GST_MSECOND;
}

void GstMediaElement::pause() {
    if (d->state != State::Playing)
        return;
    d->watchdog.stop();
    d->playedOutWatch.stop();
    gst_element_set_state(d->pipeline.get(), GST_STATE_PAUSED);
    d->setElementState(State::Paused);
}

void GstMediaElement::resume() {
    if (d->state == State::Paused) {
        d->resumePlaying();
    } else if (d->state == State::Stopped) {
        // A play from where the file stands (from the start once it has ended).
        if (d->atEnd)
            d->seekOrDefer(0);
        d->startPlaying();
    }
}

void GstMediaElement::seekMs(qint64 position) {
    if (d->state == State::Closed)
        return;
    d->seekOrDefer(std::max<qint64>(position, 0));
}

void GstMediaElement::stop() {
    if (d->state != State::Playing && d->state != State::Paused)
        return;
    const bool notify = d->notifyPending;
    d->notifyPending = false;
    d->watchdog.stop();
    d->playedOutWatch.stop();
    gst_element_set_state(d->pipeline.get(), GST_STATE_PAUSED);
    d->seekOrDefer(0);
    d->setElementState(State::Stopped);
    if (notify)
        d->postDone(PlayEnd::Aborted);
}

double GstMediaElement::outputVolume() const {
    gdouble value = d->volume.value_or(1.0);
    if (d->levelVolume)
        g_object_get(d->levelVolume.get(), "volume", &value, nullptr);
    return value;
}

bool GstMediaElement::usesFallbackSink() const {
    return d->standInSink;
}

void GstMediaElement::setStallLimitMs(int limitMs) {
    d->watchdog.setLimitMs(limitMs);
}

int GstMediaElement::pipelinesBeingReleased() const {
    return d->reaper.pending();
}

} // namespace sonavue
