// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "app/remoteclient.h"

#include "base/report.h"
#include "catalogue/externalfiles.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <cstdio>

namespace sonavue {
namespace {

// An answer has a line per file (at most 256 in one request) or per value, and the longest
// is a path of 4096 bytes, each percent-encoded; anything larger is not one of ours.
constexpr qsizetype MaxAnswerLines = 512;
constexpr qsizetype MaxAnswerLineLength = 3 * 4096 + 64;

RemoteAnswer notCarriedOut(const QString& why) {
    RemoteAnswer answer;
    answer.refusal = why;
    return answer;
}

QString notAPlayer(const QString& socketPath) {
    return QStringLiteral("what listens at %1 does not answer as a Sonavue player")
        .arg(oneLineText(socketPath));
}

QString whyUnreachable(const QLocalSocket& socket, const QString& socketPath) {
    switch (socket.error()) {
    case QLocalSocket::ServerNotFoundError:
    case QLocalSocket::ConnectionRefusedError: // a socket left by a player that crashed
        return QStringLiteral("no player is running (nobody listens at %1)")
            .arg(oneLineText(socketPath));
    default:
        return QStringLiteral("cannot reach the player at %1: %2")
            .arg(oneLineText(socketPath), socket.errorString());
    }
}

RemoteAnswer readAnswer(QLocalSocket& socket, const QString& socketPath) {
    RemoteAnswer answer;
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    for (qsizetype lines = 0; lines < MaxAnswerLines; ++lines) {
        while (!socket.canReadLine()) {
            if (socket.bytesAvailable() > MaxAnswerLineLength)
                return notCarriedOut(notAPlayer(socketPath));
            if (socket.state() != QLocalSocket::ConnectedState)
                return notCarriedOut(QStringLiteral(
                    "the running player ended the connection without an answer (it may be "
                    "closing, or be older than this command)"));
            if (deadline.hasExpired())
                return notCarriedOut(QStringLiteral("the running player did not answer within %1 s")
                                         .arg(AnswerTimeoutMs / 1000));
            socket.waitForReadyRead(int(deadline.remainingTime()));
        }
        switch (readAnswerLine(socket.readLine(MaxAnswerLineLength + 1), answer)) {
        case AnswerProgress::Incomplete:
            break;
        case AnswerProgress::Complete:
            if (!answer.refusal.isEmpty())
                answer.refusal.prepend(QStringLiteral("the running player did not carry it out: "));
            return answer;
        case AnswerProgress::Foreign:
            return notCarriedOut(notAPlayer(socketPath));
        }
    }
    return notCarriedOut(notAPlayer(socketPath));
}

void printLine(std::FILE* stream, const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

// Why the file at index got no answer.
QString unanswered(qsizetype index) {
    if (index >= MaxFilesPerRequest)
        return QStringLiteral("too many files in one command (at most %1)").arg(MaxFilesPerRequest);
    return QStringLiteral("the running player gave no answer for it");
}

// One line per file, in the order given; true when every one was added.
bool printFileAnswers(const QStringList& files, const RemoteAnswer& answer) {
    bool allAdded = true;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const auto& [word, why] = answer.values.value(i);
        const QString file = oneLineText(files[i]);
        if (word == "added") {
            printLine(stdout, QStringLiteral("added: ") + file);
            continue;
        }
        allAdded = false;
        printLine(stdout, QStringLiteral("refused: %1: %2")
                              .arg(file, word == "refused" ? oneLineText(why) : unanswered(i)));
    }
    return allAdded;
}

} // namespace

RemoteAnswer askRunningPlayer(const QString& socketPath, const RemoteCommand& command) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return notCarriedOut(whyUnreachable(socket, socketPath));
    if (!peerIsThisUser(int(socket.socketDescriptor())))
        return notCarriedOut(QStringLiteral("the socket at %1 belongs to another user's program")
                                 .arg(oneLineText(socketPath)));
    socket.write(requestBytes(command));
    // A request the player cuts short is still answered, with why: the answer is read anyway.
    const QDeadlineTimer written(WriteTimeoutMs);
    while (socket.bytesToWrite() > 0 && !written.hasExpired() &&
           socket.waitForBytesWritten(int(written.remainingTime()))) {
    }
    return readAnswer(socket, socketPath);
}

int runRemoteCommand(RemoteCommand command, const SocketPlace& place) {
    // The running player has a current folder of its own.
    for (QString& file : command.files)
        file = absoluteArgumentPath(file);
    // The player would drop a request past its limit unread: those files are refused here.
    RemoteCommand sent = command;
    sent.files = command.files.mid(0, MaxFilesPerRequest);
    const RemoteAnswer answer =
        place.path.isEmpty()
            ? notCarriedOut(QStringLiteral("no player can be reached: ") + place.problem)
            : askRunningPlayer(place.path, sent);
    if (!answer.refusal.isEmpty()) {
        reportLine(QStringLiteral("%1: %2").arg(optionName(command), answer.refusal));
        return 1;
    }
    if (command.verb == RemoteCommand::Verb::Enqueue)
        return printFileAnswers(command.files, answer) ? 0 : 1;
    for (const auto& [word, text] : answer.values)
        printLine(stdout, QString::fromLatin1(word) + QStringLiteral(": ") + oneLineText(text));
    return 0;
}

} // namespace sonavue
