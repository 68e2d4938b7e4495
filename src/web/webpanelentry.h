// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The one function the web panel's module offers, by an unmangled name.
class QWidget;

namespace sonavue {

class WebPanelControl;

using MakeWebPanel = WebPanelControl* (*)(QWidget* parent);
inline constexpr char WebPanelEntryName[] = "sonavueMakeWebPanel";

} // namespace sonavue
