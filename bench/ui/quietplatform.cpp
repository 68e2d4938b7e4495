// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "quietplatform.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace sonavue::bench {
namespace {

void filterMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

void quietOffscreenWarnings() {
    qInstallMessageHandler(filterMessage);
}

} // namespace sonavue::bench
