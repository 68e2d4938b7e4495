// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the web panel's tests: waiting for a page to load, and running a script in it.
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

namespace sonavue::testing {

// Runs action (which starts a navigation) and waits for the load to finish well.
inline bool loadAndWait(QWebEngineView& panel, const std::function<void()>& action) {
    QSignalSpy loaded(&panel, &QWebEngineView::loadFinished);
    action();
    return loaded.wait(15000) && loaded.first().first().toBool();
}

// The result of a script run in the page (invalid when it does not answer in time).
inline QVariant evaluate(QWebEngineView& panel, const QString& script) {
    QVariant result;
    bool answered = false;
    panel.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 10000))
        return {};
    return result;
}

} // namespace sonavue::testing
