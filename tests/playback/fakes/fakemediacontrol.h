#pragma once
// A media element that plays nothing: it records the commands it is sent (with the file
// name set at the time) into a shared log, and raises Done when the test says so.
#include "playback/mediacontrol.h"
#include <QFileInfo>
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

    void Command(const QString& command) override {
        sent.append({command, FileName});
        // The log names the opened file without its folder, to keep expectations short.
        m_log << (command == QLatin1String("Open")
                      ? command + QLatin1Char(' ') + QFileInfo(FileName).fileName()
                      : command);
    }
    // The files opened, in order.
    QStringList opened() const {
        QStringList files;
        for (const Sent& s : sent)
            if (s.command == QLatin1String("Open"))
                files << s.fileName;
        return files;
    }
    // The play reached its end (code 1), or some other notification.
    void finish(int code) { emit Done(code); }

    void setWaveOutVolume(std::uint32_t) override {}
    State state() const override { return State::Closed; }
    qint64 positionMs() const override { return 0; }
    qint64 durationMs() const override { return -1; }
    void pause() override {}
    void resume() override {}
    void seekMs(qint64) override {}

private:
    QStringList& m_log;
};

} // namespace sonavue::testing
