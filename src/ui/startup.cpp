#include "ui/startup.h"

#include "app/numbers.h"
#include "app/settings.h"
#include "app/userfolders.h"
#include "tags/genre.h"
#include "ui/splashwindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QScrollBar>

namespace sonavue {
namespace {

QString readInit(const QString& appName, const QString& key, const QString& defaultValue) {
    return readSetting(appName, QStringLiteral("init"), key, defaultValue);
}

} // namespace

QString acceptedMusicFolder(const QString& stored) {
    const QString folder = stored.trimmed().isEmpty() ? QString() : stored;
    // A stored path with a trailing separator looks up "." (too short a name) and is
    // replaced; the root itself lists real entries and is kept.
    const bool trailingSeparator = folder.size() > 1 && folder.endsWith(QLatin1Char('/'));
    const QFileInfo info(folder);
    if (!folder.isEmpty() && !trailingSeparator && info.isAbsolute() && info.isDir() &&
        info.isReadable())
        return folder;
    return personalFolder();
}

StartedProgram Main(Form1::Options options) {
    const QString appName = options.appName;
    // 1. The genre table.
    setgenre();
    // 2. The main window, hidden; its load handling runs now.
    auto form = std::make_unique<Form1>(std::move(options));
    // 3. The splash, not waited for; it deletes itself when its fade ends.
    auto* splash = new Form2();
    splash->show();
    // 4.-6. The music folder, then its scan (which yields so the splash keeps fading).
    const QString folder =
        acceptedMusicFolder(readInit(appName, QStringLiteral("Folder"), personalFolder()));
    form->setMusicFolder(folder);
    // 7. Colour.
    const double colour =
        leadingNumber(readInit(appName, QStringLiteral("color"), QStringLiteral("&Hffffff")));
    form->setcolor(std::abs(colour) <= 2147483647.0 ? colour : 16777215.0);
    // 8. Track-change option.
    const bool afterEnd =
        truthValue(readInit(appName, QStringLiteral("option1"), QStringLiteral("true")))
            .value_or(true);
    form->Option1[afterEnd ? 0 : 1]->setChecked(true);
    // 9. Opacity.
    form->HScroll1->setValue(wholeNumberOr(
        readInit(appName, QStringLiteral("alph"), QStringLiteral("250")), 250, 64, 255));
    // 10. File types, with a yield after each.
    for (int i = 0; i < 3; ++i) {
        const QString key = QStringLiteral("filter%1").arg(i);
        int value = wholeNumberOr(readInit(appName, key, QStringLiteral("1")), 1, 0, 1);
        if (i == 0)
            value = 1; // MP3 files are always listed
        form->Check1[i]->setChecked(value == 1);
        QCoreApplication::processEvents();
    }
    // 11. Font size.
    const int fontIndex =
        wholeNumberOr(readInit(appName, QStringLiteral("Fontsize"), QStringLiteral("0")), 0, 0, 2);
    form->Optionfont[fontIndex]->setChecked(true);
    form->fontresize(fontIndex * 2 + 10);
    // 12. Show the main window.
    form->show();
    // 13. Background.
    const int back =
        wholeNumberOr(readInit(appName, QStringLiteral("back"), QStringLiteral("1")), 1, 0, 1);
    form->OptionBack[back]->setChecked(true);
    return {std::move(form)};
}

} // namespace sonavue
