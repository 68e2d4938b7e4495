// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The media element's interface: what player control and the transport bar use of it.
// The real element runs GStreamer; tests may use a double that finishes on demand.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace sonavue {

// The file that would follow the open one at its end, and the output gain its start sets
// (nothing: the gain stays as it is).
struct NextFile {
    QString path;
    std::optional<double> outputGain;
    bool operator==(const NextFile&) const = default;
};
// A file's own linear gain (ReplayGain), multiplied into the output gain while it plays.
using FileGainRule = std::function<double(const QString& path)>;

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

    // Gapless play: the file the end-of-track step would choose now, to be prepared so that
    // it follows the open file sample for sample (nothing: none). Called again whenever the
    // choice may have changed; a choice that changes after the file was prepared drops it.
    virtual void setNextFile(const std::optional<NextFile>& next) { Q_UNUSED(next) }
    // While finished(PlayEnd::Reached) is raised for a file that the prepared one followed
    // without a gap: the file that now plays. Empty otherwise.
    virtual QString continuedFile() const { return {}; }
    // Takes the continued file as the open file, playing on from where it stands, in place
    // of open() and play(); false when path is not the continued file (it is then dropped by
    // open() or close()). A continued file not taken by the slots of finished is closed.
    virtual bool takeContinuedFile(const QString& path) {
        Q_UNUSED(path)
        return false;
    }
    // From the next file opened on: a file that ends by itself may be followed by the one
    // offered with setNextFile, without a gap. Off: each file ends with its play, also the
    // one playing now (a file offered to follow it is withdrawn).
    virtual void setGapless(bool on) { Q_UNUSED(on) }
    // Each file opened from now on plays at its own gain too (ReplayGain); none: 1.
    virtual void setFileGainRule(FileGainRule rule) { Q_UNUSED(rule) }

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
