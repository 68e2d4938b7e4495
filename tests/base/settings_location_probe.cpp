// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// Runs settings operations in a process of its own, for the location tests.
// Usage: settings_location_probe APP [key=value | ?key]...
// APP "-" stands for this executable's own name. Prints where the settings file is, then
// what each "?key" reads ("<none>" when missing); "key=value" writes.
#include "base/settings.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    using namespace sonavue;
    if (argc < 2)
        return 2;
    const QString arg1 = QString::fromUtf8(argv[1]);
    const QString app = arg1 == QLatin1String("-") ? programName() : arg1;
    std::printf("%s\n", settingsFilePath(app).toUtf8().constData());
    for (int i = 2; i < argc; ++i) {
        const QString command = QString::fromUtf8(argv[i]);
        if (command.startsWith(QLatin1Char('?'))) {
            const QString value =
                readSetting(app, QStringLiteral("init"), command.mid(1), QStringLiteral("<none>"));
            std::printf("%s\n", value.toUtf8().constData());
        } else {
            const qsizetype equals = command.indexOf(QLatin1Char('='));
            writeSetting(app, QStringLiteral("init"), command.left(equals),
                         command.mid(equals + 1));
        }
    }
    return 0;
}
