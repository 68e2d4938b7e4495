// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playback/volumelevel.h"

#include "playback/volume.h"

namespace sonavue {

VolumeLevel::VolumeLevel(MediaControl& output, QObject* parent)
    : QObject(parent), m_output(output), m_level(MiddleLevel) {}

void VolumeLevel::setLevel(double level) {
    const int clamped = clampLevel(level);
    m_output.setOutputGain(levelGain(clamped));
    showLevel(clamped);
    emit applied(clamped);
}

void VolumeLevel::showLevel(int level) {
    const int clamped = clampLevel(level);
    if (clamped == m_level)
        return;
    m_level = clamped;
    emit changed(m_level);
}

} // namespace sonavue
