// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// One running player per user: a second start hands a "raise" request to the running one
// over a local socket and ends, instead of opening a second window. The running one answers
// "raised"; a start that gets no answer because the player is ending becomes the player.
//
// A start with files sends "open" instead, then each file's path (its bytes, percent-
// encoded) on a line of its own and an empty line. The running one answers one line per
// file, "added" or "refused <reason, percent-encoded>", then "raised".
//
// A start with a remote command (--stop, ...; remotecommand.h) sends "command <verb>":
// "play-pause", "stop", "next", "previous", "volume <level 0-255>", "print-playing", or
// "enqueue" followed by file lines and an empty line as for "open". The running one carries
// it out without raising its window and answers lines of a word and, after a space, a
// percent-encoded text ("added" or "refused <reason>" per file; "state", "path", "title",
// "artist" and "position-ms" for print-playing), then "done"; or only "error <reason>" when
// it did not carry the command out (a verb it does not know, a player still starting).
#include "app/remotecommand.h"
#include "app/socketlistener.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QLocalSocket;
class QWidget;

namespace sonavue {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,    // no other instance: this one listens for later starts
        HandedOver, // another instance runs and was asked to raise its window
        Alone,      // neither worked (socket folder unusable, foreign socket): run anyway
    };
    Q_ENUM(Role)

    // Takes the files of a later start: one answer per path, empty when the path was taken,
    // else why not.
    using FileHandler = std::function<QStringList(const QStringList& paths)>;
    // Carries out the remote command of a later start.
    using CommandHandler = std::function<RemoteAnswer(const RemoteCommand& command)>;

    // socketPath: where the instances meet (defaultSocketPlace()); empty: nowhere, so a start
    // runs alone.
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Where the files of later starts go; without a handler they are refused.
    void setFileHandler(FileHandler handler) { m_fileHandler = std::move(handler); }
    // Where remote commands go; without a handler they are refused.
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }

    // Hands over to a running instance, or becomes the one that listens. A socket left by a
    // crashed instance (it refuses connections) is removed and taken over; a socket some
    // live process listens on never is. Starts of one user take turns here. files (absolute
    // paths) go to the running instance when there is one.
    Role start(const QStringList& files = {});
    // After a hand-over with files: the running instance's answer for each (empty: added).
    // Empty when it was too busy to answer in time.
    const QStringList& fileAnswers() const { return m_fileAnswers; }
    // Takes no more requests: a later start finds nobody and becomes the player. Requests
    // taken but not yet answered get no answer, so their starts become the player too.
    void stopListening();
    const QString& socketPath() const { return m_socketPath; }

signals:
    // A later start asked this instance to show its window.
    void raiseRequested();

private:
    // Raised: the running player answered (it is raised, unless it refused the request).
    enum class Answer { Raised, Busy, Ending, NobodyThere };
    Answer askToRaise(const QStringList& files);
    bool listenTakingOverStale();
    void serve(QLocalSocket* client);
    // The answer to a whole request (its first line, and its files); empty for none.
    QByteArray answerRequest(const QByteArray& request, const QStringList& files);
    QByteArray answerFiles(const QStringList& paths);
    QByteArray answerCommand(const QByteArray& request, const QStringList& files);

    QString m_socketPath;
    SocketListener m_listener;
    FileHandler m_fileHandler;
    CommandHandler m_commandHandler;
    QStringList m_fileAnswers;
};

// Stops instance listening as soon as window begins to close, before its closing handling
// runs: a window that is unloading is never "raised" for a second start.
void stopListeningWhenClosed(SingleInstance& instance, QWidget& window);

// Shows the window in front, restored from minimised, with the focus.
void raiseWindow(QWidget& window);

} // namespace sonavue
