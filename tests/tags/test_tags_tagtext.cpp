// Cleaning tag text.
#include "tags/tagtext.h"

#include <QTest>

using namespace sonavue;

class TagTextTest : public QObject {
    Q_OBJECT
private slots:
    void clean_data();
    void clean();
};

void TagTextTest::clean_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QChar nul(0);
    QTest::newRow("letters then nuls") << QString("abc") + QString(27, nul) << "abc";
    QTest::newRow("nul between words") << QString("two") + nul + "words"
                                       << "two words";
    QTest::newRow("only nuls and spaces") << QString(" ") + nul + "  " + nul << "";
    QTest::newRow("leading spaces and nuls") << QString(nul) + "  x"
                                             << "x";
    QTest::newRow("inner spaces kept") << "  a  b  "
                                       << "a  b";
    QTest::newRow("tabs are not spaces") << "\tx\t"
                                         << "\tx\t";
    QTest::newRow("ideographic space is not a space")
        << QString::fromUtf8("\u3000曲\u3000") << QString::fromUtf8("\u3000曲\u3000");
    QTest::newRow("empty") << ""
                           << "";
}

void TagTextTest::clean() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(cleanTagText(text), expected);
}

QTEST_GUILESS_MAIN(TagTextTest)
#include "test_tags_tagtext.moc"
