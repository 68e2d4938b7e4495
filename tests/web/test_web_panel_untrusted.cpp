// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The web panel facing a page that misbehaves, with the real web engine: script dialogs never
// become modal windows, and a local page reaches no file outside its own folder.
#include "stderrcapture.h"
#include "web/webenginesetup.h"
#include "web/webpanel.h"
#include "webpaneltesting.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace sonavue;
using namespace sonavue::testing;

namespace {

// Watches for modal windows while a test runs; any it sees is noted and dismissed so that a
// failing test ends instead of waiting for a person.
class ModalWatch {
public:
    ModalWatch() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            ++m_ticks;
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_sawModal = true;
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        m_timer.start(10);
    }
    bool sawModal() const { return m_sawModal; }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    bool m_sawModal = false;
    int m_ticks = 0;
};

} // namespace

class UntrustedPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;                          // holds the outside file
    QString m_folder = m_dir.filePath("program"); // the page's own folder

    QString writeFile(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write a test file");
        return file.fileName();
    }
    QString writePage(const QString& name, const QString& body) {
        return writeFile(m_folder + "/" + name,
                         ("<!DOCTYPE html><html><body>" + body + "</body></html>").toUtf8());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        writeFile(m_dir.filePath("secret.txt"), "outside");
        writeFile(m_folder + "/beside.txt", "beside");
        writeFile(m_folder + "/sub/deeper.txt", "deeper");
        QVERIFY(QFile::link(m_dir.filePath("secret.txt"), m_folder + "/link.txt"));
    }

    // A page that raises dialogs in a loop: each goes to stderr as one line, the event loop
    // runs on, no modal window appears, and confirm and prompt answer as cancelled.
    void scriptDialogsGoToStderr() {
        const QString page = writePage(
            "dialogs.htm", "<script>for (let i = 0; i < 5; i++) alert('loop ' + i);"
                           "alert('first\\nsecond\\u001b[2J');"
                           "const c = confirm('sure?'); const p = prompt('name?', 'given');"
                           "document.title = 'done ' + c + ' ' + p;</script>");
        StderrCapture err;
        ModalWatch watch;
        WebPanel panel;
        panel.show();
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(page); }));
        QTRY_COMPARE_WITH_TIMEOUT(panel.title(), QStringLiteral("done false null"), 10000);
        QVERIFY(!watch.sawModal());
        QTRY_VERIFY_WITH_TIMEOUT(watch.ticks() > 3, 5000);

        const QByteArray text = err.text();
        QVERIFY2(text.contains("loop 0") && text.contains("loop 4"), text.constData());
        QVERIFY2(text.contains("sure?") && text.contains("name?"), text.constData());
        // The multi-line message stays on one line and carries no terminal control codes.
        QVERIFY2(text.contains("first second"), text.constData());
        QVERIFY(!text.contains('\x1b'));
    }

    // A page that asks to be kept when it is left is left anyway, without a dialog: Home
    // always works.
    void leavingAPageAsksNobody() {
        const QString page =
            writePage("sticky.htm",
                      "<div style='height:300px'>x</div><script>onbeforeunload = e => {"
                      " e.preventDefault(); e.returnValue = 'stay'; return 'stay'; };</script>");
        StderrCapture err;
        ModalWatch watch;
        WebPanel panel;
        panel.resize(300, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(page); }));
        // The engine only asks for pages the user has touched; the first clicks may come
        // before the page takes input.
        QVERIFY(QTest::qWaitFor(
            [&] {
                QWidget* target = panel.focusProxy() ? panel.focusProxy() : &panel;
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(50, 50));
                return evaluate(panel, "navigator.userActivation.hasBeenActive").toBool();
            },
            10000));

        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        QCOMPARE(panel.url(), QUrl::fromLocalFile(WebPanel::homePagePath()));
        QVERIFY(!watch.sawModal());
    }

    // Scripts of a local page read files in its folder and below, nothing else: not a file
    // beside the folder, not one a link inside the folder points out to, not the system's.
    void localPageReadsOnlyItsFolder() {
        const QString page = writePage(
            "reader.htm",
            "<script>window.results = {};"
            "function xhr(name, url) { try { const x = new XMLHttpRequest();"
            " x.open('GET', url, false); x.send(); results[name] = 'read:' + x.responseText; }"
            " catch (e) { results[name] = 'refused'; } }"
            "xhr('beside', 'beside.txt'); xhr('deeper', 'sub/deeper.txt');"
            "xhr('up', '../secret.txt'); xhr('link', 'link.txt');"
            "xhr('system', 'file:///etc/passwd');"
            "xhr('encoded', 'sub/%2e%2e/%2e%2e/secret.txt');"
            "function get(name, url) { return fetch(url).then(r => r.text()).then("
            " t => results[name] = 'read:' + t, () => results[name] = 'refused'); }"
            "get('fetchedBeside', 'beside.txt').then(() => get('fetched', '../secret.txt'));"
            "</script>");
        WebPanel panel;
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(page); }));
        QJsonObject results;
        QTRY_VERIFY_WITH_TIMEOUT(
            (results = QJsonDocument::fromJson(
                           evaluate(panel, "JSON.stringify(results)").toString().toUtf8())
                           .object())
                .contains("fetched"),
            10000);
        QCOMPARE(results["beside"].toString(), QStringLiteral("read:beside"));
        QCOMPARE(results["deeper"].toString(), QStringLiteral("read:deeper"));
        QCOMPARE(results["fetchedBeside"].toString(), QStringLiteral("read:beside"));
        for (const char* outside : {"up", "link", "system", "encoded", "fetched"})
            QVERIFY2(results[outside].toString() == "refused",
                     qPrintable(QString("%1: %2").arg(outside, results[outside].toString())));
    }

    // A link to a local place outside the folder is refused and the page stays; links inside
    // the folder still navigate.
    void linksOutOfTheFolderAreRefused() {
        writePage("next.htm", "next page");
        const QString page = writePage(
            "links.htm", "<a id='system' href='file:///etc/'>etc</a>"
                         "<a id='up' href='../secret.txt'>up</a><a id='in' href='next.htm'>in</a>"
                         "<iframe id='frame'></iframe><script>window.marker = 'kept';</script>");
        StderrCapture err;
        WebPanel panel;
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(page); }));

        evaluate(panel, "document.getElementById('system').click()");
        QTRY_VERIFY_WITH_TIMEOUT(err.text().contains("file:///etc/"), 10000);
        evaluate(panel, "document.getElementById('up').click()");
        QTRY_VERIFY_WITH_TIMEOUT(err.text().contains("secret.txt"), 10000);
        evaluate(panel, "document.getElementById('frame').src = 'file:///etc/passwd'");
        QTRY_VERIFY_WITH_TIMEOUT(err.text().contains("file:///etc/passwd"), 10000);
        QCOMPARE(evaluate(panel, "window.marker").toString(), QStringLiteral("kept"));
        QCOMPARE(panel.url(), QUrl::fromLocalFile(page));
        QVERIFY(!evaluate(panel, "document.getElementById('frame').contentDocument?.body"
                                 "?.textContent.includes('root:')")
                     .toBool());

        QVERIFY(
            loadAndWait(panel, [&] { evaluate(panel, "document.getElementById('in').click()"); }));
        QCOMPARE(panel.url().fileName(), QStringLiteral("next.htm"));
    }
};

int main(int argc, char* argv[]) {
    prepareWebEngine();
    QApplication app(argc, argv);
    UntrustedPageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web_panel_untrusted.moc"
