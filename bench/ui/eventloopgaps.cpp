// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "eventloopgaps.h"

#include <QCoreApplication>

namespace sonavue::bench {

EventLoopGaps::EventLoopGaps() : m_type(QEvent::Type(QEvent::registerEventType())) {
    m_clock.start();
}

void EventLoopGaps::start() {
    m_turns.clear();
    m_running = true;
    post();
}

void EventLoopGaps::stop() {
    if (!m_running)
        return;
    m_running = false;
    m_turns.push_back(m_clock.nsecsElapsed());
}

void EventLoopGaps::markTurn() {
    if (m_running)
        m_turns.push_back(m_clock.nsecsElapsed());
}

void EventLoopGaps::post() {
    if (m_posted)
        return;
    m_posted = true;
    QCoreApplication::postEvent(this, new QEvent(m_type));
}

bool EventLoopGaps::event(QEvent* event) {
    if (event->type() != m_type)
        return QObject::event(event);
    m_posted = false;
    if (m_running) {
        m_turns.push_back(m_clock.nsecsElapsed());
        if (onTurn)
            onTurn();
        if (m_running)
            post();
    }
    return true;
}

EventLoopGaps::Gap EventLoopGaps::longestGap() const {
    Gap longest;
    for (std::size_t i = 1; i < m_turns.size(); ++i) {
        const qint64 gap = m_turns[i] - m_turns[i - 1];
        if (gap > longest.ns)
            longest = {gap, m_turns[i - 1] - m_turns.front(), int(i - 1)};
    }
    return longest;
}

} // namespace sonavue::bench
