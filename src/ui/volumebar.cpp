#include "ui/volumebar.h"

namespace sonavue {

VolumeBar::VolumeBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    // A plain scroll bar has its minimum at the top and its arrows, wheel and keys agree with
    // that; the position counts down from the loudest level, so nothing needs inverting.
    setRange(0, Loudest);
    connect(this, &QScrollBar::valueChanged, this, [this] { emit levelChanged(level()); });
}

} // namespace sonavue
