// The number rules for values stored as text.
#include "base/numbers.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace sonavue;

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void roundHalfEven_data();
    void roundHalfEven();
    void truthValue_data();
    void truthValue();
    void rowNumber_data();
    void rowNumber();
    void wholeNumberOr_data();
    void wholeNumberOr();
};

void NumbersTest::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("hex white") << "&Hffffff" << 16777215.0;
    QTest::newRow("hex lower h") << "&h80" << 128.0;
    QTest::newRow("hex upper digits") << "&HFF" << 255.0;
    QTest::newRow("hex stops at misfit") << "&H1g" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("hex after spaces") << "  &H10" << 16.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("leading spaces then letters") << " 12abc" << 12.0;
    QTest::newRow("negative fraction") << "-3.5" << -3.5;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("fraction only") << ".25" << 0.25;
    QTest::newRow("trailing dot") << "5." << 5.0;
    QTest::newRow("second dot stops") << "1.2.3" << 1.2;
    QTest::newRow("no exponent") << "1e3" << 1.0;
    QTest::newRow("sign then space") << "- 3" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("spaces only") << "   " << 0.0;
    QTest::newRow("words") << "abc" << 0.0;
    QTest::newRow("nan text") << "NaN" << 0.0;
    QTest::newRow("inf text") << "inf" << 0.0;
    QTest::newRow("tab before") << "\t42" << 42.0;
    QTest::newRow("large decimal") << "12345678901234" << 12345678901234.0;
    QTest::newRow("full-width digits are not digits") << QString::fromUtf8("１２") << 0.0;
}

void NumbersTest::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(sonavue::leadingNumber(text), expected);
}

void NumbersTest::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("2.5") << 2.5 << 2LL;
    QTest::newRow("3.5") << 3.5 << 4LL;
    QTest::newRow("-2.5") << -2.5 << -2LL;
    QTest::newRow("-3.5") << -3.5 << -4LL;
    QTest::newRow("0.5") << 0.5 << 0LL;
    QTest::newRow("1.5") << 1.5 << 2LL;
    QTest::newRow("2.4999") << 2.4999 << 2LL;
    QTest::newRow("2.5001") << 2.5001 << 3LL;
    QTest::newRow("-0.4") << -0.4 << 0LL;
    QTest::newRow("-1.6") << -1.6 << -2LL;
    QTest::newRow("whole") << 250.0 << 250LL;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0LL;
    QTest::newRow("+inf") << std::numeric_limits<double>::infinity()
                          << std::numeric_limits<qlonglong>::max();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity()
                          << std::numeric_limits<qlonglong>::min();
    QTest::newRow("1e300") << 1e300 << std::numeric_limits<qlonglong>::max();
}

void NumbersTest::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(qlonglong, expected);
    QCOMPARE(sonavue::roundHalfEven(value), expected);
}

void NumbersTest::truthValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1 means "not a truth value"
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("FALSE") << "FALSE" << 0;
    QTest::newRow("spaced true") << " true " << 1;
    QTest::newRow("mixed case") << "fAlSe" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("minus one") << "-1" << 1;
    QTest::newRow("fraction") << "2.5" << 1;
    QTest::newRow("zero fraction") << "0.0" << 0;
    QTest::newRow("hex") << "&H10" << 1;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("number then text") << "12abc" << -1;
    QTest::newRow("truex") << "truex" << -1;
    QTest::newRow("sign only") << "-" << -1;
}

void NumbersTest::truthValue() {
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

void NumbersTest::rowNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("above 16 bits") << "40000" << true << 40000;
    QTest::newRow("int max") << "2147483647" << true << 2147483647;
    QTest::newRow("int min") << "-2147483648" << true << std::numeric_limits<int>::min();
    QTest::newRow("past int max") << "2147483648" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0;
    QTest::newRow("spaces kept apart") << " 12 " << true << 12;
    QTest::newRow("garbage") << "abc" << false << 0;
    QTest::newRow("trailing letters") << "12abc" << false << 0;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "+" << false << 0;
}

void NumbersTest::rowNumber() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, expected);
    const std::optional<int> row = sonavue::rowNumber(text);
    QCOMPARE(row.has_value(), valid);
    if (valid)
        QCOMPARE(*row, expected);
}

void NumbersTest::wholeNumberOr_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("expected"); // fallback is always -99
    QTest::newRow("plain") << "250" << 64 << 255 << 250;
    QTest::newRow("half to even down") << "64.5" << 64 << 255 << 64;
    QTest::newRow("half to even up") << "65.5" << 64 << 255 << 66;
    QTest::newRow("below range") << "10" << 64 << 255 << -99;
    QTest::newRow("above range") << "256" << 64 << 255 << -99;
    // Text without digits is 0, not the fallback: an empty stored value is no missing one.
    QTest::newRow("no digits") << "abc" << 0 << 2 << 0;
    QTest::newRow("empty") << "" << 0 << 1 << 0;
    QTest::newRow("blank") << "   " << 0 << 1 << 0;
    QTest::newRow("empty outside range") << "" << 64 << 255 << -99;
    QTest::newRow("leading digits") << "2 points" << 0 << 2 << 2;
    QTest::newRow("hex colour") << "&Hffffff" << -1 << 16777215 << 16777215;
    QTest::newRow("huge hex") << "&Hffffffffffffffffff" << std::numeric_limits<int>::min()
                              << std::numeric_limits<int>::max() << -99;
    QTest::newRow("huge decimal") << QString(400, QLatin1Char('9'))
                                  << std::numeric_limits<int>::min()
                                  << std::numeric_limits<int>::max() << -99;
    QTest::newRow("huge negative")
        << "-" + QString(400, QLatin1Char('9')) << std::numeric_limits<int>::min()
        << std::numeric_limits<int>::max() << -99;
    QTest::newRow("nan text") << "nan" << 0 << 10 << 0;
}

void NumbersTest::wholeNumberOr() {
    QFETCH(QString, text);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, expected);
    QCOMPARE(sonavue::wholeNumberOr(text, -99, low, high), expected);
}

QTEST_GUILESS_MAIN(NumbersTest)
#include "test_base_numbers.moc"
