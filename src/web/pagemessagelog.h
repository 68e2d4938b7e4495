// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What a web page says through script dialogs goes to stderr, one line per message, and a
// page that talks in a loop cannot flood it.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace sonavue {

// Lets at most `burst` messages through in each window of `windowMs` milliseconds and counts
// the ones held back. Times are given by the caller, so the rule itself keeps no clock.
class MessageThrottle {
public:
    MessageThrottle(int burst, qint64 windowMs) : m_burst(burst), m_windowMs(windowMs) {}

    // Whether a message arriving at nowMs is shown; one that is not is counted.
    bool admit(qint64 nowMs);
    // How many were held back since the last call, and the count starts again.
    int takeHeldBack();
    // When the current window ends (a held-back count is worth telling then).
    qint64 windowEnd() const { return m_windowStart + m_windowMs; }

private:
    int m_burst;
    qint64 m_windowMs;
    qint64 m_windowStart = 0;
    int m_shownInWindow = 0;
    bool m_started = false;
    int m_heldBack = 0;
};

// Untrusted text as one short, harmless line: control characters, line and paragraph breaks
// and direction overrides become spaces (a page must not drive the terminal or forge lines),
// and long text is cut.
QString asOneLine(const QString& text, int maxLength = 300);

class PageMessageLog : public QObject {
    Q_OBJECT
public:
    explicit PageMessageLog(QObject* parent = nullptr);
    ~PageMessageLog() override;

    // Reports "web page: <what>: <text>" unless the page has said too much lately.
    void report(const QString& what, const QString& text);

private:
    void tellHeldBack();

    MessageThrottle m_throttle{10, 1000};
    QElapsedTimer m_clock;
    QTimer m_heldBackTimer; // tells the held-back count once the window is over
};

} // namespace sonavue
