// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The music folder: the settings frame's folder box shows it, its change button chooses
// another (stored as the folder setting), and its file-type boxes say which files the library
// lists. Each folder set is scanned into the library's panes.
#include "base/settingskeys.h"
#include "tags/tagreading.h"
#include "ui/settings/folderchooser.h"

#include <QObject>
#include <QString>

class QWidget;

namespace sonavue {

class LibraryPanes;
class PlayerCore;
class SettingsFrame;

class MusicFolder : public QObject {
    Q_OBJECT
public:
    // How a folder is asked for: the dialog (empty: the platform's) and the message box of an
    // invalid choice (empty: a modal one).
    struct Asking {
        FolderDialog dialog;
        MessageShower showMessage;
    };
    // window owns it and the dialog; core, frame, library and settings outlive it.
    MusicFolder(PlayerCore& core, SettingsFrame& frame, LibraryPanes& library,
                const ProgramSettings& settings, Asking asking, QWidget& window);

    // Shows folder in the folder box and scans it.
    void set(const QString& folder);
    // The change button: a valid folder chosen is set and stored.
    void choose();
    // The library lists the types the file-type boxes tick.
    void applyFileTypes();
    // The folder read again as reading says (a changed code page, ID3v2 or opt-in types).
    void rescan(const TagReading& reading);
    // The window unloads: a scan under way gives way, and no scan runs nor is any folder
    // stored from now on.
    void stop();

signals:
    // A scan finished (not superseded).
    void scanFinished();

private:
    PlayerCore& m_core;
    SettingsFrame& m_frame;
    LibraryPanes& m_library;
    const ProgramSettings& m_settings;
    Asking m_asking;
    QWidget& m_window;
    QString m_folder; // the folder the scan walks
    bool m_stopped = false;
    bool m_firstSet = true; // the start-up's folder, which a kept library may show
};

} // namespace sonavue
