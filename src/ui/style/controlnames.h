// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The object names of the main window's controls: each control keeps its long-standing name,
// and a control of an array adds its index ("TagGroupe3"), after an underscore where the
// name itself ends in a digit ("Option1_1"). Tests and accessibility tools find controls by
// these names.
#include <QString>

namespace sonavue {

inline QString indexedName(const char* name, int index) {
    QString result = QString::fromLatin1(name);
    if (!result.isEmpty() && result.back().isDigit())
        result += QLatin1Char('_');
    return result + QString::number(index);
}

} // namespace sonavue
