// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Picking up where the user left off: the reserved list, the track list shown (a group
// entry, the ALL page, a find's rows or a playlist), the selected track and the playing
// track with its position are written to a file at each change of track and at quit, and
// brought back once, when the library is first shown. A kept file that is gone is passed
// over.
#include "core/playercore.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

namespace sonavue {

struct ResumeState {
    QStringList reserved;
    QString playing; // empty: nothing was open
    qint64 positionMs = 0;
    enum class Shown { Nothing, Entry, All, Rows, Playlist } shown = Shown::Nothing;
    int list = 0; // Entry: the group list, and its entry's text
    QString entry;
    QStringList paths;  // Rows, Playlist: the rows' files, in order
    QStringList titles; // Playlist: their titles
    QString selected;   // the selected track's file
};

// The state as the file holds it (JSON), and back; nothing for text that is not such a state.
QByteArray resumeText(const ResumeState& state);
std::optional<ResumeState> parseResumeText(const QByteArray& text);

class SessionResume : public QObject {
    Q_OBJECT
public:
    // showPage brings a group list's page (or the ALL page) to the front in the window.
    SessionResume(PlayerCore& core, QString file, bool playOn,
                  std::function<void(int page)> showPage, QObject* parent = nullptr);

    // What there is now.
    ResumeState capture() const;
    // Brings the file's state back; only the first call does anything, and nothing is written
    // before it (a quit during the first scan keeps the file as it was).
    void restore();
    // Writes what there is now; a failure is said once on standard error.
    void save();
    // Nothing is brought back: what there is is kept from now on (the key was turned on
    // while the player ran).
    void keepFromNow();

    // More rows than this in a find's list are not kept (the group entry is).
    static constexpr int MaxKeptRows = 20000;

private:
    void restoreShown(const ResumeState& state);
    void restoreSelection(const QString& path);

    PlayerCore& m_core;
    QString m_file;
    bool m_playOn;
    std::function<void(int page)> m_showPage;
    bool m_restored = false;
    bool m_failureSaid = false;
};

} // namespace sonavue
