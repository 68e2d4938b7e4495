// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The catalogue table, the ascending order, group values and group lists.
#include "catalogue/catalogue.h"
#include "catalogue/grouplist.h"
#include "catalogue/scanrows.h"
#include "support/datarow.h"
#include "tags/tagtext.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

using namespace sonavue;
using sonavue::testing::dataRow;

namespace {

// A cell's pieces joined into its text.
QString joined(const CellPieces& cell) {
    QString out;
    for (int k = 0; k < cell.count; ++k) {
        const TextPiece& piece = cell.pieces[k];
        if (piece.wide)
            out += QStringView(static_cast<const QChar*>(piece.data), piece.size);
        else
            out += QLatin1StringView(static_cast<const char*>(piece.data), piece.size);
    }
    return out;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void rowsAndCells() {
        Catalogue catalogue;
        QCOMPARE(catalogue.rowCount(), 0);
        QCOMPARE(catalogue.appendRow(), 0);
        QCOMPARE(catalogue.appendRow(), 1);
        QCOMPARE(catalogue.trackCount(), 2);
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            QVERIFY(catalogue.cell(c, 1).isEmpty());

        const QStringList texts = {"/m/a.mp3", "Title", "Album", "Artist",
                                   "1999",     "Rock",  "c",     "r"};
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            catalogue.setCell(c, 1, texts[c]);
        for (int c = 0; c < Catalogue::ColumnCount; ++c) {
            QCOMPARE(catalogue.cell(c, 1), texts[c]);
            QVERIFY(catalogue.cell(c, 0).isEmpty());
        }
        // Shared values are shared, not merged: each row keeps its own text.
        catalogue.setCell(ColAlbum, 0, QStringLiteral("Album"));
        catalogue.setCell(ColAlbum, 1, QStringLiteral("Other"));
        QCOMPARE(catalogue.cell(ColAlbum, 0), QStringLiteral("Album"));
        QCOMPARE(catalogue.cell(ColAlbum, 1), QStringLiteral("Other"));
        catalogue.setCell(ColReserved, 1, QString());
        QVERIFY(catalogue.cell(ColReserved, 1).isNull());
    }
    void outOfRangeReadsEmptyAndWritesNothing() {
        Catalogue catalogue;
        QVERIFY(catalogue.cell(0, 0).isEmpty());
        catalogue.setCell(0, 0, QStringLiteral("x")); // no row yet
        QCOMPARE(catalogue.rowCount(), 0);
        catalogue.appendRow();
        const std::initializer_list<std::pair<int, int>> outside = {
            {-1, 0}, {8, 0}, {0, -1}, {0, 1}};
        for (const auto& [column, row] : outside) {
            catalogue.setCell(column, row, QStringLiteral("x"));
            QVERIFY(catalogue.cell(column, row).isEmpty());
        }
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            QVERIFY(catalogue.cell(c, 0).isEmpty());
        QVERIFY(!catalogue.hasRow(1));
        QVERIFY(catalogue.hasRow(0));
    }
    void clearRemovesEveryRow() {
        Catalogue catalogue;
        for (int i = 0; i < 5000; ++i)
            catalogue.setCell(ColPath, catalogue.appendRow(), QStringLiteral("/m/%1.mp3").arg(i));
        catalogue.clear();
        QCOMPARE(catalogue.rowCount(), 0);
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/m/1.mp3")), -1);
        QVERIFY(catalogue.cell(ColPath, 1).isEmpty());
        QCOMPARE(catalogue.appendRow(), 0);
        QVERIFY(catalogue.cell(ColPath, 0).isEmpty());
    }
    void rowOfPathFindsEveryRow() {
        Catalogue catalogue;
        const int count = 20000; // several row chunks and index growths
        for (int i = 0; i < count; ++i)
            catalogue.setCell(ColPath, catalogue.appendRow(),
                              QStringLiteral("/music/f%1.mp3").arg(i));
        for (int i = 0; i < count; i += 7)
            QCOMPARE(catalogue.rowOfPath(QStringLiteral("/music/f%1.mp3").arg(i)), i);
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/music/f%1.mp3").arg(count)), -1);
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/MUSIC/f1.mp3")), -1); // exact text only
        QCOMPARE(catalogue.rowOfPath(QString()), -1);
        catalogue.squeeze();
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/music/f123.mp3")), 123);
    }
    void rowOfPathFollowsOverwrittenPaths() {
        Catalogue catalogue;
        const int a = catalogue.appendRow();
        const int b = catalogue.appendRow();
        catalogue.setCell(ColPath, a, QStringLiteral("/m/x.mp3"));
        catalogue.setCell(ColPath, a, QStringLiteral("/m/y.mp3"));
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/m/x.mp3")), -1);
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/m/y.mp3")), a);
        catalogue.setCell(ColPath, b, QStringLiteral("/m/x.mp3"));
        QCOMPARE(catalogue.rowOfPath(QStringLiteral("/m/x.mp3")), b);
    }
    // Every column reads back exactly what was written, whatever the text, and a path is
    // found again by its text alone.
    void cellsKeepAnyText_data() {
        QTest::addColumn<QString>("text");
        dataRow("empty", QStringLiteral(""));
        dataRow("plain", "/m/a/b.mp3");
        dataRow("latin-1", QStringLiteral("/m/\u00e9t\u00e9/\u00fc.mp3"));
        dataRow("beyond latin-1", QStringLiteral("/m/\u65e5\u672c/\u8a9e \U0001F3B5.mp3"));
        dataRow("escaped byte", QStringLiteral("/m/x") + QChar(0xDCFF) + QStringLiteral(".mp3"));
        dataRow("no folder", "a.mp3");
        dataRow("folder only", "/m/a/");
        dataRow("long", "/m/" + QString(300, QLatin1Char('n')));
        dataRow("longer than a block", "/m/" + QString(200000, QChar(0x263A)));
    }
    void cellsKeepAnyText() {
        QFETCH(QString, text);
        Catalogue catalogue;
        catalogue.appendRow();
        const int row = catalogue.appendRow();
        for (int c = 0; c < Catalogue::ColumnCount; ++c)
            catalogue.setCell(c, row, text);
        for (int c = 0; c < Catalogue::ColumnCount; ++c) {
            QCOMPARE(catalogue.cell(c, row), text);
            QCOMPARE(joined(catalogue.cellPieces(c, row)), text);
        }
        QCOMPARE(catalogue.rowOfPath(text), text.isEmpty() ? -1 : row);
        QCOMPARE(catalogue.rowOfPath(text + QLatin1Char('x')), -1);
    }

    void folderPrefix_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("prefix");
        dataRow("plain", "/home/u/Music", "/home/u/Music/");
        dataRow("trailing slash", "/home/u/Music/", "/home/u/Music/");
        dataRow("root", "/", "/");
    }
    void folderPrefix() {
        QFETCH(QString, folder);
        QFETCH(QString, prefix);
        QCOMPARE(folderPrefixFor(folder), prefix);
    }

