// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A media element that plays nothing and needs no sound device: the window under
// measurement may open and play files; nothing happens.
#include "playback/mediacontrol.h"

namespace sonavue::bench {

class SilentMedia : public MediaControl {
public:
    void open(const QString& path) override { m_fileName = path; }
    void play() override {}
    void close() override {}
    void setOutputGain(double) override {}
    State state() const override { return State::Closed; }
    qint64 positionMs() const override { return 0; }
    qint64 durationMs() const override { return -1; }
    void pause() override {}
    void resume() override {}
    void seekMs(qint64) override {}
};

} // namespace sonavue::bench
