// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/window/layoutrules.h"

#include <algorithm>

namespace sonavue {

ResizeGeometry resizeGeometry(double W, double H, bool maximized, double closeButtonWidth,
                              double webButtonsWidth,
                              const std::function<double(double)>& roundToControl) {
    ResizeGeometry g;
    if (maximized) {
        g.titlesWidth = W / 3 - 480;
        g.groupWidth = roundToControl(W / 3);
        g.webLeft = g.groupWidth + 1200;
        g.webWidth = W - g.webLeft - 1200;
        g.webHeight = H - 2000;
        g.topmost = true;
    } else {
        g.titlesWidth = W * 0.4 - 480;
        g.groupWidth = roundToControl(W * 0.4);
        g.webLeft = g.groupWidth + 400;
        g.webWidth = W - g.webLeft - 200;
        if (H > 5000)
            g.webHeight =
                std::min(H - 2400, SettingsFrameTop - SettingsFrameClearance - WebPanelTop);
        g.topmost = false;
    }
    g.closeButtonLeft = W - closeButtonWidth;
    g.webButtonsLeft = g.webLeft + g.webWidth - webButtonsWidth;
    return g;
}

WindowSize compactOrFull(double currentHeight) {
    if (currentHeight > 5000)
        return {CompactWidth, TitleStripHeight};
    return {DesignedClientWidth, DesignedClientHeight};
}

} // namespace sonavue
