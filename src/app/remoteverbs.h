// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The running player's side of a remote command: a verb of the player's runs as the window's
// keys and the desktop's media controls run it (the player's verb table), and the window is
// left where it is.
#include "app/remotecommand.h"
#include "core/playercore.h"

namespace sonavue {

// Carries command out on core and says what became of it.
RemoteAnswer carryOutRemoteCommand(PlayerCore& core, const RemoteCommand& command);

} // namespace sonavue
