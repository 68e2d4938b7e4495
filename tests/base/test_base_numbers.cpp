// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The number rules for values stored as text.
#include "base/numbers.h"
#include "support/datarow.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace sonavue;
using sonavue::testing::dataRow;

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        dataRow("hex white", "&Hffffff", 16777215.0);
        dataRow("hex lower h", "&h80", 128.0);
        dataRow("hex upper digits", "&HFF", 255.0);
        dataRow("hex stops at misfit", "&H1g", 1.0);
        dataRow("hex without digits", "&H", 0.0);
        dataRow("hex after spaces", "  &H10", 16.0);
        dataRow("ampersand alone", "&", 0.0);
        dataRow("leading spaces then letters", " 12abc", 12.0);
        dataRow("negative fraction", "-3.5", -3.5);
        dataRow("plus sign", "+7", 7.0);
        dataRow("fraction only", ".25", 0.25);
        dataRow("trailing dot", "5.", 5.0);
        dataRow("second dot stops", "1.2.3", 1.2);
        dataRow("no exponent", "1e3", 1.0);
        dataRow("sign then space", "- 3", 0.0);
        dataRow("empty", "", 0.0);
        dataRow("spaces only", "   ", 0.0);
        dataRow("words", "abc", 0.0);
        dataRow("nan text", "NaN", 0.0);
        dataRow("inf text", "inf", 0.0);
        dataRow("tab before", "\t42", 42.0);
        dataRow("large decimal", "12345678901234", 12345678901234.0);
        dataRow("full-width digits are not digits", QString::fromUtf8("１２"), 0.0);
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(sonavue::leadingNumber(text), expected);
    }
    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<qlonglong>("expected");
        dataRow("2.5", 2.5, 2LL);
        dataRow("3.5", 3.5, 4LL);
        dataRow("-2.5", -2.5, -2LL);
        dataRow("-3.5", -3.5, -4LL);
        dataRow("0.5", 0.5, 0LL);
        dataRow("1.5", 1.5, 2LL);
        dataRow("2.4999", 2.4999, 2LL);
        dataRow("2.5001", 2.5001, 3LL);
        dataRow("-0.4", -0.4, 0LL);
        dataRow("-1.6", -1.6, -2LL);
        dataRow("whole", 250.0, 250LL);
        dataRow("nan", std::numeric_limits<double>::quiet_NaN(), 0LL);
        dataRow("+inf", std::numeric_limits<double>::infinity(),
                std::numeric_limits<qlonglong>::max());
        dataRow("-inf", -std::numeric_limits<double>::infinity(),
                std::numeric_limits<qlonglong>::min());
        dataRow("1e300", 1e300, std::numeric_limits<qlonglong>::max());
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(qlonglong, expected);
        QCOMPARE(sonavue::roundHalfEven(value), expected);
    }
    void truthValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1 means "not a truth value"
        dataRow("True", "True", 1);
        dataRow("FALSE", "FALSE", 0);
        dataRow("spaced true", " true ", 1);
        dataRow("mixed case", "fAlSe", 0);
        dataRow("zero", "0", 0);
        dataRow("minus one", "-1", 1);
        dataRow("fraction", "2.5", 1);
        dataRow("zero fraction", "0.0", 0);
        dataRow("hex", "&H10", 1);
        dataRow("yes", "yes", -1);
        dataRow("empty", "", -1);
        dataRow("number then text", "12abc", -1);
        dataRow("truex", "truex", -1);
        dataRow("sign only", "-", -1);
    }
    void truthValue() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<bool> value = sonavue::truthValue(text);
        if (expected < 0) {
            QVERIFY(!value.has_value());
        } else {
            QVERIFY(value.has_value());
            QCOMPARE(*value, expected == 1);
        }
    }
    void rowNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("expected");
        dataRow("zero", "0", true, 0);
        dataRow("above 16 bits", "40000", true, 40000);
        dataRow("int max", "2147483647", true, 2147483647);
        dataRow("int min", "-2147483648", true, std::numeric_limits<int>::min());
        dataRow("past int max", "2147483648", false, 0);
        dataRow("huge", "99999999999999999999999", false, 0);
        dataRow("spaces kept apart", " 12 ", true, 12);
        dataRow("garbage", "abc", false, 0);
        dataRow("trailing letters", "12abc", false, 0);
        dataRow("fraction", "1.5", false, 0);
        dataRow("empty", "", false, 0);
        dataRow("sign only", "+", false, 0);
    }
    void rowNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, expected);
        const std::optional<int> row = sonavue::rowNumber(text);
        QCOMPARE(row.has_value(), valid);
        if (valid)
            QCOMPARE(*row, expected);
    }
    void wholeNumberOr_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("expected"); // fallback is always -99
        dataRow("plain", "250", 64, 255, 250);
        dataRow("half to even down", "64.5", 64, 255, 64);
        dataRow("half to even up", "65.5", 64, 255, 66);
        dataRow("below range", "10", 64, 255, -99);
        dataRow("above range", "256", 64, 255, -99);
        // Text without digits is 0, not the fallback: an empty stored value is no missing one.
        dataRow("no digits", "abc", 0, 2, 0);
        dataRow("empty", "", 0, 1, 0);
        dataRow("blank", "   ", 0, 1, 0);
        dataRow("empty outside range", "", 64, 255, -99);
        dataRow("leading digits", "2 points", 0, 2, 2);
        dataRow("hex colour", "&Hffffff", -1, 16777215, 16777215);
        dataRow("huge hex", "&Hffffffffffffffffff", std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max(), -99);
        dataRow("huge decimal", QString(400, QLatin1Char('9')), std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max(), -99);
        dataRow("huge negative", "-" + QString(400, QLatin1Char('9')),
                std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -99);
        dataRow("nan text", "nan", 0, 10, 0);
    }
    void wholeNumberOr() {
        QFETCH(QString, text);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, expected);
        QCOMPARE(sonavue::wholeNumberOr(text, -99, low, high), expected);
    }
};

QTEST_GUILESS_MAIN(NumbersTest)
#include "test_base_numbers.moc"
