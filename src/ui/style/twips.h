// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The window is measured in twips: 15 twips to a pixel.
#include <QRect>
#include <cmath>

namespace sonavue {

constexpr int TwipsPerPixel = 15;

constexpr int px(double twips) {
    return int(twips / TwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}
constexpr double twips(int pixels) {
    return double(pixels) * TwipsPerPixel;
}
inline QRect twipsRect(double left, double top, double width, double height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// Puts a control at its designed place, given in twips.
template <typename W> W* place(W* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

} // namespace sonavue
