// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The media element's interface: what player control and the transport bar use of it.
// The real element runs GStreamer; tests may use a double that finishes on demand.
#include <QObject>
#include <QString>

namespace sonavue {

// Codes of a play's end (as the MCI control numbered them).
// DoneFailure: the file could not be opened or played.
// DoneGivenUp: a play that stood still was given up; taken like an end of play, so that
// continuous play goes on.
// DoneFailure and DoneGivenUp are raised only while no command has been given since: they
// always concern the file last opened, never one closed or replaced before they arrive.
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

    // Opens the file for a play (closing any open one); a file that cannot be opened
    // leaves the element closed, and its play ends with DoneFailure.
    virtual void open(const QString& path) = 0;
    // Plays the open file from where it stands; it ends with finished(DoneSuccessful).
    virtual void play() = 0;
    // Closes the open file; a pending play ends with DoneAborted.
    virtual void close() = 0;
    // The file last given to open() (kept after it is closed).
    const QString& fileName() const { return m_fileName; }
    // The output's linear gain, 0 (silent) to 1 (full); it holds for the files opened later.
    virtual void setOutputGain(double gain) = 0;
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
    // A play ended (the control's Done event), raised on the user-interface thread.
    // DoneSuccessful: it reached the file's end.
    void finished(int code);
    void stateChanged(sonavue::MediaControl::State state);
    // There is no sound device: plays go on, silently. Raised once.
    void audioOutputMissing();

protected:
    QString m_fileName;
};

} // namespace sonavue
