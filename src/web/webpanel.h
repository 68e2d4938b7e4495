// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The web panel: the embedded browser showing the program's local page.
#include "web/webpanelcontrol.h"

#include <QWebEngineView>

namespace sonavue {

class WebPanelPage;

class WebPanel : public QWebEngineView, public WebPanelControl {
    Q_OBJECT
public:
    explicit WebPanel(QWidget* parent = nullptr);

    // The home page: index.htm in the program's folder, built anew at each use.
    static QString homePagePath();
    // Navigates to a local file by its path; from then on local pages may read the files of
    // that file's folder (and below) and no others.
    void navigateTo(const QString& path);
    void goHome() override { navigateTo(homePagePath()); }
    void goBack() override;
    QWidget& widget() override { return *this; }
    void onFocus(std::function<void()> handler) override;
    // How many new-window requests were refused (the panel never opens a window).
    int refusedNewWindows() const { return m_refusedNewWindows; }

signals:
    // The panel (or the page inside it) received the focus.
    void gotFocus();

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType type) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    WebPanelPage* m_page; // a child of the panel
    int m_refusedNewWindows = 0;
};

} // namespace sonavue
