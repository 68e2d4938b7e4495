#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Runs a command on a desktop of its own: a fresh Xvfb server on a free display, the openbox
# window manager managing it, and a private D-Bus session bus. The command runs with
# QT_QPA_PLATFORM=xcb; its exit status is this script's. Everything started here is ended
# on the way out, whatever happens.
#
#   run-with-wm.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGUMENT...]" >&2
  exit 2
fi
for tool in Xvfb openbox xprop xdotool xwininfo dbus-run-session; do
  if ! command -v "$tool" >/dev/null; then
    echo "$0: $tool is missing (scripts/install-deps.sh --tests installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sonavue-wm.XXXXXX")
xvfb_pid=""
openbox_pid=""
cleanup() {
  # Only the processes this script started, by their ids.
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null && wait "$openbox_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to about ten seconds for a condition (a command) to hold.
wait_for() {
  for _ in $(seq 100); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# The server picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset \
  3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
display_written() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
if ! wait_for display_written || ! kill -0 "$xvfb_pid" 2>/dev/null; then
  echo "$0: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

# openbox with its stock configuration, kept away from the user's own.
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if ! wait_for wm_running; then
  echo "$0: openbox did not take the display $DISPLAY:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

export QT_QPA_PLATFORM=xcb
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --no-sandbox}"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
status=0
dbus-run-session -- "$@" || status=$?
exit "$status"
