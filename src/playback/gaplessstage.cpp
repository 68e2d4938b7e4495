// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/gaplessstage.h"

#include <algorithm>
#include <chrono>

namespace sonavue {
namespace {

// The volume element's own bounds.
constexpr double MaxElementGain = 10.0;
// How long playbin's request for the next file waits for the user-interface thread to say
// what follows a file that has only just started (its data all read at once).
constexpr auto AnswerWait = std::chrono::milliseconds(250);
// Marks a decoding bin whose end of data this stage watches (playbin reuses its bins).
constexpr const char* DrainWatched = "sonavue-drain-watched";

using StagePtr = std::shared_ptr<GaplessStage>;

GaplessStage& stageOf(gpointer data) {
    return **static_cast<StagePtr*>(data);
}

// A stream is told apart by its id and its group (the same file twice has the same id but a
// new group); a start event sent again for the same stream carries both unchanged.
QByteArray streamKey(GstEvent* event) {
    const gchar* id = nullptr;
    gst_event_parse_stream_start(event, &id);
    guint group = 0;
    QByteArray key(id ? id : "");
    key += '/';
    if (gst_event_parse_group_id(event, &group))
        key += QByteArray::number(group);
    return key;
}

// The handler holds the stage for as long as it stays connected.
void connectHolding(gpointer instance, const char* signal, GCallback handler, const StagePtr& stage,
                    GConnectFlags flags = GConnectFlags(0)) {
    const auto letGo = +[](gpointer held, GClosure*) { delete static_cast<StagePtr*>(held); };
    g_signal_connect_data(instance, signal, handler, new StagePtr(stage), letGo, flags);
}

bool isStreamStart(GstPadProbeInfo* info) {
    return (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) &&
           GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START;
}

} // namespace

std::shared_ptr<GaplessStage> GaplessStage::make(const QString& path, double fileGain) {
    return std::shared_ptr<GaplessStage>(new GaplessStage(path, fileGain));
}

GaplessStage::GaplessStage(const QString& path, double fileGain) : m_inputPath(path) {
    GstElement* made = gst_element_factory_make("volume", "file-gain");
    if (!made)
        return;
    m_filter = GST_ELEMENT(gst_object_ref_sink(made));
    g_object_set(m_filter, "volume", std::clamp(fileGain, 0.0, MaxElementGain), nullptr);
}

GaplessStage::~GaplessStage() {
    if (m_filter && m_ownsFilter)
        gst_object_unref(m_filter);
    if (m_levelElement)
        gst_object_unref(m_levelElement);
}

GstElement* GaplessStage::takeFilter() {
    // From here on playbin holds it: a reference kept here would keep it, and the probe on
    // its pad that holds this stage, alive for ever.
    m_ownsFilter = false;
    return m_filter;
}

void GaplessStage::release(gpointer data) {
    delete static_cast<StagePtr*>(data);
}

void GaplessStage::addProbe(GstElement* element, GstPadProbeType types,
                            GstPadProbeReturn (*probe)(GstPad*, GstPadProbeInfo*, gpointer)) {
    GstPad* pad = element ? gst_element_get_static_pad(element, "sink") : nullptr;
    if (!pad)
        return;
    gst_pad_add_probe(pad, types, probe, new StagePtr(shared_from_this()), &GaplessStage::release);
    gst_object_unref(pad);
}

void GaplessStage::attach(GstElement* playbin, GstElement* sink, GstElement* level, bool gapless,
                          Listener listener) {
    m_listener = std::move(listener);
    if (level)
        m_levelElement = GST_ELEMENT(gst_object_ref(level));
    if (!gapless)
        return; // the file gain alone
    addProbe(m_filter, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &GaplessStage::onFilterData);
    addProbe(sink,
             GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_BUFFER |
                             GST_PAD_PROBE_TYPE_BUFFER_LIST),
             &GaplessStage::onSinkData);
    connectHolding(playbin, "about-to-finish", G_CALLBACK(&GaplessStage::onAboutToFinish),
                   shared_from_this());
    connectHolding(playbin, "element-added", G_CALLBACK(&GaplessStage::onElementAdded),
                   shared_from_this());
}

