// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Cleaning tag text.
#include "support/datarow.h"
#include "tags/tagtext.h"

#include <QTest>

using namespace sonavue;
using sonavue::testing::dataRow;

class TagTextTest : public QObject {
    Q_OBJECT
private slots:
    void clean_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QChar nul(0);
        dataRow("letters then nuls", QString("abc") + QString(27, nul), "abc");
        dataRow("nul between words", QString("two") + nul + "words", "two words");
        dataRow("only nuls and spaces", QString(" ") + nul + "  " + nul, "");
        dataRow("leading spaces and nuls", QString(nul) + "  x", "x");
        dataRow("inner spaces kept", "  a  b  ", "a  b");
        dataRow("tabs are not spaces", "\tx\t", "\tx\t");
        dataRow("ideographic space is not a space", QString::fromUtf8("\u3000曲\u3000"),
                QString::fromUtf8("\u3000曲\u3000"));
        dataRow("empty", "", "");
    }
    void clean() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(cleanTagText(text), expected);
    }
};

QTEST_GUILESS_MAIN(TagTextTest)
#include "test_tags_tagtext.moc"
