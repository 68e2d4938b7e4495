// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The volume bar: a vertical scroll bar whose top end is the loudest level. Everything that
// moves towards the top (the up arrow, a click above the thumb, the wheel turned up, the Up
// key) raises the level; the bar reports levels, never raw positions.
#include <QScrollBar>

namespace sonavue {

class VolumeBar : public QScrollBar {
    Q_OBJECT
public:
    static constexpr int Loudest = 255;
    explicit VolumeBar(QWidget* parent);
    int level() const { return Loudest - value(); }
    void setLevel(int level) { setValue(Loudest - level); }

signals:
    void levelChanged(int level);
};

} // namespace sonavue
