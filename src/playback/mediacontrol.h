// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The media element's interface: what player control and the transport bar use of it.
// The real element runs GStreamer; tests may use a double that finishes on demand.
#include <QObject>
#include <QString>

namespace sonavue {

class MediaControl : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Stopped, Playing, Paused };
    Q_ENUM(State)
    // How a play ended; the numbers are the codes the window's media control gave its Done
    // event. Failed: the file could not be opened or played. GivenUp: a play that stood still
    // was given up, taken like an end of play so that continuous play goes on. Failed and
    // GivenUp are raised only while no command has been given since: they always concern the
    // file last opened, never one closed or replaced before they arrive.
    enum class End { Reached = 1, Superseded = 2, Aborted = 4, Failed = 8, GivenUp = 9 };
    Q_ENUM(End)
    using QObject::QObject;

    // Opens the file for a play (closing any open one); a file that cannot be opened
    // leaves the element closed, and its play ends with PlayEnd::Failed.
    virtual void open(const QString& path) = 0;
    // Plays the open file from where it stands; it ends with finished(PlayEnd::Reached).
    virtual void play() = 0;
    // Closes the open file; a pending play ends with PlayEnd::Aborted.
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
    void finished(sonavue::MediaControl::End end);
    void stateChanged(sonavue::MediaControl::State state);
    // There is no sound device: plays go on, silently. Raised once.
    void audioOutputMissing();

protected:
    QString m_fileName;
};

using PlayEnd = MediaControl::End;

} // namespace sonavue
