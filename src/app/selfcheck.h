// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The command-line answers of the player that open no window: --help, --version,
// --self-check, and the usage for an option it does not know or a wrong use of one.
#include "app/commandline.h"

#include <QStringList>
#include <optional>

namespace sonavue {

// When arguments ask for one of these answers, prints it and returns the exit status
// (0; 2 with the usage on standard error for an unknown option or a wrong use of one);
// nullopt for a normal start or a remote command. The program folder and the media
// framework are looked at only by --self-check.
std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version);

} // namespace sonavue