// Each decoding bin playbin adds: its end of data is where playbin changes file. Our handler
// runs after playbin's, so it marks the end of the change.
void GaplessStage::onElementAdded(GstBin*, GstElement* element, gpointer data) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || !g_str_has_prefix(GST_OBJECT_NAME(factory), "uridecodebin") ||
        g_object_get_data(G_OBJECT(element), DrainWatched))
        return;
    g_object_set_data(G_OBJECT(element), DrainWatched, GINT_TO_POINTER(1));
    connectHolding(element, "drained", G_CALLBACK(&GaplessStage::onDrained),
                   stageOf(data).shared_from_this(), G_CONNECT_AFTER);
}

void GaplessStage::onDrained(GstElement*, gpointer data) {
    GaplessStage& stage = stageOf(data);
    {
        const std::lock_guard lock(stage.m_lock);
        if (stage.m_changing != std::this_thread::get_id())
            return;
        stage.m_changing.reset();
    }
    stage.m_changed.notify_all();
}

void GaplessStage::close() {
    {
        const std::lock_guard lock(m_lock);
        m_closing = true;
    }
    m_answered.notify_all();
}

bool GaplessStage::waitForChange(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, limit, [this] { return !m_changing; });
}

void GaplessStage::offer(const QString& after, std::optional<Offer> next) {
    {
        const std::lock_guard lock(m_lock);
        m_answer = Answer{after, std::move(next)};
    }
    m_answered.notify_all();
}

bool GaplessStage::isPrepared(const QByteArray& uri) const {
    const std::lock_guard lock(m_lock);
    const auto hasUri = [&uri](const Prepared& prepared) { return prepared.offer.uri == uri; };
    return std::any_of(m_prepared.begin(), m_prepared.end(), hasUri) ||
           std::any_of(m_inFlight.begin(), m_inFlight.end(), hasUri) ||
           (m_joining && hasUri(*m_joining));
}

void GaplessStage::refuseNext() {
    const std::lock_guard lock(m_lock);
    m_refused = true;
}

// On a streaming thread, when the data of the file playbin reads has all been read.
void GaplessStage::onAboutToFinish(GstElement* playbin, gpointer data) {
    GaplessStage& stage = stageOf(data);
    QByteArray uri;
    QString path;
    {
        std::unique_lock lock(stage.m_lock);
        // playbin changes file once this returns, whatever it answers.
        stage.m_changing = std::this_thread::get_id();
        if (stage.m_refused || stage.m_ended || stage.m_closing)
            return;
        // Bounded, so that a user-interface thread busy elsewhere never holds the stream.
        stage.m_answered.wait_for(lock, AnswerWait, [&stage] {
            return stage.m_closing ||
                   (stage.m_answer && stage.m_answer->after == stage.m_inputPath);
        });
        if (stage.m_closing || !stage.m_answer || stage.m_answer->after != stage.m_inputPath ||
            !stage.m_answer->next)
            return; // nothing follows: the file ends as without gapless play
        stage.m_prepared.push_back({*stage.m_answer->next, stage.m_inputPath});
        stage.m_inputPath = stage.m_answer->next->path;
        uri = stage.m_answer->next->uri;
        path = stage.m_inputPath;
    }
    // Outside the lock: playbin takes its own locks here.
    g_object_set(playbin, "uri", uri.constData(), nullptr);
    if (stage.m_listener.prepared)
        stage.m_listener.prepared(path);
}

GstPadProbeReturn GaplessStage::onFilterData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    if (!isStreamStart(info))
        return GST_PAD_PROBE_OK;
    if (GstElement* filter = gst_pad_get_parent_element(pad)) {
        stageOf(data).atFilter(filter, streamKey(GST_PAD_PROBE_INFO_EVENT(info)));
        gst_object_unref(filter);
    }
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GaplessStage::onSinkData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    GaplessStage& stage = stageOf(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        switch (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info))) {
        case GST_EVENT_STREAM_START:
            return stage.atSinkStart(info);
        case GST_EVENT_CAPS:
            return stage.atSinkCaps(pad, info);
        default: {
            const std::lock_guard lock(stage.m_lock);
            return stage.m_ended ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
        }
        }
    }
    if (!(GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM))
        return GST_PAD_PROBE_OK;
    return stage.atSinkData();
}

