// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Watches a play for a position that stands still: a pipeline can report playing while its
// decoder spins or its output never takes a sample, and such a play would never end.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace sonavue {

class StallWatchdog : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultLimitMs = 8000;
    static constexpr int CheckIntervalMs = 500;

    // position: the play's position in ms (any constant value while it has none).
    explicit StallWatchdog(std::function<qint64()> position, QObject* parent = nullptr);

    // Starts (or restarts) watching: the limit runs from now.
    void start();
    void stop();
    bool watching() const { return m_timer.isActive(); }
    void setLimitMs(int limitMs) { m_limitMs = limitMs; }
    void setCheckIntervalMs(int intervalMs) { m_timer.setInterval(intervalMs); }
    int limitMs() const { return m_limitMs; }

signals:
    // The position has not moved for the limit. Watching stops.
    void stalled();

private:
    void check();

    std::function<qint64()> m_position;
    QTimer m_timer;
    QElapsedTimer m_sinceMove;
    qint64 m_lastPosition = 0;
    int m_limitMs = DefaultLimitMs;
};

} // namespace sonavue
