// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The web engine's set-up, which must come before the application object exists.

namespace sonavue {

// Call before QApplication exists. The panel is composed in software (unless QT_QUICK_BACKEND
// says otherwise); QtWebEngine will not start as root with its sandbox, so for root only the
// sandbox is disabled, said once on stderr.
void prepareWebEngine();

} // namespace sonavue
