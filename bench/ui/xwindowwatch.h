// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Watches a real X server (DISPLAY) as its own client, as a person would see the screen: when
// a process's main window is mapped and when its pixels have been drawn. Listens to the
// creation of every top-level window from the moment it is made, so it must exist before the
// watched program starts. With SONAVUE_BENCH_XDEBUG set, what it sees goes to stderr.
#include <QByteArray>
#include <QElapsedTimer>
#include <memory>

namespace sonavue::bench {

class XWindowWatch {
public:
    XWindowWatch();
    ~XWindowWatch();
    XWindowWatch(const XWindowWatch&) = delete;
    XWindowWatch& operator=(const XWindowWatch&) = delete;

    bool connected() const;

    // Seconds on clock, -1 when not seen before the deadline.
    struct Seen {
        double mapped = -1;  // the window's MapNotify
        double painted = -1; // its pixels, read back from the server, show drawn content
    };
    // Waits up to timeoutMs for a normal window titled title of process pid to be mapped and
    // drawn. Windows created since the last call (or since construction) are considered.
    Seen waitForWindow(qint64 pid, const QByteArray& title, const QElapsedTimer& clock,
                       int timeoutMs);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace sonavue::bench
