// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/x11pointer.h"

#include "ui/window/x11window.h"

#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace sonavue {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Whether the running window manager lists `wanted` in the root window's _NET_SUPPORTED.
bool windowManagerSupports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted) {
    const std::vector<xcb_atom_t> supported =
        x11AtomList(connection, root, x11Atom(connection, "_NET_SUPPORTED"));
    return std::find(supported.begin(), supported.end(), wanted) != supported.end();
}

} // namespace

bool startWindowManagerMove(QWindow& window, QPoint pressGlobal) {
    xcb_connection_t* connection = x11Connection();
    const xcb_window_t root =
        connection ? x11RootWindow(connection) : xcb_window_t(XCB_WINDOW_NONE);
    if (root == XCB_WINDOW_NONE)
        return false;
    const xcb_atom_t moveResize = x11Atom(connection, "_NET_WM_MOVERESIZE");
    if (!windowManagerSupports(connection, root, moveResize))
        return false;
    constexpr std::uint32_t Move = 8, Button1 = 1, FromApplication = 1;
    const QPoint native = pressGlobal * window.devicePixelRatio();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.winId());
    message.type = moveResize;
    message.data.data32[0] = std::uint32_t(native.x());
    message.data.data32[1] = std::uint32_t(native.y());
    message.data.data32[2] = Move;
    message.data.data32[3] = Button1;
    message.data.data32[4] = FromApplication;
    // The window manager takes the pointer over from the program's own grab.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_send_event(connection, false, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

std::optional<bool> primaryButtonHeld() {
    xcb_connection_t* connection = x11Connection();
    const xcb_window_t root =
        connection ? x11RootWindow(connection) : xcb_window_t(XCB_WINDOW_NONE);
    if (root == XCB_WINDOW_NONE)
        return std::nullopt;
    const xcb_query_pointer_cookie_t cookie = xcb_query_pointer(connection, root);
    const Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return std::nullopt;
    return (reply->mask & XCB_BUTTON_MASK_1) != 0;
}

} // namespace sonavue
