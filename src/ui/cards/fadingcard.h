// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A card window that fades in, holds, fades out and closes: the splash and the tag card.
// It closes at once when it loses the focus (after having had it), and says so once.
// A card may also close at once on a mouse press anywhere else in the program: a window
// manager need never give it the focus, and then it would otherwise stay over the window.
#include "ui/cards/fadesequence.h"
#include <QColor>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace sonavue {

class FadingCard : public QWidget {
    Q_OBJECT
public:
    int opacityLevel() const { return m_fade.opacity; }

    // The timers' handlers: the end of the hold and the fade tick. Public so that the
    // timeline can be driven tick by tick.
    void endHold();
    void fadeStep();
    QTimer& holdTimer() { return m_holdTimer; }
    QTimer& fadeTimer() { return m_fadeTimer; }

signals:
    void closed();

protected:
    // card: the rounded body in the window's pixels; the rest stays see-through.
    FadingCard(QWidget* owner, FadeCard start, int holdMs, QRect card, QColor fill);
    // Starts the hold and fade timers (call once the card is laid out).
    void startFading();
    // From now on a mouse press on any other window or control of the program closes the
    // card once that press has been handled, unless keepOpenThroughPress() was called while
    // it was (the press brought something new to show on the card).
    void closeOnPressesElsewhere();
    void keepOpenThroughPress() { m_keptThroughPress = true; }
    // The rounded body from now on; the window is cut to it.
    void setCardRect(const QRect& card);

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeUnlessKept();

    FadeCard m_fade;
    QRegion m_body;
    QColor m_fill;
    QTimer m_holdTimer; // the hold
    QTimer m_fadeTimer; // the fade's ticks, 50 ms
    bool m_wasActive = false;
    bool m_closing = false;
    bool m_pressCheckPending = false;
    bool m_keptThroughPress = false;
};

} // namespace sonavue
