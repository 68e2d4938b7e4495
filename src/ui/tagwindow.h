#pragma once
// Form3: the card that pops up with a track's title, artist and album.
#include "ui/fadesequence.h"
#include <QTimer>
#include <QWidget>

class QLabel;

namespace sonavue {

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* owner);

    // Opening, in this order: the tag text (the full path the tag is read from), then the
    // caption; a changed caption reads the tag with getMP3TAG.
    void setLabel1Tag(const QString& path);
    void setLabel1Caption(const QString& caption);
    const QString& label1Tag() const { return m_label1Tag; }

    QLabel* Label1() const { return m_label1; }
    QLabel* Label2() const { return m_label2; } // artist
    QLabel* Label3() const { return m_label3; } // album
    QLabel* Label4() const { return m_label4; } // title
    int opacityLevel() const { return m_fade.opacity; }

    // The timers' handlers: the end of the hold and the fade tick. Public so that the
    // timeline can be driven tick by tick.
    void Timer1_Timer();
    void Timer2_Timer();
    QTimer& holdTimer() { return m_holdTimer; }
    QTimer& fadeTimer() { return m_fadeTimer; }

signals:
    void closed(); // the window calls the main window's focusset through this

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FadeCard m_fade = tagFadeStart();
    QTimer m_holdTimer; // Timer1, 3000 ms
    QTimer m_fadeTimer; // Timer2, 50 ms
    QString m_label1Tag;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    bool m_wasActive = false;
    bool m_closing = false;
};

} // namespace sonavue
