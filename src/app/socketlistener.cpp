// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/socketlistener.h"

#include "base/userfolders.h"

#include <QLocalSocket>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sonavue {
namespace {

// Out of descriptors: how long the waiting connections stay queued before the next try
// (trying at once would spin, since the listening socket stays readable).
constexpr int RetryMs = 200;
// Connections taken in one go, so that a flood does not hold up the event loop.
constexpr int AcceptsPerTurn = 32;

std::optional<sockaddr_un> addressOf(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return address;
}

} // namespace

SocketPlace defaultSocketPlace() {
    const RuntimeFolder folder = runtimeFolder();
    if (folder.path.isEmpty())
        return {{}, folder.problem};
    return {folder.path + QStringLiteral("/sonavue-%1").arg(::getuid()), {}};
}

bool peerIsThisUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

SocketListener::SocketListener(QObject* parent) : QObject(parent) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
        acceptWaiting();
    });
}

SocketListener::~SocketListener() {
    close();
}

bool SocketListener::listen(const QByteArray& path) {
    close();
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // On Linux the socket file takes the socket's own mode: only this user may connect.
    ::fchmod(fd, 0600);
    struct stat st {};
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0 || ::lstat(path.constData(), &st) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_fileDevice = st.st_dev;
    m_fileInode = st.st_ino;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SocketListener::acceptWaiting);
    return true;
}

void SocketListener::close() {
    if (m_fd < 0)
        return;
    m_retry.stop();
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
    // A later process may have taken the path over; its socket is not ours to remove.
    struct stat st {};
    if (::lstat(m_path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) &&
        st.st_dev == m_fileDevice && st.st_ino == m_fileInode)
        ::unlink(m_path.constData());
}

void SocketListener::acceptWaiting() {
    for (int taken = 0; m_fd >= 0 && taken < AcceptsPerTurn; ++taken) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                // Out of descriptors or memory: keep listening, try again shortly.
                m_notifier->setEnabled(false);
                m_retry.start();
            }
            return;
        }
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        auto* client = new QLocalSocket(this);
        if (!client->setSocketDescriptor(fd)) {
            ::close(fd);
            delete client;
            continue;
        }
        emit connected(client);
    }
}

bool nobodyListensAt(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::getuid())
        return false;
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool refused =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 &&
        errno == ECONNREFUSED;
    ::close(fd);
    return refused;
}

} // namespace sonavue
