#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Prints which source folders each folder includes from, and fails when a folder includes
# one that is not below it: base -> tags -> catalogue -> playback -> core -> ui/web -> app;
# and the same for the parts of ui.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
declare -A allowed=(
  [base]=""
  [tags]="base"
  [catalogue]="base tags"
  [playback]="base tags catalogue"
  [core]="base tags catalogue playback"
  [web]="base"
  [ui]="base tags catalogue playback core web"
  [app]="base tags catalogue playback core web ui"
)
status=0

# check_floors PREFIX ARRAY: each folder $src/PREFIX<name>/ includes from PREFIX<other>/ only
# the others its entry in the associative array ARRAY allows.
check_floors() {
  local prefix=$1
  local -n rules=$2
  local dir name used other
  for dir in "$src/$prefix"*/; do
    name=$(basename "$dir")
    if [[ -z "${rules[$name]+set}" ]]; then
      echo "unknown source folder: $prefix$name" >&2
      status=1
      continue
    fi
    used=$(grep -rhoE "^#include \"$prefix[a-z]+/" "$dir" | sed -E "s|#include \"$prefix([a-z]+)/|\\1|" |
           sort -u | grep -vx "$name" | tr '\n' ' ' || true)
    echo "$prefix$name -> ${used:-(nothing)}"
    for other in $used; do
      if [[ " ${rules[$name]} " != *" $other "* ]]; then
        echo "  $prefix$name must not include from $prefix$other:" >&2
        grep -rlE "^#include \"$prefix$other/" "$dir" | sed 's/^/    /' >&2
        status=1
      fi
    done
  done
}
check_floors "" allowed

# The windows' parts inside ui, each including only the parts before it in this list (the
# start-up at the top of ui uses them all).
declare -A parts=(
  [style]=""
  [controls]=""
  [cards]="style"
  [transport]="style"
  [settings]="style controls"
  [library]="style controls settings"
  [window]="style controls settings"
  [mainwindow]="style controls cards transport settings library window"
)
check_floors ui/ parts
exit $status
