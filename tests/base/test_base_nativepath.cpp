// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// File names made readable for a window or a terminal line ("sonavue: cannot play ..."): no
// byte of a name reaches a terminal as a command, and each line stays one line.
#include "base/nativepath.h"
#include "support/datarow.h"

#include <QTest>

using namespace sonavue;
using sonavue::testing::dataRow;

class NativePathTest : public QObject {
    Q_OBJECT
private slots:
    void readableTextObeysNothing_data() {
        QTest::addColumn<QByteArray>("name"); // a file name's bytes
        QTest::addColumn<QString>("shown");
        dataRow("plain", QByteArray("/m/a b.mp3"), QStringLiteral("/m/a b.mp3"));
        dataRow("Japanese", QByteArray("/m/\xE6\x97\xA5.mp3"), QString::fromUtf8("/m/日.mp3"));
        dataRow("not UTF-8", QByteArray("/m/caf\xE9.mp3"), QString::fromUtf8("/m/caf\uFFFD.mp3"));
        dataRow("escape sequence", QByteArray("/m/\x1b[2J\x1b]0;x\x07.mp3"),
                QString::fromUtf8("/m/\u241B[2J\u241B]0;x\u2407.mp3"));
        dataRow("line breaks and DEL", QByteArray("/m/a\nb\rc\x7f.mp3"),
                QString::fromUtf8("/m/a\u240Ab\u240Dc\u2421.mp3"));
        // U+009B is a terminal's CSI; the others turn or break what follows.
        dataRow("C1, separators, direction",
                QByteArray("/m/\xC2\x9B"
                           "2J\xE2\x80\xA8\xE2\x80\xAE.mp3"),
                QString::fromUtf8("/m/\uFFFD2J\uFFFD\uFFFD.mp3"));
        dataRow("a character past U+FFFF", QByteArray("/m/\xF0\x9F\x8E\xB5.mp3"),
                QString::fromUtf8("/m/\U0001F3B5.mp3"));
    }
    void readableTextObeysNothing() {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        const QString path = pathFromNative(name);
        QCOMPARE(readableText(path), shown);
        QCOMPARE(pathToNative(path), name); // the exact name is kept for opening it
    }
};

QTEST_GUILESS_MAIN(NativePathTest)
#include "test_base_nativepath.moc"
