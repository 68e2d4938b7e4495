// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The resize arithmetic of the main window, in twips, apart from any widget.
#include <functional>
#include <optional>

namespace sonavue {

constexpr double DesignedClientWidth = 13425;
constexpr double DesignedClientHeight = 10260;
constexpr double TitleStripHeight = 375;
constexpr double CompactWidth = 1500;
// The web panel's top and the settings frame's top stay at their designed places.
constexpr double WebPanelTop = 840;
constexpr double SettingsFrameTop = 8520;
// Left clear between the web panel's bottom and the settings frame's caption.
constexpr double SettingsFrameClearance = 30;

struct ResizeGeometry {
    double titlesWidth = 0;
    double groupWidth = 0; // G: group lists, group frames and the reserved list
    double webLeft = 0;
    double webWidth = 0;
    std::optional<double> webHeight; // unset: the height does not change
    double closeButtonLeft = 0;
    double webButtonsLeft = 0;
    bool topmost = false;
};

// W and H are the window's outer width and height. In a normal window the web panel
// grows with the height (H - 2400) but stops short of the settings frame below it, which
// keeps its place: H - 2400 alone would run over the frame's caption at the designed size.
// roundToControl gives back the width a list really takes for a requested width
// (controls round to whole pixels).
ResizeGeometry resizeGeometry(double W, double H, bool maximized, double closeButtonWidth,
                              double webButtonsWidth,
                              const std::function<double(double)>& roundToControl);

// The compact/full switch of the " -  " label: returns the new (width, height).
struct WindowSize {
    double width;
    double height;
};
WindowSize compactOrFull(double currentHeight);

} // namespace sonavue
