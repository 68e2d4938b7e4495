// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The media element's gapless play and file gain: the gain stage given to each pipeline,
// the file offered to follow the open one, and the change of file told by the stage.
#include "base/fileuri.h"
#include "base/nativepath.h"
#include "playback/gstmediaelementimpl.h"
#include "playback/midicheck.h"
#include "tags/containercheck.h"

#include <QMetaObject>

namespace sonavue {

void GstMediaElement::Impl::attachStage() {
    link->stage = GaplessStage::make(owner.fileName(), openFileGain);
    if (GstElement* filter = link->stage->takeFilter()) {
        g_object_set(pipeline.get(), "audio-filter", filter, nullptr);
        gst_object_unref(filter);
    }
    // Told on a streaming thread: handed on like a bus message, stamped and queued.
    const std::weak_ptr<PipelineLink> weakLink = link;
    const auto handOn = [weakLink](void (Impl::*told)(const QString&, quint64)) {
        return [weakLink, told](const QString& path) {
            const std::shared_ptr<PipelineLink> held = weakLink.lock();
            if (!held)
                return;
            const std::lock_guard lock(held->lock);
            Impl* self = held->element;
            if (!self)
                return;
            const quint64 stamp = self->generation.load();
            QMetaObject::invokeMethod(
                &self->owner, [self, told, path, stamp] { (self->*told)(path, stamp); },
                Qt::QueuedConnection);
        };
    };
    link->stage->attach(pipeline.get(), link->sink.get(), levelVolume.get(), gapless,
                        {handOn(&Impl::onNextPrepared), handOn(&Impl::onContinued)});
}

void GstMediaElement::Impl::offerNext(const std::optional<NextFile>& next) {
    if (!gapless || !link || !link->stage)
        return;
    if (!next) {
        offer.reset();
    } else if (!offer || offer->path != next->path || offer->levelGain != next->outputGain) {
        // Only files the element would open. MIDI files keep the change of file: the MIDI
        // parser answers queries across a gapless change wrongly (GStreamer 1.22).
        const QByteArray native = pathToNative(next->path);
        if (!isReadableRegularFile(native) || isMidiFile(native) ||
            isMidiFile(pathToNative(owner.fileName())) || containerFileDefect(native))
            offer.reset();
        else
            offer = GaplessStage::Offer{next->path, fileUriFor(next->path).toUtf8(),
                                        next->outputGain, fileGainOf(next->path)};
    }
    link->stage->offer(owner.fileName(), offer);
}

void GstMediaElement::Impl::onNextPrepared(const QString& path, quint64 stamp) {
    if (stamp == generation.load())
        emit owner.nextFilePrepared(path);
}

void GstMediaElement::Impl::onContinued(const QString& path, quint64 stamp) {
    if (stamp != generation.load() || state != State::Playing)
        return;
    // The file before has ended: its last sample has passed. The prepared file plays on
    // while the end of play is told.
    const bool notify = notifyPending;
    notifyPending = false;
    continued = path;
    offer.reset();
    if (notify)
        emit owner.finished(PlayEnd::Reached);
    if (continued) {
        // Nobody took it: it stops, as a file left after its end would.
        continued.reset();
        close(PlayEnd::Aborted);
    }
}

bool GstMediaElement::Impl::takeNextFileFailure(const QByteArray& sourceUri) {
    if (!link || !link->stage || sourceUri.isEmpty() || sourceUri == uri ||
        !link->stage->isPrepared(sourceUri))
        return false;
    if (nextFailed)
        return true;
    qCDebug(lcMedia) << "the file prepared to follow cannot be played:" << sourceUri;
    nextFailed = true;
    link->stage->refuseNext();
    if (state == State::Playing)
        playedOutWatch.start();
    return true;
}

void GstMediaElement::Impl::onPlayedOut() {
    // As the end of stream that does not come after a failed next file.
    onEndOfStream();
}

bool GstMediaElement::Impl::takeContinued(const QString& path) {
    if (!continued || *continued != path || state != State::Playing)
        return false;
    continued.reset();
    uri = fileUriFor(path).toUtf8();
    openFileGain = fileGainOf(path);
    notifyPending = true;
    atStart = false;
    atEnd = false;
    return true;
}

void GstMediaElement::setGapless(bool on) {
    // Turned off while a file plays: what was offered to follow it is withdrawn, so the
    // playing file ends whole and the next one opens anew.
    if (!on)
        d->offerNext(std::nullopt);
    d->gapless = on;
}

void GstMediaElement::setFileGainRule(FileGainRule rule) {
    d->fileGainRule = std::move(rule);
}

void GstMediaElement::setNextFile(const std::optional<NextFile>& next) {
    d->offerNext(next);
}

QString GstMediaElement::continuedFile() const {
    return d->continued.value_or(QString());
}

bool GstMediaElement::takeContinuedFile(const QString& path) {
    const bool taken = d->takeContinued(path);
    if (taken)
        m_fileName = path;
    return taken;
}

} // namespace sonavue
