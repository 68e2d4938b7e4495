// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The player without its windows, made and wired in one place: the catalogue and its group
// lists, the scan that fills them, the browsing model, the media element, the volume level
// and player control. The main window and the desktop's media controls are given it.
#include "catalogue/browsingmodel.h"
#include "catalogue/catalogue.h"
#include "catalogue/folderscan.h"
#include "core/librarykeeper.h"
#include "playback/mediacontrol.h"
#include "playback/playercontrol.h"
#include "playback/transport.h"
#include "playback/volumelevel.h"
#include "tags/tagreading.h"

#include <QObject>
#include <memory>
#include <optional>

namespace sonavue {

class PlayerCore {
public:
    struct Options {
        // The media element; null makes the GStreamer one.
        std::unique_ptr<MediaControl> media;
        // How tags are read (scan, player, tag window, media controls).
        TagReading tagReading;
        // A track that ends by itself is followed by the next without a gap (off: each track
        // change closes one file and opens the next).
        bool gapless = false;
        // Keeps the library between starts and watches the music folder (none: every start
        // scans the whole folder, and nothing is watched).
        std::optional<LibraryKeeper::Options> keepLibrary;
    };
    PlayerCore();
    explicit PlayerCore(Options options);
    ~PlayerCore();
    PlayerCore(const PlayerCore&) = delete;
    PlayerCore& operator=(const PlayerCore&) = delete;

    Catalogue& catalogue() { return m_catalogue; }
    const Catalogue& catalogue() const { return m_catalogue; }
    GroupLists& groups() { return m_groups; }
    FolderScan& scan() { return m_scan; }
    BrowsingModel& browsing() { return m_browsing; }
    const BrowsingModel& browsing() const { return m_browsing; }
    MediaControl& media() { return *m_media; }
    VolumeLevel& volume() { return m_volume; }
    PlayerControl& player() { return m_player; }
    const TagReading& tagReading() const { return m_tagReading; }
    // From now on: a scan reads tags so, the player's texts and the tag card too, and each
    // file opened plays at its ReplayGain level (the library is read again by the caller).
    void setTagReading(const TagReading& reading);
    // Gapless play from the next file opened; off withdraws a file prepared to follow.
    void setGapless(bool on);
    // Null unless the library is kept.
    LibraryKeeper* keeper() { return m_keeper.get(); }

    // The one command path every front end plays through.
    Transport& transport() { return m_transport; }

private:
    TagReading m_tagReading;
    Catalogue m_catalogue;
    GroupLists m_groups;
    FolderScan m_scan{m_catalogue, m_groups};
    BrowsingModel m_browsing{m_catalogue, m_groups};
    std::unique_ptr<LibraryKeeper> m_keeper;
    std::unique_ptr<MediaControl> m_media;
    VolumeLevel m_volume{*m_media};
    PlayerControl m_player{m_browsing, *m_media, m_volume};
    Transport m_transport{m_browsing, m_player, *m_media, m_volume};
};

} // namespace sonavue
