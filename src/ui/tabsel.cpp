#include "ui/tabsel.h"

#include <QMouseEvent>

namespace sonavue {

TabLabel::TabLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignCenter);
    setBordered(false);
}

void TabLabel::setBordered(bool on) {
    m_bordered = on;
    setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}

void TabLabel::setBoldLook(bool on) {
    QFont f = font();
    if (f.bold() == on)
        return;
    f.setBold(on);
    setFont(f);
}

void TabLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

void TabLabel::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved();
    QLabel::mouseMoveEvent(event);
}

} // namespace sonavue
