// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "core/sessionresume.h"

#include "base/nativepath.h"
#include "base/report.h"
#include "base/settingsfile.h"
#include "catalogue/externalfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <sys/stat.h>

namespace sonavue {
namespace {

constexpr int Version = 1;
const char* const ShownWords[] = {"nothing", "entry", "all", "rows", "playlist"};

QStringList textsOf(const QJsonValue& value) {
    QStringList texts;
    for (const QJsonValue& item : value.toArray())
        texts << item.toString();
    return texts;
}

bool playable(const QString& path) {
    return !path.isEmpty() && whyNotReservable(path, playableTypes()).isEmpty();
}

} // namespace

QByteArray resumeText(const ResumeState& state) {
    QJsonObject o;
    o[QStringLiteral("version")] = Version;
    o[QStringLiteral("reserved")] = QJsonArray::fromStringList(state.reserved);
    o[QStringLiteral("playing")] = state.playing;
    o[QStringLiteral("positionMs")] = double(state.positionMs);
    o[QStringLiteral("shown")] = QString::fromLatin1(ShownWords[int(state.shown)]);
    o[QStringLiteral("list")] = state.list;
    o[QStringLiteral("entry")] = state.entry;
    o[QStringLiteral("paths")] = QJsonArray::fromStringList(state.paths);
    o[QStringLiteral("titles")] = QJsonArray::fromStringList(state.titles);
    o[QStringLiteral("selected")] = state.selected;
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ResumeState> parseResumeText(const QByteArray& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text);
    const QJsonObject o = document.object();
    if (!document.isObject() || o.value(QStringLiteral("version")).toInt() != Version)
        return std::nullopt;
    ResumeState state;
    state.reserved = textsOf(o.value(QStringLiteral("reserved"))).mid(0, ReservedList::MaxEntries);
    state.playing = o.value(QStringLiteral("playing")).toString();
    state.positionMs =
        std::max<qint64>(0, qint64(o.value(QStringLiteral("positionMs")).toDouble()));
    const QString shown = o.value(QStringLiteral("shown")).toString();
    for (int i = 0; i < int(std::size(ShownWords)); ++i)
        if (shown == QLatin1String(ShownWords[i]))
            state.shown = ResumeState::Shown(i);
    state.list = std::clamp(o.value(QStringLiteral("list")).toInt(), 0, GroupCount - 1);
    state.entry = o.value(QStringLiteral("entry")).toString();
    state.paths = textsOf(o.value(QStringLiteral("paths"))).mid(0, SessionResume::MaxKeptRows);
    state.titles = textsOf(o.value(QStringLiteral("titles"))).mid(0, SessionResume::MaxKeptRows);
    state.selected = o.value(QStringLiteral("selected")).toString();
    return state;
}

SessionResume::SessionResume(PlayerCore& core, QString file, bool playOn,
                             std::function<void(int page)> showPage, QObject* parent)
    : QObject(parent), m_core(core), m_file(std::move(file)), m_playOn(playOn),
      m_showPage(std::move(showPage)) {
    // kill -9 loses at most what changed since the last change of track.
    connect(&m_core.player(), &PlayerControl::nowPlayingChanged, this, [this] {
        if (m_restored)
            save();
    });
}

ResumeState SessionResume::capture() const {
    BrowsingModel& browsing = m_core.browsing();
    Transport& transport = m_core.transport();
    ResumeState state;
    state.reserved = browsing.reserved().paths();
    if (transport.state() != MediaControl::State::Closed) {
        state.playing = transport.fileName();
        state.positionMs = std::max<qint64>(0, transport.positionMs());
    }
    const Catalogue& rows = browsing.shownCatalogue();
    const int list = browsing.sourceList();
    if (browsing.shownKind() != BrowsingModel::RowsKind::Listed &&
        browsing.trackCount() <= MaxKeptRows) {
        const bool playlist = browsing.shownKind() == BrowsingModel::RowsKind::Playlist;
        state.shown = playlist ? ResumeState::Shown::Playlist : ResumeState::Shown::Rows;
        for (const int row : browsing.shownRows()) {
            state.paths << rows.cell(ColPath, row);
            if (playlist)
                state.titles << rows.cell(ColTitle, row);
        }
    } else if (browsing.showingAllTracks()) {
        state.shown = ResumeState::Shown::All;
    } else if (list >= 0 && list < GroupCount && browsing.rememberedGroupEntry(list) >= 0) {
        state.shown = ResumeState::Shown::Entry;
        state.list = list;
        state.entry = browsing.groupList(list).at(browsing.rememberedGroupEntry(list));
    }
    if (const std::optional<int> row = browsing.selectedRow())
        state.selected = browsing.rowPath(*row);
    return state;
}

void SessionResume::restore() {
    if (std::exchange(m_restored, true))
        return;
    const LoadedFile loaded = loadFileBytes(pathToNative(m_file));
    if (loaded.state != LoadState::Loaded)
        return;
    const std::optional<ResumeState> state = parseResumeText(loaded.bytes);
    if (!state) {
        reportLine(QStringLiteral("the kept session in %1 cannot be read; play starts afresh")
                       .arg(readableText(m_file)));
        return;
    }
    for (const QString& path : state->reserved)
        if (playable(path))
            m_core.browsing().reserved().append(path);
    restoreShown(*state);
    restoreSelection(state->selected);
    if (playable(state->playing))
        m_core.player().resumeAt(state->playing, state->positionMs, m_playOn);
}

void SessionResume::restoreShown(const ResumeState& state) {
    BrowsingModel& browsing = m_core.browsing();
    switch (state.shown) {
    case ResumeState::Shown::Nothing:
        return;
    case ResumeState::Shown::Entry: {
        const int entry = browsing.groupList(state.list).indexOf(state.entry);
        if (entry < 0)
            return; // gone from the library: the list stays as the scan left it
        if (m_showPage)
            m_showPage(state.list);
        browsing.selectGroupEntry(state.list, entry);
        return;
    }
    case ResumeState::Shown::All:
        if (m_showPage)
            m_showPage(GroupAll);
        else
            browsing.showAllTracks();
        return;
    case ResumeState::Shown::Rows: {
        std::vector<int> rows;
        for (const QString& path : state.paths)
            if (const int row = browsing.catalogue().rowOfPath(path); row >= 0)
                rows.push_back(row);
        browsing.showRows(std::move(rows), BrowsingModel::RowsKind::Found);
        return;
    }
    case ResumeState::Shown::Playlist: {
        std::vector<PlaylistEntry> entries;
        for (qsizetype i = 0; i < state.paths.size(); ++i)
            if (playable(state.paths[i]))
                entries.push_back({state.paths[i], state.titles.value(i), int(i) + 1});
        if (!entries.empty())
            browsing.showPlaylist(entries);
        return;
    }
    }
}

void SessionResume::restoreSelection(const QString& path) {
    BrowsingModel& browsing = m_core.browsing();
    const std::vector<int>& rows = browsing.shownRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (browsing.rowPath(rows[i]) == path) {
            browsing.selectTrack(int(i));
            return;
        }
}

void SessionResume::keepFromNow() {
    m_restored = true;
    save();
}

void SessionResume::save() {
    if (!m_restored)
        return;
    const QString folder = QFileInfo(m_file).absolutePath();
    if (QDir().mkpath(folder))
        ::chmod(pathToNative(folder).constData(), 0700); // what the user played is theirs alone
    const QByteArray text = resumeText(capture());
    const RewriteOutcome outcome =
        rewriteFile(pathToNative(m_file), [&](const LoadedFile&) { return text; });
    if (!outcome.written && !std::exchange(m_failureSaid, true))
        reportLine(QStringLiteral("the session cannot be kept in %1: %2")
                       .arg(readableText(m_file), outcome.whyNot));
}

} // namespace sonavue
