// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "scanpauses.h"

#include "ui/mainwindow/mainwindow.h"
#include <QApplication>
#include <QPointer>
#include <algorithm>

namespace sonavue::bench {
namespace {

MainWindow* findMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<MainWindow*>(widget))
            return form;
    return nullptr;
}

} // namespace

ScanPauses recordScanPauses(bool fromCall, const std::function<void()>& runScan) {
    ScanPauses pauses;
    EventLoopGaps gaps;
    QPointer<MainWindow> watched;
    // The window may not exist yet (the start-up builds it): it is looked up at each turn
    // until found.
    gaps.onTurn = [&] {
        if (watched)
            return;
        watched = findMainWindow();
        if (!watched)
            return;
        pauses.firstTurnInScan = watched->scanRunning();
        QObject::connect(watched, &MainWindow::scanFinished, &gaps, [&] {
            if (!pauses.finished) {
                pauses.finished = true;
                gaps.stop();
            }
        });
    };
    gaps.start();
    if (fromCall)
        gaps.markTurn();
    runScan();
    if (!pauses.finished) {
        gaps.stop();
        return pauses;
    }

    const std::vector<qint64>& turns = gaps.turns();
    if (turns.size() < 2)
        return pauses;
    pauses.seconds = double(turns.back() - turns.front()) * 1e-9;
    pauses.turns = int(turns.size()) - 1; // the last entry is scanFinished
    pauses.longest = gaps.longestGap();
    std::vector<qint64> spans;
    for (std::size_t i = 1; i < turns.size(); ++i)
        spans.push_back(turns[i] - turns[i - 1]);
    pauses.pausesOver100Ms =
        int(std::count_if(spans.begin(), spans.end(), [](qint64 ns) { return ns > 100'000'000; }));
    std::nth_element(spans.begin(), spans.begin() + std::ptrdiff_t(spans.size() / 2), spans.end());
    pauses.medianPauseMs = double(spans[spans.size() / 2]) * 1e-6;
    return pauses;
}

} // namespace sonavue::bench
