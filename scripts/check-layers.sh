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
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z "${allowed[$folder]+set}" ]]; then
    echo "unknown source folder: $folder" >&2
    status=1
    continue
  fi
  used=$(grep -rhoE '^#include "[a-z]+/' "$dir" | sed -E 's/#include "([a-z]+)\//\1/' |
         sort -u | grep -vx "$folder" | tr '\n' ' ' || true)
  echo "$folder -> ${used:-(nothing)}"
  for other in $used; do
    if [[ " ${allowed[$folder]} " != *" $other "* ]]; then
      echo "  $folder must not include from $other:" >&2
      grep -rlE "^#include \"$other/" "$dir" | sed 's/^/    /' >&2
      status=1
    fi
  done
done

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
for dir in "$src"/ui/*/; do
  part=$(basename "$dir")
  if [[ -z "${parts[$part]+set}" ]]; then
    echo "unknown part of ui: $part" >&2
    status=1
    continue
  fi
  used=$(grep -rhoE '^#include "ui/[a-z]+/' "$dir" | sed -E 's/#include "ui\/([a-z]+)\//\1/' |
         sort -u | grep -vx "$part" | tr '\n' ' ' || true)
  echo "ui/$part -> ${used:-(nothing)}"
  for other in $used; do
    if [[ " ${parts[$part]} " != *" $other "* ]]; then
      echo "  ui/$part must not include from ui/$other:" >&2
      grep -rlE "^#include \"ui/$other/" "$dir" | sed 's/^/    /' >&2
      status=1
    fi
  done
done
exit $status
