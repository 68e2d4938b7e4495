#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>
#include <sys/socket.h>
#include <unistd.h>

namespace sonavue {
namespace {

constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;
// A request is one short line; anything longer is not ours and is dropped.
constexpr qint64 MaxRequestLength = 64;
const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");

// The peer of a connected local socket runs as this user (a socket planted by another user
// in a shared temporary folder is not handed anything).
bool peerIsThisUser(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &size) != 0)
        return false;
    return credentials.uid == ::getuid();
}

} // namespace

QString SingleInstance::defaultSocketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("sonavue-%1").arg(::getuid()));
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath)) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start() {
    if (handOver())
        return Role::HandedOver;
    // Nobody accepts: no socket, or one left behind by a crash.
    QLocalServer::removeServer(m_socketPath);
    if (m_server.listen(m_socketPath))
        return Role::Primary;
    // Another start won the race between our look and our listen.
    if (handOver())
        return Role::HandedOver;
    return Role::Alone;
}

bool SingleInstance::handOver() {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    if (!peerIsThisUser(socket))
        return false;
    socket.write(RaiseRequest);
    if (!socket.waitForBytesWritten(WriteTimeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(WriteTimeoutMs);
    return true;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        // One connection carries one request line; anything else ends it.
        auto readRequests = [this, guard] {
            if (!guard)
                return;
            if (guard->canReadLine()) {
                const bool raise = guard->readLine(MaxRequestLength + 1) == RaiseRequest;
                guard->disconnectFromServer();
                if (raise)
                    emit raiseRequested();
            } else if (guard->bytesAvailable() > MaxRequestLength) {
                guard->abort();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        // Bytes that came with the connection are read now.
        readRequests();
    }
}

void raiseWindow(QWidget& window) {
    window.show();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

} // namespace sonavue
