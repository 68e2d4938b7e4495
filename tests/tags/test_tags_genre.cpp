// The genre table.
#include "tags/genre.h"

#include <QSet>
#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

using namespace sonavue;

class GenreTest : public QObject {
    Q_OBJECT
private slots:
    void readableFromManyThreadsAtOnce(); // first: the table is not built yet
    void names_data();
    void names();
    void everyCodeHasAName();
    void unknownRange();
};

void GenreTest::names_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "Blues";
    QTest::newRow("12") << 12 << "Other";
    QTest::newRow("14") << 14 << "R&B";
    QTest::newRow("25") << 25 << "Euro-tecno";
    QTest::newRow("29") << 29 << "Juzz+Funk";
    QTest::newRow("40") << 40 << "AlternRock";
    QTest::newRow("85") << 85 << "Bedob";
    QTest::newRow("90") << 90 << "Avantagarde";
    QTest::newRow("96") << 96 << "Big band";
    QTest::newRow("101") << 101 << "SpeechChanson";
    QTest::newRow("118") << 118 << "Rhytmic Soul";
    QTest::newRow("127") << 127 << "Dram & Bass";
    QTest::newRow("136") << 136 << "Chiristian Gangsta Rap";
    QTest::newRow("145") << 145 << "Anime";
    QTest::newRow("146") << 146 << "JPop";
    QTest::newRow("147") << 147 << "Synthpop";
    QTest::newRow("148") << 148 << "unknown";
    QTest::newRow("247") << 247 << "unknown";
    QTest::newRow("248") << 248 << "Heavy Rock";
    QTest::newRow("249") << 249 << "Doom Rock";
    QTest::newRow("250") << 250 << "J-POP";
    QTest::newRow("251") << 251 << "Seiyu";
    QTest::newRow("252") << 252 << "Tecno Ambient";
    QTest::newRow("253") << 253 << "Moemoe";
    QTest::newRow("254") << 254 << "Tokusatsu";
    QTest::newRow("255") << 255 << "Anime(J)";
}

void GenreTest::names() {
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(genreName(static_cast<unsigned char>(code)), name);
}

void GenreTest::everyCodeHasAName() {
    QSet<QString> distinct;
    for (int code = 0; code < 256; ++code) {
        const QString& name = genreName(static_cast<unsigned char>(code));
        QVERIFY(!name.isEmpty());
        QCOMPARE(name.trimmed(), name);
        distinct.insert(name);
    }
    // 148 listed names, "unknown" and the program's own 8 are all different.
    QCOMPARE(distinct.size(), 148 + 1 + 8);
}

void GenreTest::unknownRange() {
    for (int code = 0; code < 256; ++code)
        QCOMPARE(genreName(static_cast<unsigned char>(code)) == QLatin1String("unknown"),
                 code >= 148 && code <= 247);
}

void GenreTest::readableFromManyThreadsAtOnce() {
    // The scan's readers may be the first to ask: every thread sees the whole table.
    std::vector<std::thread> readers;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t)
        readers.emplace_back([&wrong] {
            for (int code = 0; code < 256; ++code)
                if (genreName(static_cast<unsigned char>(code)).isEmpty())
                    ++wrong;
        });
    for (std::thread& reader : readers)
        reader.join();
    QCOMPARE(wrong.load(), 0);
    QCOMPARE(genreName(255), QStringLiteral("Anime(J)"));
}

QTEST_GUILESS_MAIN(GenreTest)
#include "test_tags_genre.moc"
