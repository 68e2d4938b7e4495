// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Deterministic random input for the parsers: code-page text, tag records, ID3v2 tags,
// settings files and number texts. Fixed seeds, so a failure is repeatable; runs in a few seconds.
#include "base/numbers.h"
#include "base/settings.h"
#include "randombytes.h"
#include "support/id3v2tag.h"
#include "support/musicfiles.h"
#include "tags/codepage.h"
#include "tags/id3v1.h"
#include "tags/id3v2tags.h"
#include "tags/tagcodepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <random>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

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

// Valid tags of every version, to be damaged: the six frames in each text encoding the
// version has, some unsynchronised, some with an extended header or padding.
QList<QByteArray> id3v2Seeds() {
    using namespace sonavue::testing::id3v2;
    const QStringList texts{
        QString::fromUtf8("Tïtle 夜ÿ"), "Artist", "Album", "2001", "(17)Rock", "Comment"};
    QList<QByteArray> seeds;
    for (const int version : {2, 3, 4}) {
        for (const Encoding encoding : {Latin1, Utf16Bom, Utf16Be, Utf8}) {
            if (version < 4 && (encoding == Utf16Be || encoding == Utf8))
                continue;
            const QByteArray frames = sixFrames(version, encoding, texts);
            seeds << tag(version, frames) << tag(version, frames + QByteArray(300, '\0'));
            if (version == 3)
                seeds << tag(3, unsynchronised(frames), 0x80)
                      << tag(3, testing::bigEndian(6, 4) + QByteArray(6, '\0') + frames, 0x40);
        }
    }
    return seeds;
}

// One kind of damage to a tag: flipped bytes, a huge size field, a cut.
QByteArray damaged(Random& random, QByteArray bytes) {
    std::uniform_int_distribution<qsizetype> at(0, bytes.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
    case 0: // flipped bytes
        for (int n = std::uniform_int_distribution<int>(1, 8)(random); n > 0; --n)
            bytes[at(random)] = char(byte(random));
        break;
    case 1: { // a huge size at any place (lands on frame sizes and the tag size)
        static const char* const huge[] = {"\xFF\xFF\xFF\xFF", "\x7F\x7F\x7F\x7F",
                                           "\x00\xFF\xFF\xFF", "\x0F\xFF\xFF\xF0"};
        const qsizetype from = at(random);
        bytes.replace(from, 4, huge[byte(random) % 4], 4);
        break;
    }
    case 2: // the same frames claimed to be any length
        bytes.replace(6, 4, testing::bigEndian(quint32(byte(random) << 8 | byte(random)), 4, 7));
        break;
    default: // random bytes after a valid header
        bytes = bytes.left(10) + randomBytes(random, 200);
        break;
    }
    return bytes;
}

bool wellFormed(const std::optional<QString>& field) {
    return !field || (!field->isEmpty() && field->isValidUtf16() && !field->endsWith(QChar(0)) &&
                      !field->endsWith(QLatin1Char(' ')));
}

} // namespace

class RandomInputTest : public QObject {
    Q_OBJECT
private slots:
    void codePage() {
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
    void tagCodePages() {
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
                QVERIFY(decodeTagText(tail.constData(), tail.size(), page)
                            .endsWith(QLatin1String("ok")));
            }
            char raw[TagSize] = {};
            std::memcpy(raw, tail.constData(), std::size_t(qMin<qsizetype>(tail.size(), TagSize)));
            ID3v1Record record;
            decodeID3v1(raw, record, pages[round % 4]);
            QCOMPARE(record.Title.size(), 30);
            QCOMPARE(record.Comment.size(), 30);
        }
    }
    void tagRecords() {
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
    void id3v2Tags() {
        Random random(2304);
        const QList<QByteArray> seeds = id3v2Seeds();
        std::uniform_int_distribution<qsizetype> pick(0, seeds.size() - 1);
        for (int round = 0; round < 20000; ++round) {
            const QByteArray& seed = seeds[pick(random)];
            QByteArray bytes = damaged(random, seed);
            // Cut at a random length, in a buffer of exactly that size (ASan sees overreads).
            const qsizetype cut = std::uniform_int_distribution<qsizetype>(0, bytes.size())(random);
            const std::unique_ptr<char[]> exact(new char[std::size_t(cut)]);
            std::memcpy(exact.get(), bytes.constData(), std::size_t(cut));
            const auto size = id3v2TagSize(exact.get(), std::size_t(cut));
            QVERIFY(!size || *size >= 10);
            const ID3v2Fields fields = parseID3v2(exact.get(), std::size_t(cut));
            QVERIFY(size || !fields.any());
            for (const auto* field : {&fields.title, &fields.artist, &fields.album, &fields.year,
                                      &fields.genre, &fields.comment})
                QVERIFY(wellFormed(*field));
        }
        // Undamaged, every seed gives all six fields, and more bytes than the tag change nothing.
        for (const QByteArray& seed : seeds) {
            const QByteArray longer = seed + randomBytes(random, 100);
            const ID3v2Fields fields = parseID3v2(longer.constData(), std::size_t(longer.size()));
            QVERIFY(fields.title && fields.artist && fields.album && fields.year && fields.comment);
            QCOMPARE(fields.genre.value_or(QString()), QStringLiteral("Rock"));
        }
    }
    void settingsFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("Sonavue.ini");
        Random random(1252);
        static const QString keys[] = {"Folder", "alph", "k", "color"};
        std::uniform_int_distribution<int> keyIndex(0, 3);
        for (int round = 0; round < 400; ++round) { // each write waits for the disk
            const QByteArray contents = randomIni(random);
            QVERIFY(testing::writeFile(path, contents));
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
    void numberTexts() {
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
};

QTEST_GUILESS_MAIN(RandomInputTest)
#include "test_fuzz_randominput.moc"
