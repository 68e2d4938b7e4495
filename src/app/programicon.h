// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The program's icon for its windows and the task switcher: the picture of sonavue.svg,
// rendered at build time in the sizes desktops ask for, so no SVG loader is needed.
#include <QIcon>

namespace sonavue {

QIcon programIcon();

} // namespace sonavue