// The next stream's start, ahead of its first sample: its file gain holds from there.
void GaplessStage::atFilter(GstElement* filter, const QByteArray& key) {
    const std::lock_guard lock(m_lock);
    const bool newStream = m_filterKey && *m_filterKey != key;
    m_filterKey = key;
    if (!newStream || m_prepared.empty())
        return; // the first file's start, the same start sent again, or not one of ours
    const Prepared next = m_prepared.front();
    m_prepared.pop_front();
    g_object_set(filter, "volume", std::clamp(next.offer.fileGain, 0.0, MaxElementGain), nullptr);
    m_inFlight.push_back(next);
}

bool GaplessStage::stands(const Prepared& prepared) const {
    // The user-interface thread, last asked what follows the file that ended, still says this.
    return !m_refused && m_answer && m_answer->after == prepared.follows && m_answer->next &&
           m_answer->next->path == prepared.offer.path &&
           m_answer->next->levelGain == prepared.offer.levelGain;
}

namespace {

// The item becomes the end of the stream: the sink plays out what it holds, then ends.
GstPadProbeReturn endInstead(GstPadProbeInfo* info) {
    GstEvent* end = gst_event_new_eos();
    gst_mini_object_unref(GST_MINI_OBJECT_CAST(GST_PAD_PROBE_INFO_DATA(info)));
    GST_PAD_PROBE_INFO_DATA(info) = end;
    return GST_PAD_PROBE_OK;
}

} // namespace

// The next stream's start at the sink, as it is heard: it is judged here, and joined once
// its format is seen.
GstPadProbeReturn GaplessStage::atSinkStart(GstPadProbeInfo* info) {
    const std::lock_guard lock(m_lock);
    if (m_ended)
        return GST_PAD_PROBE_DROP;
    const QByteArray key = streamKey(GST_PAD_PROBE_INFO_EVENT(info));
    const bool newStream = m_sinkKey && *m_sinkKey != key;
    m_sinkKey = key;
    if (!newStream || m_inFlight.empty())
        return GST_PAD_PROBE_OK;
    const Prepared next = m_inFlight.front();
    m_inFlight.pop_front();
    if (!stands(next)) {
        m_ended = true;
        return endInstead(info);
    }
    // Set while the stream's first sample is still ahead of the level's element; a stream that
    // is not joined after all ends this pipeline, and its level with it.
    setLevelFor(next);
    m_joining = next;
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GaplessStage::atSinkCaps(GstPad* pad, GstPadProbeInfo* info) {
    std::optional<Prepared> joined;
    {
        const std::lock_guard lock(m_lock);
        if (m_ended)
            return GST_PAD_PROBE_DROP;
        if (!m_joining)
            return GST_PAD_PROBE_OK;
        GstCaps* caps = nullptr;
        gst_event_parse_caps(GST_PAD_PROBE_INFO_EVENT(info), &caps);
        GstCaps* playing = gst_pad_get_current_caps(pad);
        const bool sameFormat = !playing || !caps || gst_caps_is_equal(playing, caps);
        if (playing)
            gst_caps_unref(playing);
        if (!sameFormat || !stands(*m_joining)) {
            m_joining.reset();
            m_ended = true;
            return endInstead(info);
        }
        joined = std::exchange(m_joining, std::nullopt);
    }
    tellContinued(joined->offer.path);
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GaplessStage::atSinkData() {
    std::optional<Prepared> joined;
    {
        const std::lock_guard lock(m_lock);
        if (m_ended)
            return GST_PAD_PROBE_DROP;
        if (!m_joining)
            return GST_PAD_PROBE_OK;
        // No new format was announced: the sink's holds.
        joined = std::exchange(m_joining, std::nullopt);
    }
    tellContinued(joined->offer.path);
    return GST_PAD_PROBE_OK;
}

// The level the stream's relative volume asks for.
void GaplessStage::setLevelFor(const Prepared& next) {
    if (next.offer.levelGain && m_levelElement)
        g_object_set(m_levelElement, "volume", *next.offer.levelGain, nullptr);
}

void GaplessStage::tellContinued(const QString& path) {
    if (m_listener.continued)
        m_listener.continued(path);
}

} // namespace sonavue
