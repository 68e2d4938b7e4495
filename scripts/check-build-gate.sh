#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# A build that fails must stop everything built on it: in a copy of the sources with one
# broken file, scripts/build.sh, ./run.sh and ./test.sh must each exit non-zero, before any
# program or test of an earlier build can run.
#   scripts/check-build-gate.sh [SOURCE_DIR]
set -uo pipefail
src=$(cd "${1:-$(dirname "$0")/..}" && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
# The sources without build folders, nor git (./test.sh then skips its layout check).
tar -C "$src" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$copy" -xf -
echo 'this is not C++' >> "$copy/src/base/numbers.cpp"
# A player of an earlier build, which a stale run would start.
mkdir -p "$copy/build"
printf '#!/bin/sh\necho STALE PLAYER RAN\n' > "$copy/build/Sonavue"
chmod +x "$copy/build/Sonavue"

status=0
check() {
  local name=$1; shift
  local out rc
  out=$("$@" 2>&1); rc=$?
  if [ "$rc" -eq 0 ] || grep -q 'STALE PLAYER RAN' <<<"$out"; then
    echo "FAIL: $name exited $rc on a broken source" >&2
    tail -20 <<<"$out" >&2
    status=1
  elif ! grep -q 'numbers.cpp' <<<"$out"; then
    echo "FAIL: $name did not show the compiler's error" >&2
    tail -20 <<<"$out" >&2
    status=1
  else
    echo "ok: $name exited $rc"
  fi
}
check "scripts/build.sh" "$copy/scripts/build.sh" "$copy/build-gate" -- sv_base
check "./run.sh" "$copy/run.sh" --version
check "./test.sh" "$copy/test.sh"
exit $status
