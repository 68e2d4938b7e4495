// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The media element over a GStreamer playbin.
#include "playback/mediacontrol.h"
#include <QString>
#include <functional>
#include <memory>

typedef struct _GstElement GstElement;

namespace sonavue {

class GstMediaElement : public MediaControl {
    Q_OBJECT
public:
    // sinkFactory makes the audio sink (default: autoaudiosink). Tests pass a fake sink
    // that keeps real time.
    using SinkFactory = std::function<GstElement*()>;
    explicit GstMediaElement(SinkFactory sinkFactory = {}, QObject* parent = nullptr);
    ~GstMediaElement() override;

    void open(const QString& path) override;
    void play() override;
    void close() override;
    void setOutputGain(double gain) override;
    State state() const override;
    qint64 positionMs() const override;
    qint64 durationMs() const override;
    void pause() override;
    void resume() override;
    void seekMs(qint64 position) override;
    void stop() override;
    void setNextFile(const std::optional<NextFile>& next) override;
    QString continuedFile() const override;
    bool takeContinuedFile(const QString& path) override;
    void setFileGainRule(FileGainRule rule) override;
    void setGapless(bool on) override;

    // The pipeline's current output volume (linear).
    double outputVolume() const override;
    // True once the element plays on a silent stand-in sink because the audio sink failed.
    bool usesFallbackSink() const;
    // How long a play's position may stand still before the play fails (default 8 s; tests
    // shorten it).
    void setStallLimitMs(int limitMs);
    // Closed pipelines still on their way to NULL (each on a thread of its own).
    int pipelinesBeingReleased() const;

signals:
    // Gapless play: the file offered to follow was given to the pipeline to read.
    void nextFilePrepared(const QString& path);

private:
    struct PipelineLink;
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sonavue
