// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "tags/tagtext.h"

namespace sonavue {

QString cleanTagText(const QString& text) {
    qsizetype a = 0, b = text.size();
    // A NUL becomes a space, so NULs and spaces are trimmed alike at both ends.
    auto blank = [&](qsizetype i) {
        const char16_t u = text.at(i).unicode();
        return u == u' ' || u == 0;
    };
    while (a < b && blank(a))
        ++a;
    while (b > a && blank(b - 1))
        --b;
    QString out = text.mid(a, b - a);
    out.replace(QChar(0), QLatin1Char(' '));
    return out;
}

} // namespace sonavue
