// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/singleinstance.h"

#include "base/filelock.h"
#include "base/nativepath.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <memory>
#include <unistd.h>

namespace sonavue {
namespace {

// A client that has not sent its request by then is dropped (a silent or trickling client
// would otherwise hold a descriptor for good).
constexpr int ClientTimeoutMs = 2000;
// A start waits this long for another start of the same user to finish its own.
constexpr int StartTurnWaitMs = 10000;
// A request begins with one short line; anything longer is not ours and is dropped.
constexpr qint64 MaxRequestLength = 64;
// A file's line: the longest path (4096 bytes), every byte percent-encoded.
constexpr qint64 MaxFileLineLength = 3 * 4096 + 1;
const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");
const QByteArray OpenRequest = QByteArrayLiteral("open\n");
const QByteArray RaisedAnswer = QByteArrayLiteral("raised\n");
const QByteArray AddedAnswer = QByteArrayLiteral("added\n");
const QByteArray RefusedAnswer = QByteArrayLiteral("refused ");
// A request past the limits is answered with this line and the reason, then dropped.
const QByteArray ErrorAnswer = QByteArrayLiteral("error ");

QByteArray requestFor(const QStringList& files) {
    if (files.isEmpty())
        return RaiseRequest;
    QByteArray request = OpenRequest;
    for (const QString& file : files)
        request += pathToNative(file).toPercentEncoding() + '\n';
    return request + '\n';
}

// One answer line: empty for "added", else the reason.
QString readFileAnswer(const QByteArray& line) {
    if (line.startsWith(RefusedAnswer))
        return QString::fromUtf8(
            QByteArray::fromPercentEncoding(line.mid(RefusedAnswer.size()).trimmed()));
    return {};
}

// Tells the client why its request is not taken, then ends the connection (once the line
// has gone out, or when the client's time is up).
void dropWithReason(QLocalSocket& client, const QString& reason) {
    client.write(ErrorAnswer + reason.toUtf8() + '\n');
    client.disconnectFromServer();
}

// A line longer than a request's may be: within a file list the client is told why.
void dropOverlongLine(QLocalSocket& client, bool fileLine) {
    if (fileLine)
        dropWithReason(client,
                       QStringLiteral("a file line longer than %1 bytes").arg(MaxFileLineLength));
    else
        client.abort(); // a line too long to be ours
}

// What one connection has sent so far.
struct PendingRequest {
    QByteArray request;       // its first line, once read
    bool takingFiles = false; // file lines follow it, up to an empty line
    QStringList files;
};

bool requestTakesFiles(const QByteArray& line) {
    if (line == OpenRequest)
        return true;
    const std::optional<RemoteCommand> command = commandOfRequestLine(line);
    return command && takesFiles(command->verb);
}

// Sees the window's close event before the window does.
class CloseWatch : public QObject {
public:
    CloseWatch(SingleInstance& instance, QObject* parent) : QObject(parent), m_instance(instance) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            m_instance.stopListening(); // the main window's close is never cancelled
        return QObject::eventFilter(watched, event);
    }

private:
    SingleInstance& m_instance;
};

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath)) {
    connect(&m_listener, &SocketListener::connected, this, &SingleInstance::serve);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const QStringList& files) {
    if (m_socketPath.isEmpty())
        return Role::Alone;
    // Two starts at once must not both find the socket stale and take it over in turn (the
    // second would remove the first's live socket).
    const FileLock turn(pathToNative(m_socketPath) + ".lock", StartTurnWaitMs);
    m_fileAnswers.clear();
    switch (askToRaise(files.mid(0, MaxFilesPerRequest))) {
    case Answer::Raised:
        // Files past what one start hands over were not sent.
        while (m_fileAnswers.size() < files.size())
            m_fileAnswers << QStringLiteral("too many files in one start (at most %1)")
                                 .arg(MaxFilesPerRequest);
        return Role::HandedOver;
    case Answer::Busy:
        return Role::HandedOver;
    case Answer::Ending:
    case Answer::NobodyThere:
        break;
    }
    return listenTakingOverStale() ? Role::Primary : Role::Alone;
}

bool SingleInstance::listenTakingOverStale() {
    const QByteArray path = pathToNative(m_socketPath);
    if (m_listener.listen(path))
        return true;
    // A socket file nobody listens on: left behind by a crash.
    return errno == EADDRINUSE && nobodyListensAt(path) && ::unlink(path.constData()) == 0 &&
           m_listener.listen(path);
}

