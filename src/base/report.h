// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The one way the player tells whoever started it something: a line on standard error.
#include <QString>

namespace sonavue {

// Writes "sonavue: ", text and a line break on standard error in one write, so that lines
// reported from several threads never mix. text is one line; a file name in it is made
// readable first (readableText, oneLineText).
void reportLine(const QString& text);

} // namespace sonavue
