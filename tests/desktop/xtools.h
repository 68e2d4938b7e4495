// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The X server's own view of windows and a person's input, through the command-line X tools
// (xdotool, xwininfo, xprop). Each tool runs while this process's event loop keeps running,
// so a window of this process answers the input as it arrives, as it would for a person.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace sonavue::xtools {

struct ToolResult {
    bool ok = false; // started, ended normally, exit status 0
    QString output;  // standard output
    QString error;   // standard error, or why it did not run
};
ToolResult run(const QString& program, const QStringList& arguments, int timeoutMs = 15000);

// xdotool with these arguments; true when it succeeded.
bool xdotool(const QStringList& arguments);

using WindowId = unsigned long;

// What xwininfo says of a window: its place on the screen (the frame does not count) and size.
struct WindowInfo {
    QRect geometry;
    bool viewable = false; // mapped, and so are all its parents
};
std::optional<WindowInfo> windowInfo(WindowId window);
// The screen: the root window's geometry.
QRect screenGeometry();
// The window the window manager calls active (_NET_ACTIVE_WINDOW), 0 when none.
WindowId activeWindow();
// The atoms of a property of the window, e.g. "_NET_WM_STATE_ABOVE" of "_NET_WM_STATE".
QStringList atoms(WindowId window, const QString& property);
// The windows the window manager manages, from the bottom of the stack to the top
// (_NET_CLIENT_LIST_STACKING).
QList<WindowId> stackingOrder();
// True when a window manager has announced itself on the root window.
bool windowManagerRunning();

// --- Input, as a person gives it; positions are relative to the window's top-left corner -------
bool click(WindowId window, QPoint at, int count = 1);
bool pressKey(const QString& keys); // to the focused window, e.g. "w" or "ctrl+q"
bool typeText(const QString& text); // letter by letter, to the focused window
bool pressButton(WindowId window, QPoint at);
// Moves the held pointer by delta in small steps, as a hand does.
bool dragBy(QPoint delta, int steps = 24);
bool releaseButton();

// Lets events run until condition holds or timeoutMs have passed by the clock; true when it
// holds. (QTRY_* count their waits, not the time that asking the X tools takes.)
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

} // namespace sonavue::xtools

// QTRY_COMPARE and QTRY_VERIFY2 timed by the clock, for values that take a while to read (from
// the X tools, over the bus), and without QTRY's second, longer wait after a failure.
#define WAIT_COMPARE(actual, expected)                                                             \
    do {                                                                                           \
        sonavue::xtools::waitUntil([&] { return (actual) == (expected); });                        \
        QCOMPARE(actual, expected);                                                                \
    } while (false)
#define WAIT_VERIFY2(condition, message)                                                           \
    do {                                                                                           \
        sonavue::xtools::waitUntil([&] { return bool(condition); });                               \
        QVERIFY2(condition, message);                                                              \
    } while (false)
#define WAIT_VERIFY(condition) WAIT_VERIFY2(condition, nullptr)
