// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "findlibrary.h"

#include <QStringList>
#include <random>

namespace sonavue::bench {
namespace {

const QStringList LatinWords{
    QStringLiteral("love"),    QStringLiteral("night"),  QStringLiteral("summer"),
    QStringLiteral("river"),   QStringLiteral("dream"),  QStringLiteral("light"),
    QStringLiteral("Blue"),    QStringLiteral("Heart"),  QStringLiteral("Road"),
    QStringLiteral("Morning"), QStringLiteral("Fire"),   QStringLiteral("Rain"),
    QStringLiteral("Winter"),  QStringLiteral("Ocean"),  QStringLiteral("Silver"),
    QStringLiteral("City"),    QStringLiteral("Shadow"), QStringLiteral("Garden"),
    QStringLiteral("Star"),    QStringLiteral("Song"),   QStringLiteral("Wild"),
    QStringLiteral("Echo"),    QStringLiteral("Velvet"), QStringLiteral("Paper")};

const QStringList JapaneseWords{
    QStringLiteral("さくら"),     QStringLiteral("サクラ"), QStringLiteral("ｻｸﾗ"),
    QStringLiteral("夜空"),       QStringLiteral("ひかり"), QStringLiteral("ヒカリ"),
    QStringLiteral("海"),         QStringLiteral("夏祭り"), QStringLiteral("ありがとう"),
    QStringLiteral("ﾄﾞﾗｲﾌﾞ"),     QStringLiteral("君の声"), QStringLiteral("メロディー"),
    QStringLiteral("風"),         QStringLiteral("ゆめ"),   QStringLiteral("雪の街"),
    QStringLiteral("ラブソング"), QStringLiteral("東京"),   QStringLiteral("ふたり")};

QString wordsFrom(const QStringList& words, std::mt19937& random, int count, QChar space) {
    std::uniform_int_distribution<int> pick(0, int(words.size()) - 1);
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << words[pick(random)];
    return out.join(space);
}

// Latin letters and digits as their full-width forms.
QString fullWidth(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c.unicode() > 0x20 && c.unicode() < 0x7F)
            c = QChar(char16_t(c.unicode() - 0x20 + 0xFF00));
    return out;
}

} // namespace

void fillFindLibrary(Catalogue& catalogue, int tracks) {
    std::mt19937 random(20260101);
    std::uniform_int_distribution<int> percent(0, 99), wordCount(1, 4);
    const int artists = std::max(1, tracks / 50);
    QString artist, album, folder;
    bool japanese = false;
    for (int row = 0; row < tracks; ++row) {
        const int track = row % 10;
        if (track == 0) { // a new album
            japanese = percent(random) < 16;
            const int number = std::uniform_int_distribution<int>(0, artists - 1)(random);
            artist = japanese ? wordsFrom(JapaneseWords, random, 2, QChar(0x3000)) +
                                    QString::number(number)
                              : QStringLiteral("The ") + wordsFrom(LatinWords, random, 2, u' ') +
                                    QStringLiteral(" %1").arg(number);
            album =
                wordsFrom(japanese ? JapaneseWords : LatinWords, random, wordCount(random), u' ');
            folder = QStringLiteral("/music/%1/%2 (%3)/").arg(artist, album).arg(row / 10);
        }
        QString title = wordsFrom(japanese ? JapaneseWords : LatinWords, random, wordCount(random),
                                  japanese ? QChar(0x3000) : QChar(u' '));
        if (!japanese && percent(random) < 3)
            title = fullWidth(title);
        const int r = catalogue.appendRow();
        catalogue.setCell(
            ColPath, r,
            folder + QStringLiteral("%1 %2.mp3").arg(track + 1, 2, 10, QChar(u'0')).arg(title));
        catalogue.setCell(ColTitle, r, title);
        catalogue.setCell(ColArtist, r, artist);
        catalogue.setCell(ColAlbum, r, album);
        catalogue.setCell(ColYear, r, QString::number(1970 + row % 50));
    }
    catalogue.squeeze();
}

} // namespace sonavue::bench
