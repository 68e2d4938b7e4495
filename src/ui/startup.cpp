// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/startup.h"

#include "base/nativepath.h"
#include "base/settingskeys.h"
#include "base/userfolders.h"
#include "catalogue/filelisting.h"
#include "tags/containertags.h"
#include "tags/genre.h"
#include "ui/appearancecontroller.h"
#include "ui/splashwindow.h"

#include <QCoreApplication>
#include <QPointer>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {

QString acceptedMusicFolder(const QString& stored) {
    const QString folder = stored.trimmed().isEmpty() ? QString() : stored;
    // A stored path with a trailing separator looks up "." (too short a name) and is
    // replaced; the root itself lists real entries and is kept.
    const bool trailingSeparator = folder.size() > 1 && folder.endsWith(QLatin1Char('/'));
    if (folder.isEmpty() || trailingSeparator || !folder.startsWith(QLatin1Char('/')))
        return defaultMusicFolder();
    // By its bytes: a name that is not UTF-8 is as good a folder as any other.
    const QByteArray native = pathToNative(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        ::access(native.constData(), R_OK | X_OK) == 0)
        return folder;
    return defaultMusicFolder();
}

StartedProgram Main(StartOptions options, const std::function<void(Form1&)>& windowMade) {
    const ProgramSettings settings(options.window.appName);
    // The genre table builds itself on first use.
    // The tags' code page is fixed for the run: every reader of tag text is made with it.
    options.core.tagReading.codePage = tagCodePageSetting(settings.read(Setting::CodePage));
    // Any value but "1" (or a number reading as 1) leaves ID3v2 tags unread.
    options.core.tagReading.id3v2 = Setting::ID3v2.read(settings) == 1;
    // Unknown words are ignored; empty lists only the boxes' types.
    options.core.tagReading.extraTypes = parseExtraTypes(settings.read(Setting::ExtraTypes));
    // Pictures only with "1": any other value shows none, embedded or beside the track.
    options.core.tagReading.coverArt = Setting::CoverArt.read(settings) == 1;
    const unsigned extraTypes = options.core.tagReading.extraTypes;
    StartedProgram program;
    program.core = std::make_unique<PlayerCore>(std::move(options.core));
    // After a cold boot the window takes a while to build: the music folder is brought into
    // memory meanwhile, for the scan below. Every type the boxes may choose is read.
    program.core->scan().warmUp(acceptedMusicFolder(settings.read(Setting::Folder)),
                                filePatternFor(true, true, true) + extraTypesPattern(extraTypes));
    // The main window, hidden; its load handling runs now.
    program.mainWindow = std::make_unique<Form1>(*program.core, std::move(options.window));
    Form1& form = *program.mainWindow;
    // Files dropped on the window go to the reserved list.
    form.setAcceptDrops(true);
    // Once the window has unloaded the start-up goes no further: nothing more is shown or
    // written. The watcher ends the connection with this function.
    bool unloaded = false;
    QObject watcher;
    QObject::connect(&form, &Form1::unloaded, &watcher, [&unloaded] { unloaded = true; });
    if (windowMade)
        windowMade(form);
    // The splash, not waited for; it deletes itself when its fade ends.
    QPointer<Form2> splash;
    const auto end = [&] {
        delete splash.data();
        program.ended = true;
        return std::move(program);
    };
    if (unloaded)
        return end();
    splash = new Form2();
    splash->show();
    // The music folder, then its scan (which yields so the splash keeps fading); then the
    // stored colour, track-change option, opacity, file types and font size, each through the
    // control's own handling.
    form.setMusicFolder(acceptedMusicFolder(settings.read(Setting::Folder)));
    if (unloaded || !form.appearance().applyStoredOptions())
        return end();
    // Only then is the main window shown, and the background picture behind it when stored so
    // (an empty value reads as 0, the picture shown).
    form.show();
    form.appearance().applyStoredBackground();
    // Should showing the window or the background let events run, a quit signal there still
    // ends it.
    program.ended = unloaded;
    return program;
}

} // namespace sonavue
