// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A media element that plays nothing: it records the calls it gets (with the file name set
// at the time) into a shared log, keeps every wave-out value sent, and raises finished when
// the test says so.
#include "playback/mediacontrol.h"
#include <QFileInfo>
#include <QList>
#include <QStringList>

namespace sonavue::testing {

class FakeMediaControl : public MediaControl {
public:
    explicit FakeMediaControl(QStringList& log) : m_log(log) {}

    struct Sent {
        QString command;
        QString fileName;
    };
    QList<Sent> sent;
    QList<double> gains; // every wave-out value sent, in order

    void open(const QString& path) override {
        m_fileName = path;
        record(QStringLiteral("Open"));
    }
    void play() override { record(QStringLiteral("Play")); }
    void close() override { record(QStringLiteral("Close")); }

    // The files opened, in order.
    QStringList opened() const {
        QStringList files;
        for (const Sent& s : sent)
            if (s.command == QLatin1String("Open"))
                files << s.fileName;
        return files;
    }
    bool wasSent(const QString& command) const {
        for (const Sent& s : sent)
            if (s.command == command)
                return true;
        return false;
    }
    // The play reached its end (code 1), or some other code.
    void finish(PlayEnd end) { emit finished(end); }

    void setOutputGain(double gain) override { gains << gain; }
    State state() const override { return State::Closed; }
    qint64 positionMs() const override { return 0; }
    qint64 durationMs() const override { return -1; }
    void pause() override {}
    void resume() override {}
    void seekMs(qint64) override {}

private:
    void record(const QString& command) {
        sent.append({command, m_fileName});
        // The log names the opened file without its folder, to keep expectations short.
        m_log << (command == QLatin1String("Open")
                      ? command + QLatin1Char(' ') + QFileInfo(m_fileName).fileName()
                      : command);
    }

    QStringList& m_log;
};

} // namespace sonavue::testing
