// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Qt's model tester on the program's item models: the group lists, the track list's two
// columns and the reserved list. Every change a test makes to a watched model is checked as
// it happens, and a broken rule fails the test function where it happened. Hold the rig
// after the models it watches, so that it goes first.
#include "catalogue/browsingmodel.h"

#include <QAbstractItemModelTester>
#include <memory>
#include <vector>

namespace sonavue::testing {

class ModelTesters {
public:
    ModelTesters() = default;
    explicit ModelTesters(GroupLists& groups) { watch(groups); }
    explicit ModelTesters(BrowsingModel& browsing) { watch(browsing); }

    void watch(QAbstractItemModel& model) {
        m_testers.push_back(std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest));
    }
    void watch(GroupLists& groups) {
        for (int list = 0; list < GroupCount; ++list)
            watch(groups[list]);
    }
    // Its group lists, both columns of its track list and its reserved list.
    void watch(BrowsingModel& browsing) {
        for (int list = 0; list < GroupCount; ++list)
            watch(browsing.groupList(list));
        watch(browsing.titleColumn());
        watch(browsing.numberColumn());
        watch(browsing.reserved());
    }

private:
    std::vector<std::unique_ptr<QAbstractItemModelTester>> m_testers;
};

} // namespace sonavue::testing
