// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/stallwatchdog.h"

namespace sonavue {

StallWatchdog::StallWatchdog(std::function<qint64()> position, QObject* parent)
    : QObject(parent), m_position(std::move(position)) {
    m_timer.setInterval(CheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StallWatchdog::check);
}

void StallWatchdog::start() {
    m_lastPosition = m_position();
    m_sinceMove.start();
    m_timer.start();
}

void StallWatchdog::stop() {
    m_timer.stop();
}

void StallWatchdog::check() {
    const qint64 position = m_position();
    if (position != m_lastPosition) {
        m_lastPosition = position;
        m_sinceMove.restart();
        return;
    }
    if (m_sinceMove.elapsed() >= m_limitMs) {
        m_timer.stop();
        emit stalled();
    }
}

} // namespace sonavue
