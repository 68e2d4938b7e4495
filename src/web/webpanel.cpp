// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webpanel.h"

#include "base/report.h"
#include "base/settings.h"
#include "web/webpanelpage.h"

#include <QChildEvent>
#include <QEvent>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <unistd.h>

namespace sonavue {
namespace {

// The engine loads the page it already shows as a reload, and a reload returns to where the
// page was scrolled: Home on the home page would leave its heading out of view. Every page in
// the panel gives up that return (as a page may itself), so Home, and Back, show a page from
// its top. The script runs apart from the page's own scripts.
void openPagesAtTheirTop(QWebEnginePage& page) {
    QWebEngineScript script;
    script.setName(QStringLiteral("sonavue-pages-open-at-their-top"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QStringLiteral("history.scrollRestoration = 'manual';"));
    page.scripts().insert(script);
}

// The handler before ours, set once at start-up before any message (see prepareWebEngine).
QtMessageHandler previousMessageHandler = nullptr;

// With the platform's OpenGL left unloaded on purpose, the platform and the web engine each
// say once that there is none: not news to the user, so not shown.
void leaveOutNoOpenGlNotices(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL")) ||
        message.trimmed() == QLatin1String("No suitable graphics backend found"))
        return;
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
}

} // namespace

WebPanel::WebPanel(QWidget* parent) : QWebEngineView(parent), m_page(new WebPanelPage(this)) {
    m_page->setLocalFolder(programFolder());
    openPagesAtTheirTop(*m_page);
    setPage(m_page);
    // The page that renders into the view is a child widget created lazily; its focus
    // events are watched through childEvent.
    if (focusProxy())
        focusProxy()->installEventFilter(this);
}

QString WebPanel::homePagePath() {
    return programFolder() + QStringLiteral("/index.htm");
}

void WebPanel::navigateTo(const QString& path) {
    // The page the program opens decides which folder local pages may read.
    m_page->setLocalFolder(QFileInfo(path).absolutePath());
    load(QUrl::fromLocalFile(path));
}

void WebPanel::goBack() {
    if (history()->canGoBack())
        back();
}

QWebEngineView* WebPanel::createWindow(QWebEnginePage::WebWindowType) {
    // NewWindow2 is always cancelled: no page ever opens a window of its own.
    ++m_refusedNewWindows;
    return nullptr;
}

void WebPanel::childEvent(QChildEvent* event) {
    QWebEngineView::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
}

bool WebPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        emit gotFocus();
    return QWebEngineView::eventFilter(watched, event);
}

void prepareWebEngine() {
    // The panel is composed in software, as the other controls are: composed by OpenGL it
    // would make the whole window recompose through OpenGL at every repaint of any control
    // (each second of the playing time), which costs more than playing does. A backend the
    // user chose is kept.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    // Composed in software, nothing of the program draws through OpenGL; without this the X
    // platform still loads the system's OpenGL (Mesa with its LLVM, some 35 MB, and time at
    // every start) to share a context with the web engine that nothing uses. A choice the
    // user made is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION") &&
        qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
        previousMessageHandler = qInstallMessageHandler(leaveOutNoOpenGlNotices);
    }
    // The engine's account of its set-up (GL type, its flags) at every start is for its own
    // developers; QT_LOGGING_RULES can still turn it on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    if (geteuid() != 0)
        return;
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").trimmed());
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    reportLine(QStringLiteral("running as root, so the web panel runs without its sandbox."));
}

} // namespace sonavue
