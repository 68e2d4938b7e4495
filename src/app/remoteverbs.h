// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The running player's side of a remote command: each verb is the transport's, as the
// window's keys and the desktop's media controls give it, and the window is left where it is.
#include "app/remotecommand.h"
#include "core/playercore.h"

namespace sonavue {

// Carries command out on core and says what became of it.
RemoteAnswer carryOutRemoteCommand(PlayerCore& core, const RemoteCommand& command);

} // namespace sonavue
