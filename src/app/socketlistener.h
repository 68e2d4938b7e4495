// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// A listening local (Unix) socket that outlives trouble. Unlike QLocalServer, it does not
// give up (and delete its socket file) when accepting fails for lack of file descriptors:
// the waiting connections stay queued and are taken a moment later. It only ever removes
// the socket file it made itself, and hands on only connections from this user.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <sys/types.h>

class QLocalSocket;
class QSocketNotifier;

namespace sonavue {

// How long a later start or a remote command waits on the one-instance socket: to connect,
// to write its request, and for the running player's answer. A running player answers within
// one turn of its event loop; one that takes longer is busy (a long scan step) and acts on
// the request when it can.
inline constexpr int ConnectTimeoutMs = 2000;
inline constexpr int WriteTimeoutMs = 2000;
inline constexpr int AnswerTimeoutMs = 5000;
// Files one request hands over (a second start's, or --enqueue's); the reserved list takes
// only a few anyway. The starts refuse the others themselves, before connecting.
inline constexpr qsizetype MaxFilesPerRequest = 256;

// Where the per-user socket is: sonavue-<uid> in the user's private runtime folder. No path,
// and why not, when the user has no such folder (another user made it, or opened it to all).
struct SocketPlace {
    QString path;
    QString problem;
};
SocketPlace defaultSocketPlace();

class SocketListener : public QObject {
    Q_OBJECT
public:
    explicit SocketListener(QObject* parent = nullptr);
    ~SocketListener() override;

    // Listens at path (mode 0600). False, with errno set, when that fails (EADDRINUSE: a
    // socket file is already there).
    bool listen(const QByteArray& path);
    // Stops listening; connections still queued are refused. The socket file goes when it is
    // still the one this listener made.
    void close();

signals:
    // A connection from this user, as a socket owned by this listener.
    void connected(QLocalSocket* client);

private:
    void acceptWaiting();

    int m_fd = -1;
    QByteArray m_path;
    dev_t m_fileDevice = 0;
    ino_t m_fileInode = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_retry; // after running out of descriptors
};

// Whether the socket at path has no listener: it refuses connections (a socket file left
// by a crashed process).
bool nobodyListensAt(const QByteArray& path);

// Whether the process at the other end of the connected socket fd runs as this user (a socket
// planted by another user in a shared temporary folder is handed nothing).
bool peerIsThisUser(int fd);

} // namespace sonavue
