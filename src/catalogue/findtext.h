// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The text a find compares: tag text and what the user types are both folded so that
// letters which read alike are the same. Case goes (case folding), full-width and half-width
// forms become one (compatibility normalisation: "ＡＢＣ" is "ABC", half-width "ｶﾞ" is "ガ"),
// accents and the like go ("é" is "e", "Ü" is "u"), a few letters are spelled as they are
// typed without them ("ß" is "ss", "æ" is "ae", "ø" is "o"), hiragana becomes katakana ("が"
// is "ガ") while a voiced kana stays apart from the unvoiced one ("が" is not "か", "パ" not
// "ハ"), and a NUL becomes a space, so that NUL can end each text in an index and no folded
// query holds one.
#include <QByteArray>
#include <QString>
#include <initializer_list>

namespace sonavue {

QString foldedForFind(QStringView text);
// The same, as UTF-8 (the index's form).
QByteArray foldedUtf8ForFind(QStringView text);
// Several texts folded in one go (the fold's cost is mostly per call), each ended by a NUL.
QByteArray foldedUtf8ForFind(std::initializer_list<QStringView> texts);

} // namespace sonavue
