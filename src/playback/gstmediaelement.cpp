// The media element over one playbin that lives as long as the element. "Close" takes it
// to NULL (file and device released), "Open" to PAUSED, "Play" to PLAYING.
//
// Bus messages are taken off the bus by a sync handler (on whatever thread posted them),
// stamped with the generation current at that moment and handed to the user-interface
// thread as queued calls. Every Close (and every flushing seek) starts a new generation,
// so a message from a file that has since been closed or rewound is dropped on arrival.
#include "playback/gstmediaelement.h"

#include "app/nativepath.h"
#include "playback/volume.h"

#include <QLoggingCategory>
#include <QMetaObject>
#include <gst/gst.h>

#include <atomic>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

Q_LOGGING_CATEGORY(lcMedia, "sonavue.media", QtInfoMsg)

// playbin's "flags": audio only, volume applied to the samples by playbin itself.
constexpr guint PlayFlagAudio = 1u << 1;
constexpr guint PlayFlagSoftVolume = 1u << 4;

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

GstElement* makeStandInSink() {
    // Keeps real time, so a play without a sound device still ends after the file's length.
    GstElement* sink = gst_element_factory_make("fakesink", "silent-audio-sink");
    if (sink)
        g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

// Only regular files are handed to the pipeline: a FIFO would block the opening thread
// (which is this one) until a writer appears, and a directory or device is no music.
// O_NONBLOCK keeps this probe itself from blocking on a FIFO.
bool isReadableRegularFile(const QByteArray& native) {
    if (native.isEmpty())
        return false;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

} // namespace

struct GstMediaElement::Impl {
    explicit Impl(GstMediaElement& element, SinkFactory factory);
    ~Impl();

    // Commands.
    void open();
    void play();
    void close(DoneCode code);

    void setElementState(State next);
    void postDone(int code);
    void startGeneration() { generation.fetch_add(1); }
    void releasePipeline();
    bool seekTo(qint64 ms);
    void seekOrDefer(qint64 ms);
    bool startPlaying();
    GstStateChangeReturn changeState(GstState target);
    void fail();

    // The pipeline and its sink.
    void buildPipeline(GstElement* audioSink);
    void dropPipeline();
    bool switchToStandInSink();
    bool isFromSink(GstMessage* message) const;

    // Bus messages, on the user-interface thread.
    static GstBusSyncReply onBusMessage(GstBus* bus, GstMessage* message, gpointer data);
    static GstPadProbeReturn onSinkBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data);
    void handleMessage(GstMessage* message, quint64 messageGeneration);
    void onEndOfStream();
    void onError(GstMessage* message);
    void onPrerolled();

    GstMediaElement& owner;
    SinkFactory sinkFactory;
    ElementPtr pipeline;
    ElementPtr sink;
    PadPtr probePad;
    gulong probeId = 0;
    bool standInSink = false;

    std::atomic<quint64> generation{0};
    std::atomic<bool> audioSeen{false};  // a buffer reached the sink since the last Open
    std::atomic<bool> sinkFailed{false}; // the sink posted an error during a state change

    State state = State::Closed;
    bool notifyPending = false; // a play whose end raises Done
    bool prerolled = false;     // the pipeline accepts seeks
    bool atStart = true;        // the position is the file's start
    bool atEnd = false;
    std::optional<qint64> deferredSeekMs; // a seek asked for before the preroll
    QByteArray uri;                       // of the open file
    std::optional<double> volume;         // nothing sent yet: the pipeline keeps 1.0
};

GstMediaElement::Impl::Impl(GstMediaElement& element, SinkFactory factory)
    : owner(element), sinkFactory(std::move(factory)) {
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GstElement* made =
        sinkFactory ? sinkFactory() : gst_element_factory_make("autoaudiosink", nullptr);
    if (!made) {
        made = makeStandInSink();
        standInSink = true;
    }
    buildPipeline(made);
}

GstMediaElement::Impl::~Impl() {
    dropPipeline();
}

void GstMediaElement::Impl::buildPipeline(GstElement* audioSink) {
    if (audioSink)
        sink.reset(GST_ELEMENT(gst_object_ref_sink(audioSink)));
    GstElement* playbin = gst_element_factory_make("playbin", "media-element");
    if (!playbin) {
        qCWarning(lcMedia) << "GStreamer has no playbin: nothing will play";
        return;
    }
    pipeline.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    g_object_set(pipeline.get(), "flags", PlayFlagAudio | PlayFlagSoftVolume, nullptr);
    if (volume)
        g_object_set(pipeline.get(), "volume", *volume, nullptr);
    g_object_set(pipeline.get(), "audio-sink", sink.get(), nullptr);
    if (sink) {
        probePad.reset(gst_element_get_static_pad(sink.get(), "sink"));
        if (probePad)
            probeId = gst_pad_add_probe(probePad.get(), GST_PAD_PROBE_TYPE_BUFFER,
                                        &Impl::onSinkBuffer, this, nullptr);
    }
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), &Impl::onBusMessage, this, nullptr);
}

