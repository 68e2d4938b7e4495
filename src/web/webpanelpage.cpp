// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webpanelpage.h"

#include <QCoreApplication>
#include <QWebEngineUrlRequestInfo>

namespace sonavue {
namespace {

// The engine asks before a page is left through javaScriptConfirm with this fixed text, in
// the engine's own translation.
QString leavePageQuestion() {
    return QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

} // namespace

void LocalFileGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!m_rule.allows(info.requestUrl()))
        info.block(true);
}

WebPanelPage::WebPanelPage(QObject* parent)
    : QWebEnginePage(parent), m_guard(new LocalFileGuard(this)), m_log(new PageMessageLog(this)) {
    setUrlRequestInterceptor(m_guard);
}

void WebPanelPage::setLocalFolder(const QString& folder) {
    m_guard->setRule(LocalFolderRule(folder));
}

bool WebPanelPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!localRule().allows(url)) {
        m_log->report(QStringLiteral("refused to open"), url.toDisplayString());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void WebPanelPage::javaScriptAlert(const QUrl&, const QString& message) {
    m_log->report(QStringLiteral("alert"), message);
}

bool WebPanelPage::javaScriptConfirm(const QUrl&, const QString& message) {
    // A page must not be able to keep the panel: leaving it is always allowed.
    if (message == leavePageQuestion()) {
        m_log->report(QStringLiteral("asked to stay"), QStringLiteral("left anyway"));
        return true;
    }
    m_log->report(QStringLiteral("confirm (answered cancel)"), message);
    return false;
}

bool WebPanelPage::javaScriptPrompt(const QUrl&, const QString& message, const QString&, QString*) {
    m_log->report(QStringLiteral("prompt (answered cancel)"), message);
    return false;
}

} // namespace sonavue
