// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal) close the main window
// the ordinary way, so its closing still saves the file-type settings and stops the sound.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace sonavue {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // onSignal runs on the user-interface thread, once per signal received.
    explicit QuitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace sonavue
