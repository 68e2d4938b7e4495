// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "ui/library/musicfolder.h"

#include "core/playercore.h"
#include "tags/containertags.h"
#include "ui/library/librarypanes.h"
#include "ui/settings/settingsframe.h"

#include <QWidget>
#include <utility>

namespace sonavue {

MusicFolder::MusicFolder(PlayerCore& core, SettingsFrame& frame, LibraryPanes& library,
                         const ProgramSettings& settings, Asking asking, QWidget& window)
    : QObject(&window), m_core(core), m_frame(frame), m_library(library), m_settings(settings),
      m_asking(std::move(asking)), m_window(window) {}

void MusicFolder::set(const QString& folder) {
    m_frame.setFolderText(folder);
    m_core.browsing().setFolderPrefix(folderPrefixFor(folder));
    m_folder = folder;
    // The program is ending: no scan runs after the window has unloaded.
    if (m_stopped)
        return;
    LibraryKeeper* const keeper = m_core.keeper();
    const bool starting = std::exchange(m_firstSet, false);
    if (keeper) {
        keeper->scanStarting();
        // At the start a kept library is shown at once; a folder set later is scanned.
        if (starting && keeper->showKept(m_folder)) {
            m_library.showScanned();
            emit scanFinished();
            return;
        }
    }
    if (m_library.scan(m_folder) == FolderScan::Result::Superseded)
        return;
    emit scanFinished();
    if (keeper && !m_stopped)
        keeper->scanned(m_folder);
}

void MusicFolder::choose() {
    const std::optional<QString> chosen =
        askForMusicFolder(&m_window, m_frame.folderText(), m_asking.dialog, m_asking.showMessage);
    if (!chosen)
        return;
    set(*chosen);
    if (!m_stopped) // the unload wrote the last settings of this run
        m_settings.write(Setting::Folder, m_frame.folderText());
}

void MusicFolder::applyFileTypes() {
    // The opt-in types of the "types" setting are added to what the boxes list.
    m_core.browsing().setFilePattern(
        FilePattern(filePatternFor(m_frame.fileType(0), m_frame.fileType(1), m_frame.fileType(2),
                                   m_core.tagReading().extraTypes)));
}

void MusicFolder::rescan(const TagReading& reading) {
    m_core.setTagReading(reading);
    applyFileTypes();
    set(m_folder);
}

void MusicFolder::stop() {
    m_stopped = true;
    m_core.scan().stop();
    if (LibraryKeeper* const keeper = m_core.keeper())
        keeper->stop();
}

} // namespace sonavue
