// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The genre table.
#include "support/datarow.h"
#include "tags/genre.h"

#include <QSet>
#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

using namespace sonavue;
using sonavue::testing::dataRow;

class GenreTest : public QObject {
    Q_OBJECT
private slots:
    // The first test: the table is not built yet.
    void readableFromManyThreadsAtOnce() {
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
    void names_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        dataRow("0", 0, "Blues");
        dataRow("12", 12, "Other");
        dataRow("14", 14, "R&B");
        dataRow("25", 25, "Euro-tecno");
        dataRow("29", 29, "Juzz+Funk");
        dataRow("40", 40, "AlternRock");
        dataRow("85", 85, "Bedob");
        dataRow("90", 90, "Avantagarde");
        dataRow("96", 96, "Big band");
        dataRow("101", 101, "SpeechChanson");
        dataRow("118", 118, "Rhytmic Soul");
        dataRow("127", 127, "Dram & Bass");
        dataRow("136", 136, "Chiristian Gangsta Rap");
        dataRow("145", 145, "Anime");
        dataRow("146", 146, "JPop");
        dataRow("147", 147, "Synthpop");
        dataRow("148", 148, "unknown");
        dataRow("247", 247, "unknown");
        dataRow("248", 248, "Heavy Rock");
        dataRow("249", 249, "Doom Rock");
        dataRow("250", 250, "J-POP");
        dataRow("251", 251, "Seiyu");
        dataRow("252", 252, "Tecno Ambient");
        dataRow("253", 253, "Moemoe");
        dataRow("254", 254, "Tokusatsu");
        dataRow("255", 255, "Anime(J)");
    }
    void names() {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(genreName(static_cast<unsigned char>(code)), name);
    }
    void everyCodeHasAName() {
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
    void unknownRange() {
        for (int code = 0; code < 256; ++code)
            QCOMPARE(genreName(static_cast<unsigned char>(code)) == QLatin1String("unknown"),
                     code >= 148 && code <= 247);
    }
};

QTEST_GUILESS_MAIN(GenreTest)
#include "test_tags_genre.moc"
