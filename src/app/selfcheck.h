// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The command-line answers of the player that open no window: --help, --version,
// --self-check, and the usage for an option it does not know.
#include <QStringList>
#include <optional>

namespace sonavue {

// What the command line asks for. Plain arguments (files handed over by "Open with") and
// the toolkit's own options start the player as usual.
struct CommandLine {
    enum class Request { Start, Help, Version, SelfCheck, UnknownOption };
    Request request = Request::Start;
    QString unknownOption; // the first option not known, for UnknownOption
    QStringList files;     // the plain arguments, in order (for Start)
};
// arguments: without the program name.
CommandLine readCommandLine(const QStringList& arguments);

// When arguments ask for one of these answers, prints it and returns the exit status
// (0; 2 with the usage on standard error for an unknown option); nullopt for a normal
// start. The program folder and the media framework are looked at only by --self-check.
std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version);

} // namespace sonavue
