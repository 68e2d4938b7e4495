// Prints where the settings file of "Sonavue" is for this executable's folder; with a
// value, writes "probe" = value first and prints what reads back.
#include "app/settings.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    using namespace sonavue;
    const QString app = QStringLiteral("Sonavue");
    if (argc > 1)
        writeSetting(app, QStringLiteral("init"), QStringLiteral("probe"),
                     QString::fromUtf8(argv[1]));
    std::printf(
        "%s\n%s\n", settingsFilePath(app).toUtf8().constData(),
        readSetting(app, QStringLiteral("init"), QStringLiteral("probe"), QStringLiteral("<none>"))
            .toUtf8()
            .constData());
    return 0;
}
