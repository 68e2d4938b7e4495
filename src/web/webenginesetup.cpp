// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "web/webenginesetup.h"

#include "base/report.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <unistd.h>

namespace sonavue {
namespace {

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
    // The engine comes in a module loaded after the application exists (webpanelmodule.h).
    // Linked in, it would ask for this itself before the application was made; loaded later
    // without it, it brings the program down.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() != 0)
        return;
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").trimmed());
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    reportLine(QStringLiteral("running as root, so the web panel runs without its sandbox."));
}

} // namespace sonavue
