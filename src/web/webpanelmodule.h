// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Loads the web panel's module, which brings the web engine with it. Linked into the
// program, the engine's libraries cost every start a good part of its time before the
// window could show; loaded once the window has been drawn, they cost nothing then.
#include <QString>

class QWidget;

namespace sonavue {

class WebPanelControl;

// The module's file name, looked for in the program's folder, and its path in folder.
QString webPanelModuleName();
QString webPanelModulePath(const QString& folder);

struct LoadedWebPanel {
    WebPanelControl* panel = nullptr; // a child of the parent given; null when not made
    QString problem;                  // why not, for one line on standard error
};

// A new web panel on parent, made by the module in folder (the program's own, as a rule).
LoadedWebPanel loadWebPanel(QWidget& parent, const QString& folder);

} // namespace sonavue
