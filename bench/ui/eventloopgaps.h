// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Records each turn of the event loop: a posted event that posts itself again on every
// delivery. Qt does not deliver an event posted during a delivery in the same pass, so
// each delivery marks one processEvents call (or one turn of exec()); the time between
// two deliveries is how long the loop was kept from running.
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <functional>
#include <vector>

namespace sonavue::bench {

class EventLoopGaps : public QObject {
public:
    EventLoopGaps();
    // Starts recording: the first delivery happens at the next turn of the loop.
    void start();
    // Stops recording; the moment counts as a last turn, so the stretch since the last
    // delivery is a gap too.
    void stop();
    // Records a turn now (while recording): a moment the loop was known to be free.
    void markTurn();
    // Called at every delivery (after the turn is recorded); may call stop().
    std::function<void()> onTurn;

    // Nanoseconds (on clock()) of each recorded turn.
    const std::vector<qint64>& turns() const { return m_turns; }
    const QElapsedTimer& clock() const { return m_clock; }

    struct Gap {
        qint64 ns = 0;
        qint64 startNs = 0; // since the first turn
        int afterTurn = -1; // index of the turn before the gap
    };
    Gap longestGap() const;

protected:
    bool event(QEvent* event) override;

private:
    void post();
    const QEvent::Type m_type;
    QElapsedTimer m_clock;
    std::vector<qint64> m_turns;
    bool m_running = false;
    bool m_posted = false;
};

} // namespace sonavue::bench
