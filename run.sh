#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Installs what the player needs, builds the player (and the catalogue tool beside it), and
# starts it. The tests are built by ./test.sh.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build -- Sonavue sonavue-catalogue
# The window is made for X11: under Wayland it runs through XWayland, as the installed
# launcher does, unless you chose a platform.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -n "${DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=xcb
fi
exec ./build/Sonavue "$@"
