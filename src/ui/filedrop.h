// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// Files dropped on the window go to the reserved list as files handed from outside do;
// folders, remote addresses and the rest are refused, each refusal reported on stderr.
class QMimeData;

namespace sonavue {

class Transport;

// True when the drop carries addresses the window may take.
bool offersFiles(const QMimeData& data);
// Hands the dropped files to transport; true when any was taken.
bool reserveDroppedFiles(Transport& transport, const QMimeData& data);

} // namespace sonavue
