// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The designed font faces, with the faces this machine has in their place.
#include <QFont>
#include <QString>

namespace sonavue {

// "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ ゴシック" fall back to IPA or Noto CJK Gothic faces;
// "Impact" to a condensed bold face. Point sizes may be fractional (11.25, 14.25).
QFont designedFont(const QString& face, double pointSize, bool bold = false);

// `font`, made smaller where needed so that a line of it is at most `pixels` high: for a
// caption that has less room than the face's line needs. Never below 6 points.
QFont fontFittingHeight(QFont font, int pixels);

} // namespace sonavue
