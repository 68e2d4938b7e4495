// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Deterministic random file names through the path conversion: any bytes come back
// exactly, and names that are valid UTF-8 read as their text (a leading EF BB BF is the
// character U+FEFF, not a byte-order mark to drop).
#include "base/nativepath.h"
#include "support/datarow.h"

#include <QTest>
#include <random>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {

// Bytes built from pieces that trouble a decoder: the mark, truncated and overlong
// sequences, encoded surrogates, four-byte characters and plain text.
QByteArray randomName(std::mt19937_64& random) {
    static const char* const pieces[] = {"\xEF\xBB\xBF",
                                         "\xEF\xBB",
                                         "\xEF",
                                         "\xC0\x80",
                                         "\xED\xA0\x80",
                                         "\xED\xB2\x80",
                                         "\xF0\x9F\x8E\xB5",
                                         "\xF4\x90\x80\x80",
                                         "\xE6\x97\xA5",
                                         "\xC3\xA9",
                                         "\x80",
                                         "\xFF",
                                         "\xFE",
                                         "a",
                                         "/",
                                         " ",
                                         ".mp3"};
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<std::size_t> which(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> byte(1, 255);
    std::bernoulli_distribution rawByte(0.15);
    QByteArray out;
    for (int n = count(random); n > 0; --n) {
        if (rawByte(random))
            out += char(byte(random));
        else
            out += pieces[which(random)];
    }
    return out;
}

} // namespace

class RandomPathsTest : public QObject {
    Q_OBJECT
private slots:
    void bytesComeBackExactly() {
        std::mt19937_64 random(11);
        for (int i = 0; i < 200000; ++i) {
            const QByteArray name = randomName(random);
            const QString text = pathFromNative(name);
            if (pathToNative(text) != name)
                QFAIL(qPrintable("not kept: " + name.toHex(' ')));
        }
    }
    void validUtf8ReadsAsItsText() {
        std::mt19937_64 random(12);
        int valid = 0;
        for (int i = 0; i < 100000; ++i) {
            const QByteArray name = randomName(random);
            // A leading letter keeps QString::fromUtf8 from taking EF BB BF for a mark.
            const QString expected = QString::fromUtf8("a" + name).mid(1);
            if (expected.contains(QChar::ReplacementCharacter))
                continue; // not valid UTF-8: escaped bytes, checked above
            ++valid;
            if (pathFromNative(name) != expected)
                QFAIL(qPrintable("misread: " + name.toHex(' ')));
        }
        QVERIFY(valid > 1000);
    }
    void byteOrderMarkIsKept_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString mark(QChar(0xFEFF));
        dataRow("whole name", QByteArray("\xEF\xBB\xBF"), mark);
        dataRow("name start", QByteArray("\xEF\xBB\xBFsong.mp3"), mark + "song.mp3");
        dataRow("twice", QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"), mark + mark);
        dataRow("after a stray byte", QByteArray("\xFF\xEF\xBB\xBFx"), QChar(0xDCFF) + mark + "x");
        dataRow("after a separator", QByteArray("/m/\xEF\xBB\xBF"), "/m/" + mark);
    }
    void byteOrderMarkIsKept() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(pathFromNative(bytes), text);
        QCOMPARE(pathToNative(text), bytes);
    }
};

QTEST_GUILESS_MAIN(RandomPathsTest)
#include "test_fuzz_randompaths.moc"
