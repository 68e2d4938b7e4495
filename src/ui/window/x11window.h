// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the windows need from an X11 display server beyond the toolkit: the connection and
// atoms, and the window-manager states the toolkit has no word for.
#include <xcb/xcb.h>

#include <vector>

class QWidget;

namespace sonavue {

// The X11 connection, or null when the program does not run on X11.
xcb_connection_t* x11Connection();
xcb_window_t x11RootWindow(xcb_connection_t* connection);
xcb_atom_t x11Atom(xcb_connection_t* connection, const char* name);
// The atoms a window's property lists (_NET_WM_STATE, the root's _NET_SUPPORTED); none when
// it holds no atom list.
std::vector<xcb_atom_t> x11AtomList(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t property);

// Asks the window manager to leave `window` out of task bars, pagers and window switchers:
// it is part of another window and no window of its own. Call while it is hidden (from its
// show event, before it is mapped): the toolkit keeps the states it finds when it maps it.
void leaveOutOfTaskbarAndPager(QWidget& window);

} // namespace sonavue
