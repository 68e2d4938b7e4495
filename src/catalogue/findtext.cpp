// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/findtext.h"

namespace sonavue {
namespace {

constexpr char16_t HiraganaFirst = 0x3041;          // ぁ
constexpr char16_t HiraganaLast = 0x3096;           // ゖ
constexpr char16_t HiraganaIterationFirst = 0x309D; // ゝ, ゞ
constexpr char16_t HiraganaIterationLast = 0x309E;
constexpr char16_t KatakanaOffset = 0x60; // ァ - ぁ

bool isAscii(QStringView text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char16_t foldedKana(char16_t c) {
    const bool hiragana = (c >= HiraganaFirst && c <= HiraganaLast) ||
                          (c >= HiraganaIterationFirst && c <= HiraganaIterationLast);
    return hiragana ? char16_t(c + KatakanaOffset) : c;
}

} // namespace

QString foldedForFind(QStringView text) {
    QString out;
    if (isAscii(text)) {
        // Most tag text: NFKC leaves ASCII as it is, and case folding is lower case.
        out = text.toString().toLower();
    } else {
        out = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
        for (QChar& c : out)
            c = QChar(foldedKana(c.unicode()));
    }
    out.replace(QChar(0), QLatin1Char(' '));
    return out;
}

QByteArray foldedUtf8ForFind(QStringView text) {
    return foldedForFind(text).toUtf8();
}

} // namespace sonavue
