// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webpanelmodule.h"

#include "web/webpanelentry.h"

#include <QFileInfo>
#include <QLibrary>

namespace sonavue {

QString webPanelModuleName() {
    return QStringLiteral("sonavue-webpanel.so");
}

QString webPanelModulePath(const QString& folder) {
    return folder + QLatin1Char('/') + webPanelModuleName();
}

LoadedWebPanel loadWebPanel(QWidget& parent, const QString& folder) {
    LoadedWebPanel loaded;
    const QString file = webPanelModulePath(folder);
    if (!QFileInfo(file).isFile()) {
        loaded.problem = QStringLiteral("%1 is missing").arg(file);
        return loaded;
    }
    // Left loaded for the rest of the run: the panel's code runs until the window goes.
    QLibrary module(file);
    const auto make = reinterpret_cast<MakeWebPanel>(module.resolve(WebPanelEntryName));
    if (!make) {
        loaded.problem =
            module.isLoaded()
                ? QStringLiteral("%1 has no %2").arg(file, QLatin1String(WebPanelEntryName))
                : module.errorString();
        return loaded;
    }
    loaded.panel = make(&parent);
    if (!loaded.panel)
        loaded.problem = QStringLiteral("%1 made no panel").arg(file);
    return loaded;
}

} // namespace sonavue
