// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// What the window asks of its web panel. The panel and the web engine under it live in a
// module loaded once the window has been drawn (webpanelmodule.h): the window knows the
// panel only through this, and the program does not load the engine to start.
#include <functional>

class QWidget;

namespace sonavue {

class WebPanelControl {
public:
    // The panel itself, a child of the window that made it (which owns it).
    virtual QWidget& widget() = 0;
    // The program's page, index.htm beside the program.
    virtual void goHome() = 0;
    // One page back; nothing happens when there is no earlier page.
    virtual void goBack() = 0;
    // Called whenever the panel, or the page inside it, receives the focus.
    virtual void onFocus(std::function<void()> handler) = 0;

protected:
    ~WebPanelControl() = default; // destroyed as the widget it is
};

} // namespace sonavue
