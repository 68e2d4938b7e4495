// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The text a find compares: tag text and what the user types are both folded so that
// letters which read alike are the same. Case goes (case folding), full-width and half-width
// forms become one (compatibility normalisation, NFKC: "ＡＢＣ" is "ABC", half-width "ｶﾞ" is
// "ガ"), hiragana becomes katakana ("が" is "ガ"), and a NUL becomes a space, so that NUL can
// end each text in an index and no folded query holds one.
#include <QByteArray>
#include <QString>

namespace sonavue {

QString foldedForFind(QStringView text);
// The same, as UTF-8 (the index's form).
QByteArray foldedUtf8ForFind(QStringView text);

} // namespace sonavue
