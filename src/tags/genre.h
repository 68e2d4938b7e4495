// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The genre table: a name for every genre byte 0..255, spelt as this program stores them.
#include <QString>

namespace sonavue {

const QString& genreName(unsigned char code);

} // namespace sonavue
