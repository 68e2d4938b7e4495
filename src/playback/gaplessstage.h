// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A pipeline's file gain (a volume element given to playbin as its audio filter, ahead of
// playbin's queue) and the gapless change of file. The file gain (ReplayGain) is applied to
// the samples as they pass the filter; the volume level stays with its own volume element,
// next to the sink, so that it answers at once.
//
// Gapless: the user-interface thread offers the file that would follow; when playbin asks
// for the next file (about-to-finish, on a streaming thread) the offer is prepared. When the
// next stream's start passes the filter, the prepared file's gain holds from its first
// sample. When it reaches the sink (as it is heard), the offer is judged: if it still
// stands and the stream's format is the one the sink plays, the relative volume's level is
// set on the level's element before the first sample and the element is told that the file
// continued. Otherwise (the offer was withdrawn or changed meanwhile, the prepared file
// failed, or a new format would make the sink start its device again and lose what it still
// holds) the sink is given the end of the stream in its place: the playing file is heard to
// its last sample, the pipeline ends as without gapless play, and the right file is opened
// anew.
//
// A pipeline closed while playbin changes file (between its about-to-finish and the next
// file's start, on the streaming thread) can take playbin's groups apart under it: the
// streaming thread then changes the state of its own decoder and the pipeline never stops.
// So a close tells the stage first, and the pipeline is stopped once no change is under way.
#include <QByteArray>
#include <QString>
#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace sonavue {

class GaplessStage : public std::enable_shared_from_this<GaplessStage> {
public:
    struct Offer {
        QString path;
        QByteArray uri;
        std::optional<double> levelGain; // nothing: the level stays as it is
        double fileGain = 1.0;
    };
    // Told on a streaming thread: the file playbin was given to read next, and the file that
    // now plays, continued without a gap.
    struct Listener {
        std::function<void(const QString& path)> prepared;
        std::function<void(const QString& path)> continued;
    };

    // Made for the file about to open, with its own gain.
    static std::shared_ptr<GaplessStage> make(const QString& path, double fileGain);
    ~GaplessStage();
    GaplessStage(const GaplessStage&) = delete;
    GaplessStage& operator=(const GaplessStage&) = delete;

    // The volume element, for playbin's "audio-filter": the reference becomes the caller's.
    GstElement* takeFilter();
    // Watches the stream starts at the filter and at the sink; with gapless play, answers
    // playbin's about-to-finish too, and sets the level (the volume element `level`, if any)
    // a joined file's relative volume asks for.
    void attach(GstElement* playbin, GstElement* sink, GstElement* level, bool gapless,
                Listener listener);
    // The file that would follow the file `after` (nothing: none).
    void offer(const QString& after, std::optional<Offer> next);
    // A file given to playbin and not yet heard: its failure is not the playing file's.
    bool isPrepared(const QByteArray& uri) const;
    // The prepared file failed: nothing follows the playing file without a gap any more.
    void refuseNext();
    // The pipeline is being closed: nothing more is prepared, and playbin's request for the
    // next file is answered at once.
    void close();
    // Off the user-interface thread, before the pipeline stops: waits, at most `limit`, until
    // no change of file is under way. False when the limit passed.
    bool waitForChange(std::chrono::milliseconds limit);

private:
    struct Prepared {
        Offer offer;
        QString follows; // the file it follows
    };
    // The user-interface thread's latest answer to "what follows this file?".
    struct Answer {
        QString after;
        std::optional<Offer> next;
    };
    GaplessStage(const QString& path, double fileGain);
    static void onAboutToFinish(GstElement* playbin, gpointer data);
    static void onElementAdded(GstBin* playbin, GstElement* element, gpointer data);
    static void onDrained(GstElement* decoder, gpointer data);
    static GstPadProbeReturn onFilterData(GstPad* pad, GstPadProbeInfo* info, gpointer data);
    static GstPadProbeReturn onSinkData(GstPad* pad, GstPadProbeInfo* info, gpointer data);
    static void release(gpointer data);
    void addProbe(GstElement* element, GstPadProbeType types,
                  GstPadProbeReturn (*probe)(GstPad*, GstPadProbeInfo*, gpointer));
    void atFilter(GstElement* filter, const QByteArray& key);
    // Each returns what becomes of the item at the sink.
    GstPadProbeReturn atSinkStart(GstPadProbeInfo* info);
    GstPadProbeReturn atSinkCaps(GstPad* pad, GstPadProbeInfo* info);
    GstPadProbeReturn atSinkData();
    void setLevelFor(const Prepared& next); // under the lock
    void tellContinued(const QString& path);
    bool stands(const Prepared& prepared) const;

    GstElement* m_filter = nullptr; // held by this stage until it is taken
    bool m_ownsFilter = true;
    GstElement* m_levelElement = nullptr; // the volume level's element, held
    mutable std::mutex m_lock;
    std::condition_variable m_answered;
    std::optional<Answer> m_answer;
    QString m_inputPath;                   // the file whose data playbin reads
    std::deque<Prepared> m_prepared;       // given to playbin, their start not yet at the filter
    std::deque<Prepared> m_inFlight;       // past the filter, their start not yet at the sink
    std::optional<QByteArray> m_filterKey; // the stream passing the filter
    std::optional<QByteArray> m_sinkKey;   // the stream reaching the sink
    std::optional<Prepared> m_joining;     // at the sink, its format not yet seen
    bool m_refused = false;                // no stream is joined from now on
    bool m_ended = false;                  // the sink was given the end: nothing more reaches it
    bool m_closing = false;                // the pipeline is being closed
    std::optional<std::thread::id> m_changing; // the streaming thread changing file, if any
    std::condition_variable m_changed;
    Listener m_listener;
};

} // namespace sonavue
