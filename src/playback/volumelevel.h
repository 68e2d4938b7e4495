// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The volume level 0..255: the one store of it. The level label and the desktop's media
// controls follow its signals; the output follows setLevel.
#include "playback/mediacontrol.h"

#include <QObject>

namespace sonavue {

class VolumeLevel : public QObject {
    Q_OBJECT
public:
    explicit VolumeLevel(MediaControl& output, QObject* parent = nullptr);

    int level() const { return m_level; }
    // Clamps (0..255, a fraction rounds half to even), sends the level to the output as its
    // wave-out value and shows it.
    void setLevel(double level);
    // Shows the level without sending it: the fade's end shows the middle level while the
    // track that faded out is still being closed.
    void showLevel(int level);

signals:
    // The shown level changed.
    void changed(int level);
    // A level was sent to the output (even the same one again).
    void applied(int level);

private:
    MediaControl& m_output;
    int m_level;
};

} // namespace sonavue
