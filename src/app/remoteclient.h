// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The start that carries a remote command: it hands the command to the running player over
// the one-instance socket and prints what came back. It never becomes the player itself,
// opens no window and raises none. Needs a QCoreApplication.
#include "app/remotecommand.h"
#include "app/socketlistener.h"

namespace sonavue {

// The running player's answer to command, or in refusal why there is none (nobody listens,
// another user's socket, no answer in time, an answer that is not one). Every wait is
// bounded.
RemoteAnswer askRunningPlayer(const QString& socketPath, const RemoteCommand& command);

// Asks the player at place (relative files are taken from the current folder; past the
// first MaxFilesPerRequest, files are refused unsent) and prints the answer: values as
// "word: text" lines on standard output, for --enqueue "added: FILE" or "refused: FILE: why"
// per file; a command not carried out as one line on standard error. The exit status: 0,
// or 1 when it was not carried out or a file was refused.
int runRemoteCommand(RemoteCommand command, const SocketPlace& place);

} // namespace sonavue
