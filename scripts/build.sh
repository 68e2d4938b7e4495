#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Configures and builds one build folder:
#   scripts/build.sh DIR [cmake options...] [-- targets...]
# Without targets everything is built.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
targets=()
if [ $# -gt 0 ]; then shift; targets=(--target "$@"); fi
# Configured each time, so that a tool installed since (./test.sh installs the test tools
# after ./run.sh built the player here) is found.
cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
# Ninja's progress lines are left out; the build's own status is the script's (pipefail: a
# failed build fails the pipeline whatever the filter does).
status=0
cmake --build "$dir" "${targets[@]}" -- -j"$(nproc)" |
  { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; } || status=$?
if [ "$status" -ne 0 ]; then
  echo "build.sh: the build in $dir failed (status $status)" >&2
  exit "$status"
fi
