// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "windowbench.h"

#include "base/settings.h"
#include "paintwatch.h"
#include "silentmedia.h"
#include "ui/library/librarypanes.h"
#include "ui/library/musicfolder.h"
#include "ui/startup.h"
#include "ui/windowcontrols.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <algorithm>
#include <functional>

namespace sonavue::bench {
namespace {

// Lets whatever is pending run (splash fade, layouts, paints) so that the next timed step
// starts from a quiet loop.
void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (clock.elapsed() < ms);
}

void timeFill(FillRuns& runs, MainWindow& form, const std::function<void()>& action) {
    settle(30);
    PaintWatch watch;
    QListView* const titlesList = testing::control<QListView>(form, QStringLiteral("ListName"));
    titlesList->viewport()->installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::processEvents();
    runs.ms.push_back(double(clock.nsecsElapsed()) * 1e-6);
    runs.rows.push_back(form.core().browsing().trackCount());
    while (!watch.painted && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    runs.paintedMs.push_back(watch.painted ? double(clock.nsecsElapsed()) * 1e-6 : -1);
    titlesList->viewport()->removeEventFilter(&watch);
}

// Entry k of runs, spread over a list of count entries.
int spread(int k, int runs, int count) {
    return int((qint64(count) - 1) * (k + 1) / (runs + 1));
}

} // namespace

WindowFigures measureWindow(const QString& appName, const QString& folder, int runs) {
    WindowFigures figures;
    if (!writeSetting(appName, QStringLiteral("init"), QStringLiteral("Folder"), folder)) {
        figures.error =
            QStringLiteral("cannot write the settings file %1").arg(settingsFilePath(appName));
        return figures;
    }

    StartOptions options;
    options.window.appName = appName;
    options.core.media = std::make_unique<SilentMedia>();
    options.window.withWebPanel = false;
    StartedProgram program;
    figures.startupScan = recordScanPauses(false, [&] {
        QElapsedTimer clock;
        clock.start();
        program = startProgram(std::move(options));
        figures.startupS = double(clock.nsecsElapsed()) * 1e-9;
    });
    if (!program.mainWindow || !figures.startupScan.finished) {
        figures.error = QStringLiteral("the start-up scan did not finish");
        return figures;
    }

    MainWindow& form = *program.mainWindow;
    GroupLists& groups = form.core().groups();
    figures.tracks = form.core().catalogue().rowCount();
    figures.folders = groups[GroupFolder].count();
    figures.albums = groups[GroupAlbum].count();
    figures.artists = groups[GroupArtist].count();

    settle(300);
    for (int k = 0; k < runs; ++k) {
        // Folder: a small list first, so that the "ALL" fill then replaces it.
        form.library().showTab(GroupFolder);
        timeFill(figures.folder, form, [&] {
            form.core().browsing().selectGroupEntry(GroupFolder, spread(k, runs, figures.folders));
        });
        timeFill(figures.all, form, [&] { form.library().showTab(GroupAll); });
        form.library().showTab(GroupArtist);
        timeFill(figures.artist, form, [&] {
            form.core().browsing().selectGroupEntry(GroupArtist, spread(k, runs, figures.artists));
        });
        form.library().showTab(GroupAlbum);
        timeFill(figures.album, form, [&] {
            form.core().browsing().selectGroupEntry(GroupAlbum, spread(k, runs, figures.albums));
        });
    }

    settle(100);
    figures.rescan = recordScanPauses(true, [&] { form.musicFolder().set(folder); });
    if (!figures.rescan.finished)
        figures.error = QStringLiteral("the rescan did not finish");
    return figures;
}

} // namespace sonavue::bench