SingleInstance::Answer SingleInstance::askToRaise(const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(ConnectTimeoutMs) ||
        !peerIsThisUser(int(socket.socketDescriptor())))
        return Answer::NobodyThere;
    socket.write(requestFor(files));
    const QDeadlineTimer written(WriteTimeoutMs);
    while (socket.bytesToWrite() > 0 && !written.hasExpired() &&
           socket.waitForBytesWritten(int(written.remainingTime()))) {
    }
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    QStringList answers;
    for (;;) {
        while (!socket.canReadLine()) {
            if (socket.state() != QLocalSocket::ConnectedState)
                return Answer::Ending; // closed without an answer: it stopped listening
            if (deadline.hasExpired())
                return Answer::Busy;
            socket.waitForReadyRead(int(deadline.remainingTime()));
        }
        const QByteArray line = socket.readLine(MaxFileLineLength + 1);
        if (line == RaisedAnswer)
            break;
        if (line.startsWith(ErrorAnswer)) {
            // The request was not taken: every file is refused for the reason given.
            m_fileAnswers = QStringList(files.size(),
                                        QString::fromUtf8(line.mid(ErrorAnswer.size()).trimmed()));
            return Answer::Raised;
        }
        if (answers.size() >= files.size())
            return Answer::Ending; // not an answer of ours
        answers << readFileAnswer(line);
    }
    answers.resize(files.size());
    m_fileAnswers = answers;
    return Answer::Raised;
}

QByteArray SingleInstance::answerRequest(const QByteArray& request, const QStringList& files) {
    if (isCommandRequest(request))
        return answerCommand(request, files);
    if (request != RaiseRequest && request != OpenRequest)
        return {};
    const QByteArray answer = request == OpenRequest ? answerFiles(files) : QByteArray();
    emit raiseRequested();
    return answer + RaisedAnswer;
}

QByteArray SingleInstance::answerCommand(const QByteArray& request, const QStringList& files) {
    std::optional<RemoteCommand> command = commandOfRequestLine(request);
    RemoteAnswer answer;
    if (!command) {
        answer.refusal = QStringLiteral("not a command this player knows: ") +
                         QString::fromUtf8(request.trimmed());
    } else if (!m_commandHandler) {
        answer.refusal = QStringLiteral("this player takes no commands");
    } else {
        command->files = files;
        answer = m_commandHandler(*command);
    }
    return answerBytes(answer);
}

QByteArray SingleInstance::answerFiles(const QStringList& paths) {
    QStringList answers;
    if (m_fileHandler)
        answers = m_fileHandler(paths);
    QByteArray out;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString why = i < answers.size() ? answers[i]
                            : m_fileHandler    ? QString()
                                               : QStringLiteral("this player takes no files");
        out +=
            why.isEmpty() ? AddedAnswer : RefusedAnswer + why.toUtf8().toPercentEncoding() + '\n';
    }
    return out;
}

void SingleInstance::stopListening() {
    m_listener.close();
    const auto clients = m_listener.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly);
    for (QLocalSocket* client : clients) {
        client->abort();
        client->deleteLater();
    }
}

void SingleInstance::serve(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    auto* timeout = new QTimer(client);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, client, [client] {
        client->abort();
        client->deleteLater();
    });
    timeout->start(ClientTimeoutMs);
    QPointer<QLocalSocket> guard(client);
    auto pending = std::make_shared<PendingRequest>();
    // One connection carries one request; anything else ends it.
    auto readRequest = [this, guard, pending] {
        while (guard && guard->canReadLine()) {
            const qint64 limit = pending->takingFiles ? MaxFileLineLength : MaxRequestLength;
            const QByteArray line = guard->readLine(limit + 2);
            if (!line.endsWith('\n')) {
                dropOverlongLine(*guard, pending->takingFiles);
                return;
            }
            if (pending->takingFiles && line != "\n") {
                if (pending->files.size() >= MaxFilesPerRequest) {
                    dropWithReason(*guard, QStringLiteral("more than %1 files in one request")
                                               .arg(MaxFilesPerRequest));
                    return;
                }
                pending->files << pathFromNative(QByteArray::fromPercentEncoding(line.chopped(1)));
                continue;
            }
            if (!pending->takingFiles) {
                pending->request = line;
                pending->takingFiles = requestTakesFiles(line);
                if (pending->takingFiles)
                    continue;
            }
            // Carrying out a request may run events: the connection may be gone after it.
            const QByteArray answer = answerRequest(pending->request, pending->files);
            if (!guard || !guard->isOpen())
                return;
            if (!answer.isEmpty())
                guard->write(answer);
            guard->disconnectFromServer(); // after the answer has gone out
            return;
        }
        const qint64 limit = pending->takingFiles ? MaxFileLineLength : MaxRequestLength;
        if (guard && guard->bytesAvailable() > limit)
            dropOverlongLine(*guard, pending->takingFiles);
    };
    connect(client, &QLocalSocket::readyRead, this, readRequest);
    // Bytes that came with the connection are read now.
    readRequest();
}

void stopListeningWhenClosed(SingleInstance& instance, QWidget& window) {
    window.installEventFilter(new CloseWatch(instance, &instance));
}

void raiseWindow(QWidget& window) {
    window.show();
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

} // namespace sonavue
