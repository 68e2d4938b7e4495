// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "core/corestart.h"

#include "base/nativepath.h"
#include "base/settingskeys.h"
#include "base/userfolders.h"
#include "catalogue/filelisting.h"
#include "tags/containertags.h"
#include "tags/replaygain.h"
#include "tags/tagcodepage.h"

#include <cmath>
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

TagReading storedTagReading(const ProgramSettings& settings) {
    TagReading reading;
    reading.codePage = tagCodePageSetting(settings.read(Setting::CodePage));
    // Any value but "1" (or a number reading as 1) leaves ID3v2 tags unread.
    reading.id3v2 = Setting::ID3v2.read(settings) == 1;
    // Unknown words are ignored; empty lists only the boxes' types.
    reading.extraTypes = parseExtraTypes(settings.read(Setting::ExtraTypes));
    // Pictures only with "1": any other value shows none, embedded or beside the track.
    reading.coverArt = Setting::CoverArt.read(settings) == 1;
    // Only "track" or "album" turns it on; a pre-amp that is no gain, or beyond +-20 dB, is 0.
    reading.replayGain = replayGainModeSetting(settings.read(Setting::ReplayGain));
    const std::optional<double> preamp = parseGainDb(settings.read(Setting::ReplayGainPreamp));
    reading.replayGainPreampDb = preamp && std::abs(*preamp) <= 20.0 ? *preamp : 0.0;
    return reading;
}

void keepPlayMode(PlayerControl& player, const ProgramSettings& settings) {
    player.setShuffle(Setting::Shuffle.read(settings) == 1);
    player.setRepeat(repeatNamed(settings.read(Setting::Repeat)).value_or(Repeat::All));
    // Stop-after-the-track is for this run only; the other two are written when they change.
    QObject::connect(
        &player, &PlayerControl::playModeChanged, &player,
        [&player, settings, shuffle = player.shuffle(), repeat = player.repeat()]() mutable {
            if (player.shuffle() != shuffle) {
                shuffle = player.shuffle();
                Setting::Shuffle.write(settings, shuffle ? 1 : 0);
            }
            if (player.repeat() != repeat) {
                repeat = player.repeat();
                settings.write(Setting::Repeat, repeatWord(repeat));
            }
        });
}

std::unique_ptr<PlayerCore> makeWarmingCore(PlayerCore::Options options,
                                            const ProgramSettings& settings) {
    options.tagReading = storedTagReading(settings);
    options.gapless = Setting::Gapless.read(settings) == 1;
    // The kept library lives in the cache folder: it can always be made again by a scan.
    const QString cache = programCacheFolder();
    if (Setting::KeepLibrary.read(settings) == 1 && !cache.isEmpty() && !options.keepLibrary) {
        LibraryKeeper::Options keeping;
        keeping.storeFolder = cache + QStringLiteral("/library");
        keeping.checkMinutes = Setting::LibraryCheckMinutes.read(settings);
        options.keepLibrary = keeping;
    }
    const unsigned extraTypes = options.tagReading.extraTypes;
    auto core = std::make_unique<PlayerCore>(std::move(options));
    keepPlayMode(core->player(), settings);
    // With the key the start shows the kept library: the warming's readers would only hold
    // up the window's own reads on a cold disk (a first start with it scans unwarmed).
    if (core->keeper())
        return core;
    // Every type the boxes may choose is warmed: the boxes are applied only after the scan.
    core->scan().warmUp(acceptedMusicFolder(settings.read(Setting::Folder)),
                        filePatternFor(true, true, true, extraTypes));
    return core;
}

} // namespace sonavue
