// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "playercontrolrig.h"

#include "playback/volume.h"
#include "support/musicfiles.h"

namespace sonavue::testing {
namespace {

QString folderOf(int row) {
    if (row >= 3 && row <= 5)
        return QStringLiteral("f0/");
    if (row == 6 || row == 7)
        return QStringLiteral("f1/");
    return QString();
}

} // namespace

PlayerRig::PlayerRig() {
    const QString prefix = folderPrefixFor(dir.path());
    browsing.setFolderPrefix(prefix);
    for (int row = 0; row < Rows; ++row) {
        const int added = catalogue.appendRow();
        catalogue.setCell(
            ColPath, added,
            prefix + folderOf(row) +
                QStringLiteral("t%1.mp3").arg(QString::number(row).rightJustified(2, u'0')));
        catalogue.setCell(ColTitle, added, QStringLiteral("Title %1").arg(row));
        writeTrack(row, {});
    }
    control.setYield([this] { yieldOnce(); });
    connectLog();
}

void PlayerRig::connectLog() {
    QObject::connect(&browsing.titleSelection(), &QItemSelectionModel::selectionChanged,
                     [this] { log << QStringLiteral("track %1").arg(browsing.selectedTrack()); });
    for (int list = 0; list < GroupCount; ++list) {
        QObject::connect(&browsing.groupSelection(list), &QItemSelectionModel::selectionChanged,
                         [this, list] {
                             const int entry = browsing.selectedGroupEntry(list);
                             if (entry >= 0)
                                 log << QStringLiteral("group %1:%2").arg(list).arg(entry);
                         });
    }
    QObject::connect(&browsing.reserved(), &QAbstractItemModel::rowsRemoved,
                     [this](const QModelIndex&, int first, int last) {
                         for (int i = first; i <= last; ++i)
                             log << QStringLiteral("unreserve %1").arg(i);
                     });
    QObject::connect(&volume, &VolumeLevel::applied,
                     [this](int level) { log << QStringLiteral("level %1").arg(level); });
    QObject::connect(&control, &PlayerControl::nowPlayingChanged, [this](const QString& text) {
        nowPlaying = text;
        log << QStringLiteral("title ") + text;
    });
}

void PlayerRig::logShownLevels() {
    QObject::connect(&volume, &VolumeLevel::changed,
                     [this](int level) { log << QStringLiteral("shown %1").arg(level); });
}

QString PlayerRig::path(int row) const {
    return catalogue.cell(ColPath, row);
}

QString PlayerRig::titleField(int row) {
    return QStringLiteral("Title %1").arg(row).leftJustified(30, QLatin1Char(' '));
}

bool PlayerRig::writeTrack(int row, const QString& comment) {
    TagFields tag{
        "Title " + QByteArray::number(row), "Artist", "Album", "2001", comment.toLatin1(), 12};
    tag.pad = ' ';
    return writeMusicFile(path(row), 300, tag);
}

void PlayerRig::showFolders() {
    groups[GroupFolder].clear();
    groups[GroupFolder].add(QStringLiteral("f0"));
    groups[GroupFolder].add(QStringLiteral("f1"));
    browsing.selectGroupEntry(GroupFolder, 0);
}

void PlayerRig::setGroups(int list, const QList<QList<int>>& entries) {
    const int column = list + 1;
    for (int row = 0; row < catalogue.rowCount(); ++row)
        catalogue.setCell(column, row, QString());
    groups[list].clear();
    for (qsizetype e = 0; e < entries.size(); ++e) {
        // Zero-padded, so that ascending lists keep the entries in the order given.
        const QString value = QStringLiteral("v%1").arg(QString::number(e).rightJustified(2, u'0'));
        groups[list].add(value);
        for (int row : entries[e])
            catalogue.setCell(column, row, value);
    }
}

void PlayerRig::startAtLevel(int level) {
    volume.setLevel(level);
    media.gains.clear();
    log.clear();
}

void PlayerRig::forget() {
    log.clear();
    media.sent.clear();
    media.gains.clear();
    nowPlaying.clear();
}

bool PlayerRig::reserve(const QList<int>& rows) {
    bool all = true;
    for (int row : rows)
        all = browsing.reserved().append(path(row)) && all;
    return all;
}

void PlayerRig::playing(int track) {
    browsing.selectTrack(track);
    control.selectStart();
    forget();
}

QString PlayerRig::position() const {
    const auto text = [](const std::optional<int>& value) {
        return value ? QString::number(*value) : QStringLiteral("-");
    };
    const PlayPosition& at = control.position();
    return text(at.track) + QLatin1Char('/') + text(at.groupEntry);
}

QList<double> PlayerRig::gains(const QList<int>& levels) {
    QList<double> values;
    for (int level : levels)
        values << levelGain(level);
    return values;
}

QString PlayerRig::insaneState() {
    QStringList faults;
    for (int list = 0; list < GroupCount; ++list) {
        const int entry = browsing.selectedGroupEntry(list);
        if (entry < -1 || entry >= browsing.groupEntryCount(list))
            faults << QStringLiteral("group %1 selects %2").arg(list).arg(entry);
    }
    const int track = browsing.selectedTrack();
    if (track < -1 || track >= browsing.trackCount())
        faults << QStringLiteral("track %1 of %2").arg(track).arg(browsing.trackCount());
    const QModelIndexList numbers = browsing.numberSelection().selectedIndexes();
    const int number = numbers.isEmpty() ? -1 : numbers.first().row();
    if (number != track)
        faults << QStringLiteral("number column at %1, titles at %2").arg(number).arg(track);
    if (browsing.reserved().count() > ReservedList::MaxEntries)
        faults << QStringLiteral("%1 reserved").arg(browsing.reserved().count());
    if (browsing.sourceList() < 0 || browsing.sourceList() >= GroupCount)
        faults << QStringLiteral("source list %1").arg(browsing.sourceList());
    return faults.join(QStringLiteral("; "));
}

void PlayerRig::yieldOnce() {
    ++yields;
    log << QStringLiteral("yield");
    if (auto it = m_atYield.find(yields); it != m_atYield.end()) {
        auto event = std::move(it->second);
        m_atYield.erase(it);
        event();
    }
    while (!m_pending.empty()) {
        auto event = std::move(m_pending.front());
        m_pending.pop_front();
        event();
    }
}

} // namespace sonavue::testing
