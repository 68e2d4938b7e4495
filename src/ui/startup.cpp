#include "ui/startup.h"

#include "base/nativepath.h"
#include "base/numbers.h"
#include "base/settingskeys.h"
#include "base/userfolders.h"
#include "catalogue/filelisting.h"
#include "tags/containertags.h"
#include "tags/genre.h"
#include "ui/settingsframe.h"
#include "ui/splashwindow.h"

#include <QCoreApplication>
#include <QPointer>
#include <sys/stat.h>
#include <unistd.h>

namespace sonavue {
namespace {

// Steps 7 to 11: colour, track-change option, opacity, file types and font size, each
// through the control's own handling. False when the window unloaded in step 10's yields.
bool applyStoredOptions(Form1& form, const ProgramSettings& settings, const bool& unloaded) {
    SettingsFrame& frame = form.settingsFrame();
    // 7. Colour.
    const double colour = leadingNumber(settings.read(Setting::Colour));
    form.setcolor(std::abs(colour) <= 2147483647.0 ? colour : 16777215.0);
    // 8. Track-change option.
    const bool afterEnd = truthValue(settings.read(Setting::TrackChange)).value_or(true);
    frame.setImmediateChange(!afterEnd);
    // 9. Opacity (a value outside 64..255 gives the default).
    frame.setOpacity(wholeNumberOr(settings.read(Setting::Opacity), 250, 64, 255));
    // 10. File types, with a yield after each; an empty value reads as 0, a clear box.
    for (int i = 0; i < Setting::FileTypeCount; ++i) {
        int value = wholeNumberOr(settings.read(Setting::FileType(i)), 1, 0, 1);
        if (i == 0)
            value = 1; // MP3 files are always listed
        frame.setFileType(i, value == 1);
        QCoreApplication::processEvents();
        if (unloaded)
            return false;
    }
    // 11. Font size.
    const int fontIndex = wholeNumberOr(settings.read(Setting::FontSize), 0, 0, 2);
    frame.setFontSizeIndex(fontIndex);
    form.fontresize(fontIndex * 2 + 10);
    return true;
}

} // namespace

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
    // 1. The genre table builds itself on first use.
    // The tags' code page is fixed for the run: every reader of tag text is made with it.
    options.core.tagReading.codePage = tagCodePageSetting(settings.read(Setting::CodePage));
    // Any value but "1" (or a number reading as 1) leaves ID3v2 tags unread.
    options.core.tagReading.id3v2 = wholeNumberOr(settings.read(Setting::ID3v2), 0, 0, 1) == 1;
    // Unknown words are ignored; empty lists only the boxes' types.
    options.core.tagReading.extraTypes = parseExtraTypes(settings.read(Setting::ExtraTypes));
    // Pictures only with "1": any other value shows none, embedded or beside the track.
    options.core.tagReading.coverArt =
        wholeNumberOr(settings.read(Setting::CoverArt), 0, 0, 1) == 1;
    const unsigned extraTypes = options.core.tagReading.extraTypes;
    StartedProgram program;
    program.core = std::make_unique<PlayerCore>(std::move(options.core));
    // After a cold boot the window takes a while to build: the music folder is brought into
    // memory meanwhile, for the scan of step 6. Every type the boxes may choose is read.
    program.core->scan().warmUp(acceptedMusicFolder(settings.read(Setting::Folder)),
                                filePatternFor(true, true, true) + extraTypesPattern(extraTypes));
    // 2. The main window, hidden; its load handling runs now.
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
    // 3. The splash, not waited for; it deletes itself when its fade ends.
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
    // 4.-6. The music folder, then its scan (which yields so the splash keeps fading).
    form.setMusicFolder(acceptedMusicFolder(settings.read(Setting::Folder)));
    if (unloaded || !applyStoredOptions(form, settings, unloaded))
        return end();
    // 12. Show the main window.
    form.show();
    // 13. Background: an empty value reads as 0, the background shown.
    const int back = wholeNumberOr(settings.read(Setting::Background), 1, 0, 1);
    form.settingsFrame().setBackgroundShown(back == 0);
    // Should a handler of steps 12 and 13 let events run, a quit signal there still ends it.
    program.ended = unloaded;
    return program;
}

} // namespace sonavue
