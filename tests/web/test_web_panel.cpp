// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// The web panel with the real web engine: the local page, Home, Back and refused windows.
#include "support/datarow.h"
#include "web/webenginesetup.h"
#include "web/webpanel.h"
#include "web/webpanelcontrol.h"
#include "web/webpanelmodule.h"
#include "webpaneltesting.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>

using namespace sonavue;
using namespace sonavue::testing;

class WebPanelTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writePage(const QString& name, const QString& body) {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write a test page");
        file.write(("<!DOCTYPE html><html><body>" + body + "</body></html>").toUtf8());
        return file.fileName();
    }

private slots:
    void homePageIsIndexBesideTheProgram() {
        QCOMPARE(WebPanel::homePagePath(), QCoreApplication::applicationDirPath() + "/index.htm");
        WebPanel panel;
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        QCOMPARE(panel.url(), QUrl::fromLocalFile(WebPanel::homePagePath()));
        QVERIFY(panel.title().contains("Sonavue"));
    }

    void backHomeAndRefusedWindows() {
        const QString home =
            writePage("home.htm", "<a id='same' href='second.htm'>same</a>"
                                  "<a id='other' href='second.htm' target='_blank'>new</a>");
        writePage("second.htm", "second page");
        WebPanel panel;
        panel.page()->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(home); }));

        // Back on the first page does nothing and raises nothing. A navigation would have
        // started before the page answers a script run after it.
        QSignalSpy started(&panel, &QWebEngineView::loadStarted);
        panel.goBack();
        QCOMPARE(evaluate(panel, QStringLiteral("location.pathname")).toString(),
                 QUrl::fromLocalFile(home).path());
        QCOMPARE(started.count(), 0);
        QCOMPARE(panel.url(), QUrl::fromLocalFile(home));

        // A request for a new window is refused; the panel stays where it is.
        panel.page()->runJavaScript("window.open('second.htm', '_blank');");
        QTRY_COMPARE_WITH_TIMEOUT(panel.refusedNewWindows(), 1, 10000);
        QCOMPARE(evaluate(panel, QStringLiteral("location.pathname")).toString(),
                 QUrl::fromLocalFile(home).path());
        QCOMPARE(started.count(), 0);
        QCOMPARE(panel.url(), QUrl::fromLocalFile(home));

        // Another page replaces this one inside the panel; Back returns. (A link clicked from a
        // script has no user gesture, and the engine then leaves it out of Back.)
        QVERIFY(loadAndWait(panel, [&] { panel.navigateTo(m_dir.filePath("second.htm")); }));
        QCOMPARE(panel.url().fileName(), QStringLiteral("second.htm"));
        // (a page restored from the back-forward cache raises no load signal)
        panel.goBack();
        QTRY_COMPARE_WITH_TIMEOUT(panel.url(), QUrl::fromLocalFile(home), 10000);

        // Home shows the program's page again. (A late signal of the Back above may end a wait
        // for the next load: the page itself is waited for.)
        panel.goHome();
        QTRY_COMPARE_WITH_TIMEOUT(panel.url(), QUrl::fromLocalFile(WebPanel::homePagePath()),
                                  10000);
    }

    // The home page's last link goes back to the top of the page, clicked as a person does.
    void topLinkScrollsToTheTop() {
        WebPanel panel;
        panel.resize(320, 200); // small, so the page scrolls
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));

        const QString link =
            QStringLiteral("Array.from(document.links).find(a => a.textContent.trim() === "
                           "'このページの先頭へ')");
        // Scroll the link into view at the bottom, and ask where it now lies.
        const QVariantList where =
            evaluate(panel, QStringLiteral("(() => { const a = %1; if (!a) return [];"
                                           " window.scrollTo(0, document.body.scrollHeight);"
                                           " const r = a.getBoundingClientRect();"
                                           " return [r.left + 4, r.top + r.height / 2,"
                                           " window.scrollY]; })()")
                                .arg(link))
                .toList();
        QCOMPARE(where.size(), 3);
        QVERIFY2(where.at(2).toDouble() > 50, "the page does not scroll: the test proves nothing");

        QWidget* target = panel.focusProxy() ? panel.focusProxy() : &panel;
        QTest::mouseClick(target, Qt::LeftButton, {},
                          QPoint(qRound(where.at(0).toDouble()), qRound(where.at(1).toDouble())));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(panel, QStringLiteral("window.scrollY")).toDouble(), 0.0,
                                  10000);
        // The click reached the link (the address names its target), and the page is the same.
        QVERIFY2(!panel.url().fragment().isEmpty(), qPrintable(panel.url().toString()));
        QCOMPARE(panel.url().adjusted(QUrl::RemoveFragment),
                 QUrl::fromLocalFile(WebPanel::homePagePath()));
    }

    // Home on a scrolled page shows the home page again from its top, heading in view.
    void homeShowsThePageFromItsTop() {
        WebPanel panel;
        panel.resize(320, 200); // small, so the page scrolls
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        const QString scrollDown =
            QStringLiteral("window.scrollTo(0, document.body.scrollHeight); window.scrollY");
        QVERIFY2(evaluate(panel, scrollDown).toDouble() > 50, "the page does not scroll");
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        // A scroll position brought back comes with the load, before a script after it runs.
        QCOMPARE(evaluate(panel, QStringLiteral("window.scrollY")).toDouble(), 0.0);
    }

    // The window's way to its panel: the module beside the program, as the window loads it.
    void theModuleMakesAPanelOrSaysWhyNot_data() {
        QTest::addColumn<QString>("module");
        dataRow("the built module", "built");
        dataRow("none", "none");
        dataRow("not a library", "junk");
    }
    void theModuleMakesAPanelOrSaysWhyNot() {
        QFETCH(QString, module);
        QTemporaryDir elsewhere;
        const QString folder =
            module == "built" ? QCoreApplication::applicationDirPath() : elsewhere.path();
        if (module == "junk") {
            QFile junk(elsewhere.filePath(webPanelModuleName()));
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0);
        }
        QWidget window;
        const LoadedWebPanel loaded = loadWebPanel(window, folder);
        if (module != "built") {
            QVERIFY(!loaded.panel);
            QVERIFY2(loaded.problem.contains(webPanelModuleName()), qPrintable(loaded.problem));
            QVERIFY(window.findChildren<QWidget*>().isEmpty());
            return;
        }
        QVERIFY2(loaded.panel, qPrintable(loaded.problem));
        QCOMPARE(loaded.panel->widget().parentWidget(), &window);
        auto* view = qobject_cast<QWebEngineView*>(&loaded.panel->widget());
        QVERIFY(view);
        QVERIFY(loadAndWait(*view, [&] { loaded.panel->goHome(); }));
        QVERIFY(view->title().contains("Sonavue"));
        int focused = 0;
        loaded.panel->onFocus([&] { ++focused; });
        window.show();
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(view->focusProxy() ? view->focusProxy() : view, &in);
        QVERIFY(focused >= 1);
    }

    void reportsFocus() {
        WebPanel panel;
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        panel.show();
        QSignalSpy focused(&panel, &WebPanel::gotFocus);
        QWidget* target = panel.focusProxy() ? panel.focusProxy() : &panel;
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(target, &in);
        QVERIFY(focused.count() >= 1);
    }
};

int main(int argc, char* argv[]) {
    prepareWebEngine();
    QApplication app(argc, argv);
    WebPanelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web_panel.moc"
