// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the title-strip drag needs from an X11 display server beyond the toolkit: handing the
// move to the window manager from the point where the button went down, and learning when
// the button is let go while the window manager holds the pointer.
#include <QPoint>
#include <optional>

class QWindow;

namespace sonavue {

// Asks the window manager to move `window` as the pointer moves, counting from `pressGlobal`
// (where the button went down, in screen pixels), so the grabbed point stays under the
// pointer. False when there is no X11 window manager that moves windows on request.
bool startWindowManagerMove(QWindow& window, QPoint pressGlobal);

// Whether the primary mouse button is held right now; empty when the display server cannot
// be asked (not X11).
std::optional<bool> primaryButtonHeld();

} // namespace sonavue
