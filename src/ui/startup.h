#pragma once
// The entry procedure: builds the genre table, the main window and the splash, restores
// the music folder and every setting through the controls' own handling, and shows the
// main window.
#include "ui/form1.h"
#include <memory>

namespace sonavue {

class Form2;

struct StartedProgram {
    std::unique_ptr<Form1> mainWindow;
};

// The music folder to scan: the stored text when it names an existing, readable folder
// (a path ending in '/' other than the root is refused, as the stored-folder test does),
// else the documents folder.
QString acceptedMusicFolder(const QString& stored);

// Runs the start-up. options go to the main window (tests pass a media double).
StartedProgram Main(Form1::Options options = {});

} // namespace sonavue
