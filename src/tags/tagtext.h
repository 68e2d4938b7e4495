// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
#include <QString>

namespace sonavue {

// Every NUL becomes a space, then leading and trailing spaces (U+0020 only) go.
QString cleanTagText(const QString& text);

} // namespace sonavue
