// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The web panel's rules without the web engine: which local files a page may reach, and how a
// page's messages reach stderr.
#include "web/localfolderrule.h"
#include "web/pagemessagelog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sonavue;

class PageRulesTest : public QObject {
    Q_OBJECT

private slots:
    void localFilesOnlyInTheFolder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath("program");
        QVERIFY(QDir().mkpath(folder + "/sub"));
        QVERIFY(QDir().mkpath(dir.filePath("program2")));
        QFile outside(dir.filePath("secret.txt"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(outside.fileName(), folder + "/link.txt"));
        QVERIFY(QFile::link(folder, dir.filePath("via-link")));

        const LocalFolderRule rule(folder + "/");
        const auto file = [](const QString& path) { return QUrl::fromLocalFile(path); };
        QVERIFY(rule.allows(file(folder)));
        QVERIFY(rule.allows(file(folder + "/index.htm")));
        QVERIFY(rule.allows(file(folder + "/sub/page.htm")));
        QVERIFY(rule.allows(QUrl("file://localhost" + folder + "/index.htm")));
        QVERIFY(rule.allows(file(dir.filePath("via-link/index.htm")))); // the same real folder
        // Other places: parents, a folder whose name only begins alike, ways out by "..", by an
        // escaped "..", by a link, by another machine's address, by a view of the source.
        QVERIFY(!rule.allows(file(dir.path())));
        QVERIFY(!rule.allows(file(dir.filePath("program2/index.htm"))));
        QVERIFY(!rule.allows(file(folder + "/sub/../../secret.txt")));
        QVERIFY(!rule.allows(QUrl("file://" + folder + "/sub/%2e%2e/%2E%2E/secret.txt")));
        QVERIFY(!rule.allows(file(folder + "/link.txt")));
        QVERIFY(!rule.allows(QUrl("file://otherhost" + folder + "/index.htm")));
        QVERIFY(!rule.allows(QUrl("file:///etc/passwd")));
        QVERIFY(!rule.allows(QUrl("view-source:file:///etc/passwd")));
        QVERIFY(rule.allows(QUrl("view-source:" + file(folder + "/index.htm").toString())));
        // Addresses that name no local file are another matter.
        QVERIFY(rule.allows(QUrl("https://example.org/")));
        QVERIFY(rule.allows(QUrl("data:text/plain,x")));
        // Without a folder no local file is allowed.
        QVERIFY(!LocalFolderRule().allows(file(folder + "/index.htm")));
    }

    void throttleHoldsBackAFlood() {
        MessageThrottle throttle(3, 1000);
        int shown = 0;
        for (int i = 0; i < 100; ++i)
            shown += throttle.admit(5000 + i) ? 1 : 0;
        QCOMPARE(shown, 3);
        QCOMPARE(throttle.takeHeldBack(), 97);
        QCOMPARE(throttle.takeHeldBack(), 0);
        QVERIFY(!throttle.admit(5999));
        // A new window lets messages through again; so does a clock that went backwards.
        QVERIFY(throttle.admit(6000));
        QVERIFY(throttle.admit(6001));
        QVERIFY(throttle.admit(10));
    }

    void messagesBecomeOneHarmlessLine() {
        QCOMPARE(asOneLine("plain text"), QStringLiteral("plain text"));
        QCOMPARE(asOneLine(QString::fromUtf8("a\nb\r\x1b[2Jc\u2028d\u202Ee\x7f")),
                 QStringLiteral("a b  [2Jc d e "));
        QCOMPARE(asOneLine(QString::fromUtf8("日本語")), QString::fromUtf8("日本語"));
        const QString cut = asOneLine(QString(1000, u'x'), 300);
        QCOMPARE(cut.size(), 301);
        QVERIFY(cut.endsWith(QChar(0x2026)));
    }
};

QTEST_GUILESS_MAIN(PageRulesTest)
#include "test_web_pagerules.moc"
