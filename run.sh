#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sonavue.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build
# The window is made for X11: under Wayland it runs through XWayland, as the installed
# launcher does, unless you chose a platform.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -n "${DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=xcb
fi
exec ./build/Sonavue "$@"