    void compareAscending_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        dataRow("case ignored", "apple", "BANANA", -1);
        dataRow("case ignored, reversed", "Banana", "apple", 1);
        dataRow("tie broken by exact text", "ABC", "abc", -1);
        dataRow("equal", "abc", "abc", 0);
        dataRow("prefix first", "ab", "ABC", -1);
        dataRow("empty first", "", "a", -1);
        dataRow("separator after space", "a b/", "a/", -1);
        dataRow("non-ASCII folded", QString::fromUtf8("Éa"), QString::fromUtf8("éb"), -1);
        dataRow("non-ASCII tie", QString::fromUtf8("É"), QString::fromUtf8("é"), -1);
        dataRow("after common prefix", "Artist 01/Album 2/", "artist 01/album 10/", 1);
    }
    void compareAscending() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const auto sgn = [](int v) { return (v > 0) - (v < 0); };
        QCOMPARE(sgn(sonavue::compareAscending(a, b)), sign);
        QCOMPARE(sgn(sonavue::compareAscending(b, a)), -sign);
    }
    void compareAscendingAgreesWithQtOrder() {
        // The fast path must order exactly as Qt's case-insensitive compare, ties by exact text,
        // also for mixed ASCII, accented letters and characters outside the BMP.
        const QString alphabet = QString::fromUtf8("aAbBzZ /._-9éÉßẞ") + QChar(0xD801) +
                                 QChar(0xDC00) + QChar(0xD801) + QChar(0xDC28) + QChar(0xDCFF);
        QRandomGenerator random(1234);
        const auto word = [&] {
            QString s;
            const int n = int(random.bounded(6));
            for (int i = 0; i < n; ++i)
                s += alphabet.at(int(random.bounded(alphabet.size())));
            return s;
        };
        const auto sgn = [](int v) { return (v > 0) - (v < 0); };
        for (int i = 0; i < 20000; ++i) {
            const QString common = i % 2 ? word() : QString();
            const QString a = common + word(), b = common + word();
            int expected = QString::compare(a, b, Qt::CaseInsensitive);
            if (expected == 0)
                expected = QString::compare(a, b, Qt::CaseSensitive);
            if (sgn(sonavue::compareAscending(a, b)) != sgn(expected))
                QFAIL(qPrintable(QStringLiteral("order differs for \"%1\" and \"%2\"").arg(a, b)));
        }
    }
    void newGroupValue_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("result");
        dataRow("plain", "Rock", "Rock");
        dataRow("surrounding spaces go", "  Rock  ", "Rock");
        dataRow("NUL padding", QStringLiteral("abc") + QString(27, QChar(0)), "abc");
        dataRow("inner NUL becomes space", QStringLiteral("a") + QChar(0) + "b", "a b");
        dataRow("only NULs and spaces", QString(3, QChar(0)) + "  ", "");
        dataRow("empty", "", "");
    }
    void newGroupValue() {
        QFETCH(QString, value);
        QFETCH(QString, result);
        QSet<QString> seen;
        QCOMPARE(sonavue::newGroupValue(value, seen), result);
        QCOMPARE(seen.size(), result.isEmpty() ? 0 : 1);
        QCOMPARE(sonavue::newGroupValue(value, seen), QString()); // met again: nothing to add
    }
    void newGroupValueKeepsFirstSpelling() {
        QSet<QString> seen;
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("abc"), seen), QStringLiteral("abc"));
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("ABC"), seen), QString());
        QCOMPARE(sonavue::newGroupValue(QStringLiteral(" Abc "), seen), QString());
        QVERIFY(seen.contains(QStringLiteral("ABC")));
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("Classic Rock"), seen),
                 QStringLiteral("Classic Rock"));
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("Rock"), seen), QStringLiteral("Rock"));
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("Caf\u00e9"), seen),
                 QStringLiteral("Caf\u00e9"));
        QCOMPARE(sonavue::newGroupValue(QStringLiteral("CAF\u00c9"), seen), QString());
    }

    // A title or comment field is read without decoding when it is plain ASCII: the text must
    // be what decoding and cleaning it gives (padding of NULs and spaces cut at both ends, a
    // NUL inside read as a space), whatever the padding, the text's place in the field and
    // any odd byte in it; a blank title stands aside for the file's name.
    void tagFieldsReadAsDecoded() {
        std::vector<QByteArray> fields;
        for (const char pad : {'\0', ' '})
            for (int from = 0; from < 30; ++from)
                for (int to = from + 1; to <= 30; ++to) {
                    QByteArray field(30, pad);
                    for (int k = from; k < to; ++k)
                        field[k] = char('a' + k % 26);
                    fields.push_back(field);
                }
        for (const char odd : {'\0', ' ', '\xe9', '\x7f', 'Z'})
            for (int at = 0; at < 30; ++at) {
                QByteArray field = QByteArray("Hello World").leftJustified(30, '\0');
                field[at] = odd;
                fields.push_back(field);
            }
        fields.push_back(QByteArray(30, '\0'));
        Catalogue catalogue;
        GroupLists groups;
        SeenGroupValues seen;
        ScanRowWriter rows(catalogue, groups, seen);
        NameList files;
        files.add("x.mp3", 5);
        for (const QByteArray& field : fields) {
            char tag[TagSize] = "TAG";
            std::memcpy(tag + TitleField.offset, field.constData(), 30);
            std::memcpy(tag + CommentField.offset, field.constData(), 30);
            rows.write(QStringLiteral("/m/"), files, 0, tag, {}, TagCodePage::Western);
            const int r = catalogue.rowCount() - 1;
            const QString expected =
                cleanTagText(decodeTagText(field.constData(), 30, TagCodePage::Western));
            QCOMPARE(catalogue.cell(ColComment, r), expected);
            QCOMPARE(catalogue.cell(ColTitle, r),
                     expected.isEmpty() ? QStringLiteral("x.mp3") : expected);
        }
    }
    void ascendingListKeepsOrder_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("checkModel");
        QTest::addColumn<int>("arrival"); // 0 as met, 1 mostly last first, 2 mostly in order
        // The model tester looks at the whole model after every change: fewer entries there.
        dataRow("model checked", 700, true, 0);
        dataRow("many blocks", 5000, false, 0);
        dataRow("mostly last first, as folders", 700, true, 1);
        dataRow("mostly in order", 5000, false, 2);
    }
    void ascendingListKeepsOrder() {
        QFETCH(int, count);
        QFETCH(bool, checkModel);
        QFETCH(int, arrival);
        GroupList list(GroupList::Order::Ascending);
        std::optional<QAbstractItemModelTester> tester;
        if (checkModel)
            tester.emplace(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        QRandomGenerator random(42);
        // Enough entries to split blocks, with duplicates and case variants.
        QStringList values;
        for (int i = 0; i < count; ++i) {
            QString value = QStringLiteral("v%1").arg(random.bounded(count * 2 / 3));
            values.append(i % 3 == 0 ? value.toUpper() : value);
        }
        if (arrival != 0) { // sorted, then every tenth entry swapped with its neighbour
            std::sort(values.begin(), values.end(), lessAscending);
            if (arrival == 1)
                std::reverse(values.begin(), values.end());
            for (int i = 0; i + 1 < count; i += 10)
                values.swapItemsAt(i, i + 1);
        }
        QStringList expected;
        for (const QString& value : values) {
            const int index = list.add(value);
            QCOMPARE(list.at(index), value);
            QCOMPARE(inserted.last().at(1).toInt(), index);
            expected.append(value);
        }
        std::stable_sort(expected.begin(), expected.end(), lessAscending);
        QCOMPARE(list.entries(), expected);
        QCOMPARE(list.count(), expected.size());
        for (int i = 0; i < list.count(); i += 97)
            QCOMPARE(list.data(list.index(i)).toString(), expected.at(i));
        QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(reset.size(), 1);
    }
    void asMetListAppends() {
        GroupList list(GroupList::Order::AsMet);
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList expected;
        for (int i = 600; i > 0; --i) {
            const QString value = QStringLiteral("album %1").arg(i);
            QCOMPARE(list.add(value), expected.size());
            expected.append(value);
        }
        QCOMPARE(list.entries(), expected);
        QCOMPARE(list.rowCount(), 600);
    }
    void groupListOutsideIndexIsEmpty() {
        GroupList list(GroupList::Order::Ascending);
        QVERIFY(list.at(0).isNull());
        list.add(QStringLiteral("x"));
        QVERIFY(list.at(-1).isNull());
        QVERIFY(list.at(1).isNull());
        QVERIFY(!list.data(list.index(1)).isValid());
    }
    void deferredListShowsAdditionsWhenPublished_data() {
        QTest::addColumn<bool>("ascending");
        dataRow("ascending", true);
        dataRow("as met", false);
    }
    void deferredListShowsAdditionsWhenPublished() {
        QFETCH(bool, ascending);
        GroupList list(ascending ? GroupList::Order::Ascending : GroupList::Order::AsMet);
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.add(QStringLiteral("m"));
        list.setDeferred(true);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        QCOMPARE(list.add(QStringLiteral("z")), -1);
        list.add(QStringLiteral("a"));
        // Nothing shows until published: count, entries and the model agree.
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.pendingCount(), 2);
        QCOMPARE(inserted.count(), 0);
        list.publishPending();
        QCOMPARE(list.entries(),
                 ascending ? QStringList({"a", "m", "z"}) : QStringList({"m", "z", "a"}));
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(list.pendingCount(), 0);
        // Clearing drops what waits; turning deferral off publishes what waits.
        list.add(QStringLiteral("b"));
        list.clear();
        list.publishPending();
        QCOMPARE(list.count(), 0);
        list.add(QStringLiteral("c"));
        list.setDeferred(false);
        QCOMPARE(list.entries(), QStringList{"c"});
        QCOMPARE(list.add(QStringLiteral("d")), 1); // after "c", in either order
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue_table.moc"
