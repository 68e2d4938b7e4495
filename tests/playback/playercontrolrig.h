// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Player control over the real browsing model, a catalogue of tagged files on disk and a
// media element that plays nothing. Everything that happens is written to one log:
// "track N" (the track list's selection changed), "group L:E" (a group entry was selected),
// "unreserve N", "level N" (a level sent to the output), "title T" (now playing), "yield",
// and the media element's "Close", "Open <file>", "Play".
#include "catalogue/browsingmodel.h"
#include "catalogue/catalogue.h"
#include "catalogue/folderscan.h"
#include "playback/fakes/fakemediacontrol.h"
#include "playback/playercontrol.h"
#include "playback/volumelevel.h"
#include "support/modeltesters.h"

#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace sonavue::testing {

class PlayerRig {
public:
    // Rows 0..39, file t<row>.mp3 titled "Title <row>". Rows 3, 4, 5 lie in the folder
    // "f0", rows 6 and 7 in "f1", the others in the music folder itself.
    static constexpr int Rows = 40;

    QTemporaryDir dir;
    Catalogue catalogue;
    GroupLists groups;
    BrowsingModel browsing{catalogue, groups};
    ModelTesters testers{browsing};
    QStringList log;
    FakeMediaControl media{log};
    VolumeLevel volume{media};
    PlayerControl control{browsing, media, volume};
    QString nowPlaying;
    int yields = 0;

    PlayerRig();

    QString path(int row) const;
    // The 30-character title field of row's tag, as now playing shows it.
    static QString titleField(int row);
    // Rewrites row's file with the given tag comment.
    bool writeTrack(int row, const QString& comment);

    // The usual state after a scan: the folder list holds "f0" ([3, 4, 5]) and "f1"
    // ([6, 7]); "f0" is selected and shown.
    void showFolders();
    // Group list `list` (album, artist, year or genre) with one entry per row set: each
    // entry's value is given to exactly its rows. Nothing is selected.
    void setGroups(int list, const QList<QList<int>>& entries);
    // The level is set as the user would, and what was sent so far is forgotten.
    void startAtLevel(int level);
    // Forgets the log and the media element's calls.
    void forget();
    // Appends the rows' paths to the reserved list; false when one was refused.
    bool reserve(const QList<int>& rows);
    // Track `track` of the shown list was started by a select start; the log is forgotten.
    void playing(int track);
    // Where continuous play stands, as "track/group entry" ("-" for unset).
    QString position() const;

    // An event that runs at yield number `yield` (1-based, counted over the rig's life).
    void atYield(int yield, std::function<void()> event) { m_atYield[yield] = std::move(event); }
    // An event that runs at the next yield, in the order posted.
    void post(std::function<void()> event) { m_pending.push_back(std::move(event)); }
    // From now on, also log "shown N" when the shown level changes.
    void logShownLevels();

    int openedCount() const { return int(media.opened().size()); }
    QString lastOpened() const { return media.opened().value(openedCount() - 1); }
    // The output gains of the given levels.
    static QList<double> gains(const QList<int>& levels);
    // What is out of bounds or out of step in the browsing model; empty when all is sane.
    QString insaneState();

private:
    void yieldOnce();
    void connectLog();

    std::deque<std::function<void()>> m_pending;
    std::map<int, std::function<void()>> m_atYield;
};

// The fade, the reserved list and events during yields (test_playercontrol_fade.cpp).
std::unique_ptr<QObject> makePlayerControlFadeTest();

} // namespace sonavue::testing
