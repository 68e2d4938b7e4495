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

// The blocks of marks that sit on Latin, Greek and Cyrillic letters (accents, cedillas,
// rings). The kana voicing marks (U+3099, U+309A) lie elsewhere: が stays apart from か.
bool isAccentMark(char16_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

// Letters that carry no mark to drop but are written as others are typed: "strasse" for
// "straße", "aether" for "æther", "lodz" for "łódź". Keys are case folded already.
const char* spelledAs(char16_t c) {
    switch (c) {
    case u'ß':
        return "ss";
    case u'æ':
        return "ae";
    case u'œ':
        return "oe";
    case u'ø':
        return "o";
    case u'đ':
        return "d";
    case u'ł':
        return "l";
    case u'ħ':
        return "h";
    case u'ı':
        return "i";
    default:
        return nullptr;
    }
}

// Case folded, compatibility decomposed text without its accent marks and with the letters
// above spelled out.
QString withoutAccents(QStringView text) {
    const QString decomposed =
        text.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (isAccentMark(c.unicode()))
            continue;
        if (const char* spelled = spelledAs(c.unicode()))
            out += QLatin1StringView(spelled);
        else
            out += c;
    }
    return out;
}

// The fold of text, whose NULs (the ends of texts folded together) stay: no decomposition,
// mark or composition crosses a NUL.
QString foldedKeepingNuls(const QString& text) {
    if (isAscii(text)) // most tag text: nothing to decompose or drop, case folding is lower case
        return text.toLower();
    // Composed again, so that a voiced kana is one character, apart from the unvoiced one.
    QString out = withoutAccents(text).normalized(QString::NormalizationForm_KC);
    for (QChar& c : out)
        c = QChar(foldedKana(c.unicode()));
    return out;
}

} // namespace

QString foldedForFind(QStringView text) {
    QString out = text.toString();
    out.replace(QChar(0), QLatin1Char(' '));
    return foldedKeepingNuls(out);
}

QByteArray foldedUtf8ForFind(QStringView text) {
    return foldedForFind(text).toUtf8();
}

QByteArray foldedUtf8ForFind(std::initializer_list<QStringView> texts) {
    QString joined;
    for (const QStringView text : texts) {
        const qsizetype from = joined.size();
        joined += text;
        QChar* const added = joined.data();
        for (qsizetype i = from; i < joined.size(); ++i)
            if (added[i].isNull())
                added[i] = QLatin1Char(' ');
        joined += QChar(0);
    }
    return foldedKeepingNuls(joined).toUtf8();
}

} // namespace sonavue
