// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Shared by the scan's tests: an observer that records every call, in order, as short text
// (so that two scans' calls and yields can be compared), and can act at a given yield.
#include "catalogue/folderscan.h"

#include <QStringList>
#include <functional>

namespace sonavue::testing {

class RecordingObserver : public ScanObserver {
public:
    QStringList events;
    int yields = 0;
    std::function<void(int yield)> onYield;

    void letEventsRun() override {
        ++yields;
        events << QStringLiteral("yield");
        if (onYield)
            onYield(yields);
    }
    void selectFirstFolder() override { events << QStringLiteral("select"); }
    void readingStarted(int n) override { events << QStringLiteral("start %1").arg(n); }
    void folderStarted(int i, int n) override {
        events << QStringLiteral("folder %1 %2").arg(i).arg(n);
    }
    void fileRead(int j) override { events << QStringLiteral("file %1").arg(j); }
    void folderRead(int i) override { events << QStringLiteral("read %1").arg(i); }
    void readingFinished() override { events << QStringLiteral("finished"); }
};

} // namespace sonavue::testing
