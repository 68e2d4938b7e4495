// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "xwindowwatch.h"

#include <QSet>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <vector>
#include <xcb/xcb.h>

namespace sonavue::bench {
namespace {

// The root window's colour while watching: what shows where nothing has drawn, so that a
// window not yet painted is told apart from one whose pixels are the program's.
constexpr uint32_t RootColour = 0x203040;

template <typename Reply> struct Freed {
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

} // namespace

struct XWindowWatch::State {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t pidAtom = 0, typeAtom = 0, normalAtom = 0, utilityAtom = 0, nameAtom = 0;
    bool debug = false;

    ~State() {
        if (connection)
            xcb_disconnect(connection);
    }

    xcb_atom_t atom(const char* name) {
        Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
            nullptr)};
        return reply ? reply->atom : 0;
    }

    QByteArray property(xcb_window_t window, xcb_atom_t name) {
        Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr)};
        if (!reply)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                          xcb_get_property_value_length(reply.reply));
    }

    bool isMainWindow(xcb_window_t window, qint64 pid, const QByteArray& title) {
        const QByteArray pidBytes = property(window, pidAtom);
        if (pidBytes.size() != 4)
            return false;
        uint32_t windowPid = 0;
        std::memcpy(&windowPid, pidBytes.constData(), 4);
        if (qint64(windowPid) != pid || property(window, nameAtom) != title)
            return false;
        // The splash card is a utility window that names the normal type too.
        bool normal = false, utility = false;
        const QByteArray types = property(window, typeAtom);
        for (qsizetype at = 0; at + 4 <= types.size(); at += 4) {
            xcb_atom_t type = 0;
            std::memcpy(&type, types.constData() + at, 4);
            normal = normal || type == normalAtom;
            utility = utility || type == utilityAtom;
        }
        if (debug)
            std::fprintf(stderr, "  window 0x%x of the program mapped, normal %d, utility %d\n",
                         window, normal, utility);
        return normal && !utility;
    }

    void watchCreated(xcb_window_t window) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    }

    // How many of a row's pixels differ from the root's colour, and how many colours it has.
    bool rowDrawn(xcb_window_t window, int y, int width) {
        Freed<xcb_get_image_reply_t> image{
            xcb_get_image_reply(connection,
                                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                              int16_t(y), uint16_t(width), 1, ~0u),
                                nullptr)};
        if (!image || xcb_get_image_data_length(image.reply) < width * 4)
            return false; // not viewable yet
        const uint8_t* data = xcb_get_image_data(image.reply);
        QSet<uint32_t> colours;
        int other = 0;
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, data + 4 * x, 4);
            pixel &= 0xffffffu;
            colours.insert(pixel);
            other += pixel != RootColour && pixel != 0;
        }
        if (debug)
            std::fprintf(stderr, "  row %d: %d colours, %d of %d not root or black\n", y,
                         int(colours.size()), other, width);
        // Drawn: most of the row is the program's, with more than a flat fill in it (a fill the
        // server makes is one colour; the background with a list box on it is two).
        return other > width / 2 && colours.size() >= 2;
    }

    bool drawn(xcb_window_t window) {
        Freed<xcb_get_geometry_reply_t> geometry{
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr)};
        if (!geometry || geometry->width < 8 || geometry->height < 8)
            return false;
        const int h = geometry->height;
        int rows = 0;
        for (int y : {h / 4, h / 2, 3 * h / 4})
            rows += rowDrawn(window, y, geometry->width);
        return rows >= 2;
    }
};

XWindowWatch::XWindowWatch() : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.debug = qEnvironmentVariableIsSet("SONAVUE_BENCH_XDEBUG");
    int screenNumber = 0;
    s.connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(s.connection)) {
        xcb_disconnect(s.connection);
        s.connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(s.connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    s.root = screens.data->root;
    s.pidAtom = s.atom("_NET_WM_PID");
    s.typeAtom = s.atom("_NET_WM_WINDOW_TYPE");
    s.normalAtom = s.atom("_NET_WM_WINDOW_TYPE_NORMAL");
    s.utilityAtom = s.atom("_NET_WM_WINDOW_TYPE_UTILITY");
    s.nameAtom = s.atom("_NET_WM_NAME");
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(s.connection, s.root, XCB_CW_EVENT_MASK, &mask);
    const uint32_t colour = RootColour;
    xcb_change_window_attributes(s.connection, s.root, XCB_CW_BACK_PIXEL, &colour);
    xcb_clear_area(s.connection, 0, s.root, 0, 0, 0, 0);
    xcb_flush(s.connection);
}

XWindowWatch::~XWindowWatch() = default;

bool XWindowWatch::connected() const {
    return m_state->connection != nullptr;
}

XWindowWatch::Seen XWindowWatch::waitForWindow(qint64 pid, const QByteArray& title,
                                               const QElapsedTimer& clock, int timeoutMs) {
    Seen seen;
    State& s = *m_state;
    if (!s.connection)
        return seen;
    const qint64 deadline = clock.elapsed() + timeoutMs;
    xcb_window_t window = 0;
    const auto now = [&clock] { return double(clock.nsecsElapsed()) * 1e-9; };
    while (clock.elapsed() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(s.connection)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                s.watchCreated(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
            } else if (type == XCB_MAP_NOTIFY && !window) {
                const xcb_window_t mapped =
                    reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                if (s.isMainWindow(mapped, pid, title)) {
                    seen.mapped = now();
                    window = mapped;
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(s.connection))
            return seen;
        if (window && s.drawn(window)) {
            seen.painted = now();
            return seen;
        }
        xcb_flush(s.connection);
        // Once mapped, its pixels are looked at every 2 ms; before, only events wake this.
        pollfd wake{xcb_get_file_descriptor(s.connection), POLLIN, 0};
        ::poll(&wake, 1, window ? 2 : 50);
    }
    return seen;
}

} // namespace sonavue::bench
