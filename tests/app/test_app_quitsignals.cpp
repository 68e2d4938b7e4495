// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// A termination signal reaches the event loop as an ordinary call, once per signal, and the
// handler goes back to the default when the watcher goes.
#include "app/quitsignals.h"
#include "support/datarow.h"

#include <QCoreApplication>
#include <QTest>
#include <csignal>

using namespace sonavue;
using sonavue::testing::dataRow;

class QuitSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void signalsBecomeCallsOnTheEventLoop_data() {
        QTest::addColumn<int>("signal");
        dataRow("SIGTERM", int(SIGTERM));
        dataRow("SIGINT", int(SIGINT));
        dataRow("SIGHUP", int(SIGHUP));
    }
    void signalsBecomeCallsOnTheEventLoop() {
        QFETCH(int, signal);
        int calls = 0;
        QuitSignals watcher([&calls] { ++calls; });
        std::raise(signal);
        QCOMPARE(calls, 0); // nothing runs inside the signal handler
        QTRY_COMPARE(calls, 1);
        std::raise(signal);
        QTRY_COMPARE(calls, 2);
    }

    void defaultHandlerComesBack() {
        {
            QuitSignals watcher([] {});
        }
        struct sigaction current = {};
        sigaction(SIGTERM, nullptr, &current);
        QVERIFY(current.sa_handler == SIG_DFL);
    }
};

QTEST_GUILESS_MAIN(QuitSignalsTest)
#include "test_app_quitsignals.moc"
