// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The number rules for values stored as text (settings, list entries, the volume label).
#include <QString>
#include <QStringView>
#include <optional>

namespace sonavue {

// The leading-number rule: skip spaces; "&H"/"&h" introduces hexadecimal digits;
// otherwise an optional sign, decimal digits and a decimal fraction; stop at the
// first character that does not fit. Text without digits gives 0.
double leadingNumber(QStringView text);
// Nearest whole number, a half going to the even neighbour.
long long roundHalfEven(double value);
// The truth-value reading: "true"/"false" in any case (surrounding spaces allowed),
// or a number (0 false, anything else true). Nullopt when the text is neither.
std::optional<bool> truthValue(QStringView text);
// A row number stored as decimal text, converted to a 32-bit integer. Nullopt when the
// text is not a number or does not fit in 32 bits.
std::optional<int> rowNumber(QStringView text);
// Whole number by the leading-number rule (text without digits is 0), rounded half to
// even; fallback when the result lies outside [low, high].
int wholeNumberOr(QStringView text, int fallback, int low, int high);

} // namespace sonavue
