// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The page inside the web panel, hardened against what it shows: script dialogs never become
// modal windows (they go to stderr), and local pages reach only the files of one folder.
#include "web/localfolderrule.h"
#include "web/pagemessagelog.h"

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

namespace sonavue {

// Refuses every load of a local file outside the rule's folder (scripts, pictures, frames,
// fetch and XMLHttpRequest alike).
class LocalFileGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void setRule(const LocalFolderRule& rule) { m_rule = rule; }
    const LocalFolderRule& rule() const { return m_rule; }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    LocalFolderRule m_rule;
};

class WebPanelPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit WebPanelPage(QObject* parent = nullptr);

    // The folder whose files local pages may read: the folder of the page the program opens.
    void setLocalFolder(const QString& folder);
    const LocalFolderRule& localRule() const { return m_guard->rule(); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;

private:
    // Children, so that they outlive the engine's page, which may still ask them while it goes.
    LocalFileGuard* m_guard;
    PageMessageLog* m_log;
};

} // namespace sonavue
