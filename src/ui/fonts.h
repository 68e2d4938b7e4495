#pragma once
// The designed font faces, with the faces this machine has in their place.
#include <QFont>
#include <QString>

namespace sonavue {

// "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ ゴシック" fall back to IPA or Noto CJK Gothic faces;
// "Impact" to a condensed bold face. Point sizes may be fractional (11.25, 14.25).
QFont designedFont(const QString& face, double pointSize, bool bold = false);

} // namespace sonavue
