// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The offscreen platform warns at every raise() and opacity change the window makes;
// hundreds of these would bury the figures. Drops exactly those, passes on the rest.
namespace sonavue::bench {

void quietOffscreenWarnings();

} // namespace sonavue::bench
