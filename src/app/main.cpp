// Sonavue: a music player for music kept as files in folders.
#include "ui/startup.h"
#include "web/webpanel.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    sonavue::prepareWebEngineForUser();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sonavue"));
    sonavue::StartedProgram program = sonavue::Main();
    QObject::connect(program.mainWindow.get(), &sonavue::Form1::unloaded, &app,
                     &QCoreApplication::quit);
    return app.exec();
}
