// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/style/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

namespace sonavue {
namespace {

QString firstInstalled(const QStringList& faces) {
    const QStringList families = QFontDatabase::families();
    for (const QString& face : faces) {
        if (families.contains(face, Qt::CaseInsensitive))
            return face;
    }
    return {};
}

} // namespace

QFont designedFont(const QString& face, double pointSize, bool bold) {
    QFont font;
    const bool proportional =
        face.contains(QStringLiteral("Ｐ")) || face.contains(QStringLiteral("UI"));
    QStringList candidates{face};
    if (face == QStringLiteral("Impact")) {
        candidates << QStringLiteral("Impact") << QStringLiteral("DejaVu Sans Condensed")
                   << QStringLiteral("Liberation Sans Narrow") << QStringLiteral("DejaVu Sans");
        font.setStretch(QFont::Condensed);
        font.setWeight(QFont::Bold);
    } else if (proportional) {
        candidates << QStringLiteral("IPAPGothic") << QStringLiteral("IPAexGothic")
                   << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("IPAGothic");
    } else {
        candidates << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans Mono CJK JP")
                   << QStringLiteral("IPAPGothic") << QStringLiteral("Noto Sans CJK JP");
    }
    const QString installed = firstInstalled(candidates);
    if (!installed.isEmpty())
        font.setFamily(installed);
    font.setPointSizeF(pointSize);
    if (bold)
        font.setBold(true);
    return font;
}

QFont fontFittingHeight(QFont font, int pixels) {
    constexpr double SmallestSize = 6;
    constexpr double Step = 0.25;
    if (font.pointSizeF() <= 0) // sized in pixels: go on from its size in points
        font.setPointSizeF(QFontInfo(font).pointSizeF());
    while (QFontMetrics(font).height() > pixels && font.pointSizeF() - Step >= SmallestSize)
        font.setPointSizeF(font.pointSizeF() - Step);
    return font;
}

} // namespace sonavue
