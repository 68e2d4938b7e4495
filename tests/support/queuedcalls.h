// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Waiting for what is already on its way instead of for a time: a check that nothing more
// happens runs once every call queued to this thread before it has been delivered. Queued
// calls reach a thread in the order they were posted, so a marker posted now arrives after
// all of them.
#include <QMetaObject>
#include <QObject>
#include <QTest>

namespace sonavue::testing {

// Delivers the calls and events queued to this thread, and those they queue in turn, `depth`
// levels deep. False when the marker never arrives (the thread's queue is stuck).
inline bool deliverQueuedCalls(int depth = 2) {
    for (int level = 0; level < depth; ++level) {
        QObject marker;
        bool delivered = false;
        QMetaObject::invokeMethod(
            &marker, [&delivered] { delivered = true; }, Qt::QueuedConnection);
        if (!QTest::qWaitFor([&delivered] { return delivered; }, 10000))
            return false;
    }
    return true;
}

} // namespace sonavue::testing
