// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webpanel.h"

#include "base/settings.h"
#include "web/webpanelpage.h"

#include <QChildEvent>
#include <QEvent>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

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

void WebPanel::onFocus(std::function<void()> handler) {
    connect(this, &WebPanel::gotFocus, this, std::move(handler));
}

bool WebPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        emit gotFocus();
    return QWebEngineView::eventFilter(watched, event);
}

} // namespace sonavue
