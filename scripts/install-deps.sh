#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Installs the Debian packages Sonavue needs:
#   scripts/install-deps.sh          what building and running the player needs
#   scripts/install-deps.sh --tests  that, and what the tests, the sanitizer builds and the
#                                    fuzz targets need as well
# Quiet and quick when everything is already there.
set -euo pipefail

PLAYER=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev libxcb1-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  timgm6mb-soundfont fonts-ipafont-gothic qt6-image-formats-plugins
  libtag1-dev libuchardet-dev libsqlite3-dev librsvg2-bin
)
# Fixtures are encoded with gst-launch; the sources' layout is checked with clang-format; the
# sanitizer and fuzz build is made by clang; ccache keeps what was compiled between runs; the
# windows are tried under Xvfb with openbox and xdotool; the installed files are checked with
# the desktop's own validators; what is played is recorded at a private PulseAudio server.
TESTS=(
  clang libclang-rt-14-dev clang-format ccache gstreamer1.0-tools
  xvfb xauth dbus openbox xdotool x11-utils
  desktop-file-utils appstream groff-base
  pulseaudio pulseaudio-utils
)

case "${1:-}" in
  "") wanted=("${PLAYER[@]}") ;;
  --tests) wanted=("${PLAYER[@]}" "${TESTS[@]}") ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=()
[ "$(id -u)" -ne 0 ] && SUDO=(sudo)
echo "Installing: ${missing[*]}" >&2
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
