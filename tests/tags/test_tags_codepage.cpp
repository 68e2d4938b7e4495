// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Tag text in code page 932, decoded the way Windows decodes it.
#include "support/datarow.h"
#include "tags/codepage.h"

#include <QTest>

using namespace sonavue;
using sonavue::testing::dataRow;

class CodePageTest : public QObject {
    Q_OBJECT
private slots:
    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        auto u = [](std::initializer_list<char16_t> units) {
            QString s;
            for (char16_t c : units)
                s += QChar(c);
            return s;
        };
        dataRow("ascii", QByteArray("Hello, World"), "Hello, World");
        dataRow("backslash stays backslash", QByteArray("\x5C"), "\\");
        dataRow("tilde stays tilde", QByteArray("~"), "~");
        dataRow("nuls decode to nuls", QByteArray("ab\0\0", 4), u({'a', 'b', 0, 0}));
        dataRow("empty", QByteArray(), "");
        dataRow("hiragana", QByteArray("\x82\xA0\x82\xA2"), u({0x3042, 0x3044}));
        dataRow("kanji", QByteArray("\x93\xFA\x96\x7B\x8C\xEA"), u({0x65E5, 0x672C, 0x8A9E}));
        dataRow("half-width katakana", QByteArray("\xB1\xDF"), u({0xFF71, 0xFF9F}));
        dataRow("circled one (NEC row 13)", QByteArray("\x87\x40"), u({0x2460}));
        dataRow("parenthesized stock", QByteArray("\x87\x8A"), u({0x3231}));
        dataRow("square era meiji", QByteArray("\x87\x8D"), u({0x337E}));
        dataRow("ladder-high kanji (IBM extension)", QByteArray("\xFB\xFC"), u({0x9AD9}));
        dataRow("NEC-selected IBM extension", QByteArray("\xED\x40"), u({0x7E8A}));
        dataRow("IBM small roman one", QByteArray("\xFA\x40"), u({0x2170}));
        dataRow("wave dash is full-width tilde", QByteArray("\x81\x60"), u({0xFF5E}));
        dataRow("minus sign is full-width hyphen-minus", QByteArray("\x81\x7C"), u({0xFF0D}));
        dataRow("parallel", QByteArray("\x81\x61"), u({0x2225}));
        dataRow("not sign is full-width", QByteArray("\x81\xCA"), u({0xFFE2}));
        dataRow("horizontal bar", QByteArray("\x81\x5C"), u({0x2015}));
        dataRow("user-defined area", QByteArray("\xF0\x40\xF9\xFC"), u({0xE000, 0xE757}));
        dataRow("windows single bytes", QByteArray("\x80\xA0\xFD\xFE\xFF"),
                u({0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}));
        dataRow("lead byte cut off at the end", QByteArray("AB\x82"), u({'A', 'B', 0xFFFD}));
        dataRow("cut lead byte, then the rest",
                QByteArray("\x82"
                           "A\x82\xA0"),
                u({0xFFFD, 'A', 0x3042}));
        dataRow("lead byte before nul", QByteArray("\x82\0x", 3), u({0xFFFD, 0, 'x'}));
        dataRow("unmapped pair is one bad character", QByteArray("\x85\x80\x82\xA0z"),
                u({0xFFFD, 0x3042, 'z'}));
        dataRow("bad bytes between good text",
                QByteArray("a\x82"
                           " b\x82\xA0"
                           "c\x85\x40"),
                u({'a', 0xFFFD, ' ', 'b', 0x3042, 'c', 0xFFFD, '@'}));
        dataRow("mixed ascii and kanji", QByteArray("Track 01 \x8B\xC8"),
                QString::fromUtf8("Track 01 曲"));
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(decodeCodePage(bytes.constData(), bytes.size()), expected);
    }
    void encode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        dataRow("ascii", "abc", QByteArray("abc"));
        dataRow("kanji", QString::fromUtf8("日本語"), QByteArray("\x93\xFA\x96\x7B\x8C\xEA"));
        dataRow("circled one", QString(QChar(0x2460)), QByteArray("\x87\x40"));
        dataRow("full-width tilde", QString(QChar(0xFF5E)), QByteArray("\x81\x60"));
        dataRow("half-width katakana", QString(QChar(0xFF71)), QByteArray("\xB1"));
        dataRow("not in the code page", QString::fromUtf8("é"), QByteArray("?"));
        dataRow("surrogate pair is one character", QString::fromUtf8("a😀b"), QByteArray("a?b"));
        dataRow("lone surrogate", QString(QChar(0xD800)) + "x", QByteArray("?x"));
        dataRow("windows single byte", QString(QChar(0xF8F0)), QByteArray("\xA0"));
        dataRow("nul", QString("a") + QChar(0) + QString::fromUtf8("あ"),
                QByteArray("a\0\x82\xA0", 4));
    }
    void encode() {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(encodeCodePage(text), expected);
    }
    void everyPairDecodesToOneCharacterOrReplacements() {
        // Every lead byte with every second byte: a pair that decodes gives one character
        // that encodes back to a pair decoding the same; the trailing "Z" always survives.
        int decodedPairs = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF)
                continue;
            for (int trail = 0; trail <= 0xFF; ++trail) {
                const char bytes[3] = {char(lead), char(trail), 'Z'};
                const QString text = decodeCodePage(bytes, 3);
                QVERIFY2(text.endsWith(QLatin1Char('Z')),
                         qPrintable(QString::number(lead * 256 + trail, 16)));
                if (text.size() == 2 && text.at(0) != QChar(0xFFFD)) {
                    ++decodedPairs;
                    const QByteArray back = encodeCodePage(text.left(1));
                    QCOMPARE(back.size(), 2);
                    QCOMPARE(decodeCodePage(back.constData(), 2), text.left(1));
                }
            }
        }
        // Microsoft's table for code page 932 maps 7724 pairs to characters and 1880 more to
        // the private use area (user-defined characters).
        QCOMPARE(decodedPairs, 7724 + 1880);
    }
};

QTEST_GUILESS_MAIN(CodePageTest)
#include "test_tags_codepage.moc"
