// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The command-line answers of the player that open no window: --help, --version,
// --self-check, and the usage for an option it does not know or a wrong use of one. The
// remote commands to the running player (remotecommand.h) are read here too.
#include "app/remotecommand.h"

#include <QStringList>
#include <optional>

namespace sonavue {

// What the command line asks for. Plain arguments (files handed over by "Open with") and
// the toolkit's own options start the player as usual.
struct CommandLine {
    enum class Request { Start, Help, Version, SelfCheck, Remote, UnknownOption, BadUsage };
    Request request = Request::Start;
    QString unknownOption; // the first option not known, for UnknownOption
    QStringList files;     // the plain arguments, in order (for Start, and --enqueue's)
    RemoteCommand remote;  // for Remote: one command, alone on the line
    QString usageProblem;  // what is wrong, for BadUsage
};
// arguments: without the program name.
CommandLine readCommandLine(const QStringList& arguments);

// When arguments ask for one of these answers, prints it and returns the exit status
// (0; 2 with the usage on standard error for an unknown option or a wrong use of one);
// nullopt for a normal start or a remote command. The program folder and the media
// framework are looked at only by --self-check.
std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version);

} // namespace sonavue
