// The web panel with the real web engine: the local page, Home, Back and refused windows.
#include "web/webpanel.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineSettings>

using namespace sonavue;

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

    static bool loadAndWait(WebPanel& panel, const std::function<void()>& action) {
        QSignalSpy loaded(&panel, &QWebEngineView::loadFinished);
        action();
        return loaded.wait(15000) && loaded.first().first().toBool();
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
        QVERIFY(loadAndWait(panel, [&] { panel.Navigate2(home); }));

        // Back on the first page does nothing and raises nothing.
        panel.GoBack();
        QTest::qWait(200);
        QCOMPARE(panel.url(), QUrl::fromLocalFile(home));

        // A request for a new window is refused; the panel stays where it is.
        panel.page()->runJavaScript("window.open('second.htm', '_blank');");
        QTRY_COMPARE_WITH_TIMEOUT(panel.refusedNewWindows(), 1, 10000);
        QTest::qWait(200);
        QCOMPARE(panel.url(), QUrl::fromLocalFile(home));

        // Another page replaces this one inside the panel; Back returns. (A link clicked from a
        // script has no user gesture, and the engine then leaves it out of Back.)
        QVERIFY(loadAndWait(panel, [&] { panel.Navigate2(m_dir.filePath("second.htm")); }));
        QCOMPARE(panel.url().fileName(), QStringLiteral("second.htm"));
        // (a page restored from the back-forward cache raises no load signal)
        panel.GoBack();
        QTRY_COMPARE_WITH_TIMEOUT(panel.url(), QUrl::fromLocalFile(home), 10000);

        // Home shows the program's page again.
        QVERIFY(loadAndWait(panel, [&] { panel.goHome(); }));
        QCOMPARE(panel.url(), QUrl::fromLocalFile(WebPanel::homePagePath()));
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
    prepareWebEngineForUser();
    QApplication app(argc, argv);
    WebPanelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_webpanel.moc"
