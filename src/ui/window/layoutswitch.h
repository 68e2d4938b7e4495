// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The W key's layout switch: the large layout takes the screen (maximized, the playing
// controls hidden, on top of other windows); the next W brings the normal layout back at the
// size and place it had. The switch keeps its own record of the layout, because without a
// window manager the platform does not take the maximized state.
#include <QList>
#include <QRect>
#include <functional>

class QWidget;

namespace sonavue {

// Keeps window above others, without re-creating its native window (QWidget::setWindowFlag
// would, and a window manager then forgets its size, place and focus).
void setStaysOnTop(QWidget& window, bool on);
bool staysOnTop(const QWidget& window);

class LayoutSwitch {
public:
    // hidden: the controls the large layout hides. shown: runs once the new layout is painted.
    LayoutSwitch(QWidget& window, QList<QWidget*> hidden, std::function<void()> shown);
    void toggle();
    bool large() const { return m_large; }

private:
    QWidget& m_window;
    QList<QWidget*> m_hidden;
    std::function<void()> m_shown;
    bool m_large = false;
    QRect m_normalGeometry; // where the normal layout was before the large one took the screen
};

} // namespace sonavue
