// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The start-up's half without windows: how tags are read this run, the music folder to scan,
// and the core made and warming that folder while the window is built.
#include "base/settingskeys.h"
#include "core/playercore.h"

#include <QString>
#include <memory>

namespace sonavue {

// The music folder to scan: the stored text when it names an existing folder that can be
// listed and entered (a path ending in '/' other than the root is refused, as the
// stored-folder test does), else the default music folder. Names that are not UTF-8 (kept as
// escaped bytes) are looked up by their bytes.
QString acceptedMusicFolder(const QString& stored);

// The tag reading the settings ask for; fixed for the run, every reader of tags is made with it.
TagReading storedTagReading(const ProgramSettings& settings);

// Sets player's shuffle and repeat as stored, and stores them whenever they change.
void keepPlayMode(PlayerControl& player, const ProgramSettings& settings);

// Makes the core with the stored tag reading and starts bringing the stored music folder into
// memory for the first scan; a cold disk is read while the window is built.
std::unique_ptr<PlayerCore> makeWarmingCore(PlayerCore::Options options,
                                            const ProgramSettings& settings);

} // namespace sonavue
