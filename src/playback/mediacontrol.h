#pragma once
// The media element's interface: what player control and the transport bar use of it.
// The real element runs GStreamer; tests may use a double that raises Done on demand.
#include <QObject>
#include <QString>
#include <cstdint>

namespace sonavue {

// Notification codes of the Done event (as the MCI control used them).
// DoneGivenUp: a play that stood still was given up; taken like an end of play, so that
// continuous play goes on.
enum DoneCode {
    DoneSuccessful = 1,
    DoneSuperseded = 2,
    DoneAborted = 4,
    DoneFailure = 8,
    DoneGivenUp = 9
};

class MediaControl : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Stopped, Playing, Paused };
    Q_ENUM(State)
    using QObject::QObject;

    // Plain members the program reads and writes (player control keeps its position here).
    QString FileName;
    QString Tag;
    QString ToolTipText;

    // "Open", "Play", "Close" (any letter case). Unknown commands are ignored.
    virtual void Command(const QString& command) = 0;
    // The 32-bit wave-out value (both 16-bit channels).
    virtual void setWaveOutVolume(std::uint32_t value) = 0;
    // The gain the output applies now (0 to 1): full until a volume has been sent.
    virtual double outputVolume() const { return 1.0; }

    // The transport bar's direct control of the open file.
    virtual State state() const = 0;
    virtual qint64 positionMs() const = 0;
    virtual qint64 durationMs() const = 0; // -1 when unknown
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void seekMs(qint64 position) = 0;
    // Stops a play without closing the file: back to the start, paused. A pending play
    // ends with a code other than 1.
    virtual void stop() {
        pause();
        seekMs(0);
    }

signals:
    // Raised on the user-interface thread. Code 1: a play reached the file's end.
    void Done(int code);
    void stateChanged(sonavue::MediaControl::State state);
};

} // namespace sonavue
