// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/pagemessagelog.h"

#include "base/report.h"

#include <algorithm>
#include <utility>

namespace sonavue {

bool MessageThrottle::admit(qint64 nowMs) {
    if (!m_started || nowMs >= windowEnd() || nowMs < m_windowStart) {
        m_started = true;
        m_windowStart = nowMs;
        m_shownInWindow = 0;
    }
    if (m_shownInWindow < m_burst) {
        ++m_shownInWindow;
        return true;
    }
    ++m_heldBack;
    return false;
}

int MessageThrottle::takeHeldBack() {
    return std::exchange(m_heldBack, 0);
}

QString asOneLine(const QString& text, int maxLength) {
    QString line;
    line.reserve(std::min<qsizetype>(text.size(), maxLength + 1));
    for (const QChar c : text) {
        if (line.size() >= maxLength) {
            line += QChar(0x2026); // …
            break;
        }
        const bool breaksTheLine = c.category() == QChar::Other_Control ||
                                   c.category() == QChar::Separator_Line ||
                                   c.category() == QChar::Separator_Paragraph;
        const bool turnsText = (c.unicode() >= 0x202A && c.unicode() <= 0x202E) ||
                               (c.unicode() >= 0x2066 && c.unicode() <= 0x2069);
        line += (breaksTheLine || turnsText) ? QChar(u' ') : c;
    }
    return line;
}

PageMessageLog::PageMessageLog(QObject* parent) : QObject(parent) {
    m_clock.start();
    m_heldBackTimer.setSingleShot(true);
    connect(&m_heldBackTimer, &QTimer::timeout, this, &PageMessageLog::tellHeldBack);
}

PageMessageLog::~PageMessageLog() {
    tellHeldBack();
}

void PageMessageLog::report(const QString& what, const QString& text) {
    const qint64 now = m_clock.elapsed();
    if (!m_throttle.admit(now)) {
        if (!m_heldBackTimer.isActive())
            m_heldBackTimer.start(int(std::max<qint64>(m_throttle.windowEnd() - now, 1)));
        return;
    }
    reportLine(QStringLiteral("web page: %1: %2").arg(what, asOneLine(text)));
}

void PageMessageLog::tellHeldBack() {
    if (const int heldBack = m_throttle.takeHeldBack())
        reportLine(QStringLiteral("web page: %1 more messages not shown").arg(heldBack));
}

} // namespace sonavue
