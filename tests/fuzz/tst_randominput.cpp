// Deterministic random input for the parsers: code-page text, tag records, settings files
// and number texts. Fixed seeds, so a failure is repeatable; runs in a few seconds.
#include "base/numbers.h"
#include "base/settings.h"
#include "tags/codepage.h"
#include "tags/id3v1.h"
#include "tags/tagcodepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <random>

using namespace sonavue;

namespace {

using Random = std::mt19937_64;

QByteArray randomBytes(Random& random, int maxSize) {
    std::uniform_int_distribution<int> size(0, maxSize);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size(random), Qt::Uninitialized);
    for (char& c : bytes)
        c = char(byte(random));
    return bytes;
}

// Random text built from pieces that matter to a settings file.
QByteArray randomIni(Random& random) {
    static const char* const pieces[] = {
        "[init]",       "[INIT]",   "[ init ]", "[other]", "[",    "]",  "=",
        "==",           "\n",       "\r\n",     "\r",      "\"",   "'",  " ",
        "\t",           "Folder",   "folder",   "alph",    "k",    "=v", "\0",
        "\xEF\xBB\xBF", "\xff\xfe", "\x82\xA0", ";",       "value"};
    std::uniform_int_distribution<int> count(0, 40);
    std::uniform_int_distribution<std::size_t> which(0, std::size(pieces) - 1);
    std::bernoulli_distribution junk(0.1);
    QByteArray out;
    for (int n = count(random); n > 0; --n) {
        if (junk(random))
            out += randomBytes(random, 8);
        else {
            const char* piece = pieces[which(random)];
            out += piece[0] == 0 ? QByteArray(1, '\0') : QByteArray(piece);
        }
    }
    return out;
}

QString randomText(Random& random) {
    static const QString alphabet = QString::fromUtf8("0123456789&hH+-. \teE,xabcfF日\u3000");
    std::uniform_int_distribution<int> size(0, 24);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    QString text;
    for (int n = size(random); n > 0; --n)
        text += alphabet.at(pick(random));
    return text;
}

bool writable(const QString& value) {
    return !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')) &&
           !value.contains(QChar(0));
}

} // namespace

class RandomInputTest : public QObject {
    Q_OBJECT
private slots:
    void codePage();
    void tagCodePages();
    void tagRecords();
    void settingsFiles();
    void numberTexts();
};

void RandomInputTest::codePage() {
    Random random(932);
    for (int round = 0; round < 20000; ++round) {
        const QByteArray bytes = randomBytes(random, 64);
        const QString text = decodeCodePage(bytes.constData(), bytes.size());
        // One character at most per byte, none from outside the basic plane.
        QVERIFY(text.size() <= bytes.size());
        for (QChar c : text)
            QVERIFY(!c.isSurrogate());
        // Text without replacement characters encodes to bytes that decode the same.
        if (!text.contains(QChar(0xFFFD))) {
            const QByteArray again = encodeCodePage(text);
            QCOMPARE(decodeCodePage(again.constData(), again.size()), text);
        }
        // Decoding goes on after a bad byte: a suffix of ASCII survives unchanged.
        const QByteArray tail = bytes + "\x82 ok";
        QVERIFY(decodeCodePage(tail.constData(), tail.size()).endsWith(QLatin1String("ok")));
    }
}

void RandomInputTest::tagCodePages() {
    Random random(65001);
    const TagCodePage pages[] = {TagCodePage::ShiftJis, TagCodePage::Western, TagCodePage::Utf8,
                                 TagCodePage::Auto};
    for (int round = 0; round < 20000; ++round) {
        const QByteArray bytes = randomBytes(random, 40);
        const QByteArray tail = bytes + "\x82 ok";
        for (const TagCodePage page : pages) {
            const QString text = decodeTagText(bytes.constData(), bytes.size(), page);
            QVERIFY(text.size() <= bytes.size());
            QVERIFY(text.isValidUtf16());
            QVERIFY(
                decodeTagText(tail.constData(), tail.size(), page).endsWith(QLatin1String("ok")));
        }
        char raw[TagSize] = {};
        std::memcpy(raw, tail.constData(), std::size_t(qMin<qsizetype>(tail.size(), TagSize)));
        ID3v1Record record;
        decodeID3v1(raw, record, pages[round % 4]);
        QCOMPARE(record.Title.size(), 30);
        QCOMPARE(record.Comment.size(), 30);
    }
}

void RandomInputTest::tagRecords() {
    Random random(128);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20000; ++round) {
        char raw[TagSize];
        for (char& c : raw)
            c = char(byte(random));
        if (round % 2 == 0)
            std::memcpy(raw, "TAG", 3);
        ID3v1Record record;
        decodeID3v1(raw, record);
        QCOMPARE(record.Header.size(), 3);
        QCOMPARE(record.Title.size(), 30);
        QCOMPARE(record.Artist.size(), 30);
        QCOMPARE(record.Album.size(), 30);
        QCOMPARE(record.Year.size(), 4);
        QCOMPARE(record.Comment.size(), 30);
        QCOMPARE(int(record.Genre), int(static_cast<unsigned char>(raw[127])));
        QCOMPARE(record.hasTag(), round % 2 == 0 || std::memcmp(raw, "TAG", 3) == 0);
    }
}

void RandomInputTest::settingsFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Sonavue.ini");
    Random random(1252);
    static const QString keys[] = {"Folder", "alph", "k", "color"};
    std::uniform_int_distribution<int> keyIndex(0, 3);
    for (int round = 0; round < 400; ++round) { // each write waits for the disk
        const QByteArray contents = randomIni(random);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(contents);
        }
        const int index = keyIndex(random);
        const QString key = keys[index];
        const QString other = keys[(index + 1) % 4];
        const QString otherBefore = readIniValue(path, "init", other, "DEFAULT");
        const QString value = readIniValue(path, "init", key, "DEFAULT");
        QVERIFY(value.size() <= 255 || value == QLatin1String("DEFAULT"));

        const QString written = QString::fromUtf8(randomIni(random)).left(300);
        const bool ok = writeIniValue(path, "init", key, written);
        QCOMPARE(ok, writable(written));
        if (ok) {
            // What was written reads back (up to the 255-character cut), and another key
            // of the section reads as before.
            QString expected = written.left(255);
            if (expected.size() == 255 && expected.back().isHighSurrogate())
                expected.chop(1); // the cut never leaves half a character
            QCOMPARE(readIniValue(path, "init", key, "DEFAULT"), expected);
            QCOMPARE(readIniValue(path, "init", other, "DEFAULT"), otherBefore);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), contents);
        }
    }
}

void RandomInputTest::numberTexts() {
    Random random(255);
    std::uniform_int_distribution<int> anyInt(std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max());
    for (int round = 0; round < 50000; ++round) {
        const QString text = randomText(random);
        const double value = leadingNumber(text);
        QVERIFY(!std::isnan(value));
        const int whole = wholeNumberOr(text, -7, 0, 255);
        QVERIFY(whole == -7 || (whole >= 0 && whole <= 255));
        (void)truthValue(text);
        if (const std::optional<int> row = rowNumber(text))
            QCOMPARE(QString::number(*row), QString::number(text.trimmed().toLongLong()));

        const int n = anyInt(random);
        QCOMPARE(rowNumber(QString::number(n)), std::optional<int>(n));
        QCOMPARE(leadingNumber(QString::number(n)), double(n));
        QCOMPARE(truthValue(QString::number(n)), std::optional<bool>(n != 0));
    }
}

QTEST_GUILESS_MAIN(RandomInputTest)
#include "tst_randominput.moc"
