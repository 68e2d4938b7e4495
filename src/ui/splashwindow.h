#pragma once
// Form2: the splash card with the version line; fades in, holds 2 s, fades out.
#include "ui/fadesequence.h"
#include <QTimer>
#include <QWidget>

class QLabel;

namespace sonavue {

class Form2 : public QWidget {
    Q_OBJECT
public:
    // owner null: at start-up (centred on the screen); else owned by and centred on it.
    explicit Form2(QWidget* owner = nullptr);

    QLabel* Label1() const { return m_label1; }
    QLabel* LabelBuild() const { return m_labelBuild; }
    int opacityLevel() const { return m_fade.opacity; }

    // The timers' handlers: the end of the hold and the fade tick. Public so that the
    // timeline can be driven tick by tick.
    void Timer1_Timer();
    void Timer2_Timer();
    QTimer& holdTimer() { return m_holdTimer; }
    QTimer& fadeTimer() { return m_fadeTimer; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeCentred(QWidget* owner);
    void addCreditLine();

    FadeCard m_fade = splashFadeStart();
    QTimer m_holdTimer; // Timer1, 2000 ms
    QTimer m_fadeTimer; // Timer2, 50 ms
    QLabel* m_label1 = nullptr;
    QLabel* m_labelBuild = nullptr;
    bool m_wasActive = false;
    bool m_closing = false;
};

} // namespace sonavue