void GstMediaElement::Impl::dropPipeline() {
    if (pipeline) {
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        BusPtr bus(gst_element_get_bus(pipeline.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    }
    if (probePad && probeId)
        gst_pad_remove_probe(probePad.get(), probeId);
    probeId = 0;
    probePad.reset();
    pipeline.reset();
    sink.reset();
}

GstPadProbeReturn GstMediaElement::Impl::onSinkBuffer(GstPad*, GstPadProbeInfo*, gpointer data) {
    static_cast<Impl*>(data)->audioSeen.store(true, std::memory_order_relaxed);
    return GST_PAD_PROBE_OK;
}

bool GstMediaElement::Impl::switchToStandInSink() {
    if (standInSink)
        return false;
    GstElement* standIn = makeStandInSink();
    if (!standIn)
        return false;
    qCInfo(lcMedia) << "the audio sink failed; playing on a silent sink";
    standInSink = true;
    // A playbin whose sink failed to start does not take another one reliably: a new one.
    dropPipeline();
    startGeneration();
    prerolled = false;
    buildPipeline(standIn);
    if (!pipeline)
        return false;
    g_object_set(pipeline.get(), "uri", uri.constData(), nullptr);
    return true;
}

bool GstMediaElement::Impl::isFromSink(GstMessage* message) const {
    GstObject* source = GST_MESSAGE_SRC(message);
    return sink && source &&
           (source == GST_OBJECT(sink.get()) ||
            gst_object_has_as_ancestor(source, GST_OBJECT(sink.get())));
}

void GstMediaElement::Impl::setElementState(State next) {
    if (state == next)
        return;
    state = next;
    emit owner.stateChanged(next);
}

void GstMediaElement::Impl::postDone(int code) {
    // Queued like every other notification, so a command never re-enters its caller.
    GstMediaElement* element = &owner;
    QMetaObject::invokeMethod(
        element, [element, code] { emit element->Done(code); }, Qt::QueuedConnection);
}

void GstMediaElement::Impl::releasePipeline() {
    if (pipeline)
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    // After the state change: whatever was posted while it ran belongs to the old file.
    startGeneration();
    notifyPending = false;
    prerolled = false;
    atStart = true;
    atEnd = false;
    deferredSeekMs.reset();
    setElementState(State::Closed);
}

void GstMediaElement::Impl::open() {
    if (state != State::Closed)
        close(DoneSuperseded);
    if (!pipeline)
        return;
    const QByteArray native = pathToNative(owner.FileName);
    if (!isReadableRegularFile(native)) {
        qCDebug(lcMedia) << "cannot open" << readableText(owner.FileName);
        return; // stays closed; a Play now fails
    }
    audioSeen = false;
    prerolled = false;
    atStart = true;
    atEnd = false;
    deferredSeekMs.reset();
    uri = fileUriFor(owner.FileName).toUtf8();
    g_object_set(pipeline.get(), "uri", uri.constData(), nullptr);
    if (changeState(GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        releasePipeline();
        return;
    }
    setElementState(State::Stopped);
}

GstStateChangeReturn GstMediaElement::Impl::changeState(GstState target) {
    sinkFailed = false;
    GstStateChangeReturn result = gst_element_set_state(pipeline.get(), target);
    if (result == GST_STATE_CHANGE_FAILURE && sinkFailed && switchToStandInSink()) {
        // The sound device refused at once: the same step again on the silent sink.
        result = gst_element_set_state(pipeline.get(), target);
    }
    return result;
}

bool GstMediaElement::Impl::startPlaying() {
    notifyPending = true;
    atStart = false;
    atEnd = false;
    if (changeState(GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        fail();
        return false;
    }
    setElementState(State::Playing);
    return true;
}

void GstMediaElement::Impl::play() {
    if (state == State::Closed) {
        postDone(DoneFailure);
        return;
    }
    if (notifyPending)
        postDone(DoneSuperseded);
    if (!atStart)
        seekOrDefer(0);
    startPlaying();
}

void GstMediaElement::Impl::close(DoneCode code) {
    if (state == State::Closed)
        return;
    const bool notify = notifyPending;
    releasePipeline();
    if (notify)
        postDone(code);
}

void GstMediaElement::Impl::fail() {
    const bool notify = notifyPending;
    releasePipeline();
    if (notify)
        postDone(DoneFailure);
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
    auto* self = static_cast<Impl*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        if (self->isFromSink(message))
            self->sinkFailed = true;
        break;
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ASYNC_DONE:
        break;
    default:
        return GST_BUS_DROP;
    }
    const quint64 stamp = self->generation.load();
    MessagePtr held(gst_message_ref(message), &gst_message_unref);
    // The element is the context: if it is gone, the queued call is dropped with it.
    QMetaObject::invokeMethod(
        &self->owner, [self, held, stamp] { self->handleMessage(held.get(), stamp); },
        Qt::QueuedConnection);
    return GST_BUS_DROP;
}

void GstMediaElement::Impl::handleMessage(GstMessage* message, quint64 messageGeneration) {
    if (messageGeneration != generation.load())
        return; // from a file since closed, or from before a flushing seek
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        onEndOfStream();
        break;
    case GST_MESSAGE_ERROR:
        onError(message);
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
        emit owner.Done(prerolled ? DoneSuccessful : DoneFailure);
}

void GstMediaElement::Impl::onError(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    qCDebug(lcMedia) << "playback error:" << (error ? error->message : "?") << debug;
    g_clear_error(&error);
    g_free(debug);

    if (state != State::Closed && isFromSink(message) && !audioSeen && switchToStandInSink()) {
        // No sound device after all: the same file again, silently, in the same state.
        const GstState target = state == State::Playing ? GST_STATE_PLAYING : GST_STATE_PAUSED;
        if (gst_element_set_state(pipeline.get(), target) != GST_STATE_CHANGE_FAILURE)
            return;
    }
    fail();
}

void GstMediaElement::Impl::onPrerolled() {
    prerolled = true;
    if (deferredSeekMs) {
        const qint64 ms = *deferredSeekMs;
        deferredSeekMs.reset();
        seekTo(ms);
    }
}

GstMediaElement::GstMediaElement(SinkFactory sinkFactory, QObject* parent)
    : MediaControl(parent), d(std::make_unique<Impl>(*this, std::move(sinkFactory))) {}

GstMediaElement::~GstMediaElement() = default;

void GstMediaElement::Command(const QString& command) {
    if (command.compare(QLatin1String("Open"), Qt::CaseInsensitive) == 0)
        d->open();
    else if (command.compare(QLatin1String("Play"), Qt::CaseInsensitive) == 0)
        d->play();
    else if (command.compare(QLatin1String("Close"), Qt::CaseInsensitive) == 0)
        d->close(DoneAborted);
}

void GstMediaElement::setWaveOutVolume(std::uint32_t value) {
    // Both channels are always equal; should they differ, the louder one is used.
    const auto left = static_cast<std::uint16_t>(value >> 16);
    const auto right = static_cast<std::uint16_t>(value & 0xFFFFu);
    // Until the first call the pipeline keeps its own 1.0. The playbin outlives Close and
    // Open, so the level holds for the next file; a rebuilt playbin is given it again.
    d->volume = channelGain(std::max(left, right));
    if (d->pipeline)
        g_object_set(d->pipeline.get(), "volume", *d->volume, nullptr);
}

MediaControl::State GstMediaElement::state() const {
    return d->state;
}

qint64 GstMediaElement::positionMs() const {
    gint64 position = 0;
    if (d->state == State::Closed ||
        !gst_element_query_position(d->pipeline.get(), GST_FORMAT_TIME, &position))
        return 0;
    return position / GST_MSECOND;
}

qint64 GstMediaElement::durationMs() const {
    gint64 duration = 0;
    if (d->state == State::Closed ||
        !gst_element_query_duration(d->pipeline.get(), GST_FORMAT_TIME, &duration) || duration < 0)
        return -1;
    return duration / GST_MSECOND;
}

void GstMediaElement::pause() {
    if (d->state != State::Playing)
        return;
    gst_element_set_state(d->pipeline.get(), GST_STATE_PAUSED);
    d->setElementState(State::Paused);
}

void GstMediaElement::resume() {
    if (d->state == State::Paused) {
        if (d->changeState(GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            d->fail();
            return;
        }
        d->setElementState(State::Playing);
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
    gst_element_set_state(d->pipeline.get(), GST_STATE_PAUSED);
    d->seekOrDefer(0);
    d->setElementState(State::Stopped);
    if (notify)
        d->postDone(DoneAborted);
}

double GstMediaElement::outputVolume() const {
    gdouble value = 1.0;
    if (d->pipeline)
        g_object_get(d->pipeline.get(), "volume", &value, nullptr);
    return value;
}

bool GstMediaElement::usesFallbackSink() const {
    return d->standInSink;
}

} // namespace sonavue
