#include "windowbench.h"

#include "app/settings.h"
#include "silentmedia.h"
#include "ui/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>
#include <functional>

namespace sonavue::bench {
namespace {

Form1* findMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<Form1*>(widget))
            return form;
    return nullptr;
}

// Lets whatever is pending run (splash fade, layouts, paints) so that the next timed step
// starts from a quiet loop.
void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (clock.elapsed() < ms);
}

void timeFill(FillRuns& runs, Form1& form, const std::function<void()>& action) {
    settle(30);
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::processEvents();
    runs.ms.push_back(double(clock.nsecsElapsed()) * 1e-6);
    runs.rows.push_back(form.trackListCount());
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

    // The first turn of the loop inside Main is the scan's first yield; from there until
    // scanFinished, every turn is recorded.
    EventLoopGaps gaps;
    QPointer<Form1> watched;
    qint64 scanEndNs = -1;
    gaps.onTurn = [&] {
        if (watched)
            return;
        watched = findMainWindow();
        if (!watched)
            return;
        figures.firstTurnInScan = watched->scanRunning();
        QObject::connect(watched, &Form1::scanFinished, &gaps, [&] {
            if (scanEndNs < 0) {
                gaps.stop();
                scanEndNs = gaps.clock().nsecsElapsed();
            }
        });
    };
    gaps.start();

    Form1::Options options;
    options.appName = appName;
    options.media = std::make_unique<SilentMedia>();
    options.withWebPanel = false;
    QElapsedTimer clock;
    clock.start();
    StartedProgram program = Main(std::move(options));
    figures.startupS = double(clock.nsecsElapsed()) * 1e-9;
    gaps.stop();

    Form1& form = *program.mainWindow;
    GroupLists& groups = form.groupLists();
    figures.tracks = form.catalogue().rowCount();
    figures.folders = groups[GroupFolder].count();
    figures.albums = groups[GroupAlbum].count();
    figures.artists = groups[GroupArtist].count();
    if (scanEndNs < 0 || gaps.turns().size() < 2) {
        figures.error = QStringLiteral("the scan's turns were not seen");
        return figures;
    }
    const std::vector<qint64>& turns = gaps.turns();
    figures.scanS = double(turns.back() - turns.front()) * 1e-9;
    figures.scanTurns = int(turns.size()) - 1; // the last entry is scanFinished
    figures.longestGap = gaps.longestGap();
    std::vector<qint64> spans;
    for (std::size_t i = 1; i < turns.size(); ++i)
        spans.push_back(turns[i] - turns[i - 1]);
    figures.gapsOver100Ms =
        int(std::count_if(spans.begin(), spans.end(), [](qint64 ns) { return ns > 100'000'000; }));
    std::nth_element(spans.begin(), spans.begin() + std::ptrdiff_t(spans.size() / 2), spans.end());
    figures.medianGapMs = double(spans[spans.size() / 2]) * 1e-6;

    settle(300);
    for (int k = 0; k < runs; ++k) {
        // Folder: a small list first, so that the "ALL" fill then replaces it.
        form.TabSel_Click(GroupFolder);
        timeFill(figures.folder, form,
                 [&] { form.selectGroupEntry(GroupFolder, spread(k, runs, figures.folders)); });
        timeFill(figures.all, form, [&] { form.TabSel_Click(GroupAll); });
        form.TabSel_Click(GroupArtist);
        timeFill(figures.artist, form,
                 [&] { form.selectGroupEntry(GroupArtist, spread(k, runs, figures.artists)); });
        form.TabSel_Click(GroupAlbum);
        timeFill(figures.album, form,
                 [&] { form.selectGroupEntry(GroupAlbum, spread(k, runs, figures.albums)); });
    }
    return figures;
}

} // namespace sonavue::bench
