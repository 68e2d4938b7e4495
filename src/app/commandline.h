// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The player's command line: one table of its options, which both reads the arguments and
// writes the usage (--help), so that the two never disagree. The toolkit's own options
// (-platform xcb, -style fusion, ...) are read past as Qt takes them, and not shown.
#include "app/remotecommand.h"

#include <QByteArray>
#include <QStringList>

namespace sonavue {

// What the command line asks for. Plain arguments (files handed over by "Open with") and
// the toolkit's own options start the player as usual.
struct CommandLine {
    enum class Request { Start, Help, Version, SelfCheck, Remote, UnknownOption, BadUsage };
    Request request = Request::Start;
    QString unknownOption; // the first option not known, as written, for UnknownOption
    QStringList files;     // the plain arguments, in order (for Start, and --enqueue's)
    RemoteCommand remote;  // for Remote: one command, alone on the line
    QString usageProblem;  // what is wrong, for BadUsage
};
// arguments: without the program name. Help wins over anything else on the line; an unknown
// option over any other request.
CommandLine readCommandLine(const QStringList& arguments);

// The usage --help prints, written from the options' table.
QByteArray usageText();

} // namespace sonavue
