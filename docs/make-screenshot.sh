#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Takes docs/screenshot.png afresh: the player built in build/ is installed into a scratch
# prefix, pointed at a small library of made-up albums (ID3v1 tags, Japanese ones in
# Shift-JIS as the player reads them by default) and shown on a desktop of its own (Xvfb,
# openbox), where an album is chosen and a track played, as a person would do it.
#
#   docs/make-screenshot.sh [OUTPUT.png]
# Needs what ./test.sh installs (Xvfb, openbox, xdotool, gst-launch-1.0).
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-docs/screenshot.png}")
# The library lies where a person's would, /home/aoi/Music, on a /home of this run's own (a
# private mount namespace); where that cannot be had, in the scratch folder.
if [ -z "${SONAVUE_SHOT_HOME:-}" ] && unshare --map-root-user --mount true 2>/dev/null; then
  exec env SONAVUE_SHOT_HOME=1 unshare --map-root-user --mount "$0" "$output"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/sonavue-shot.XXXXXX")
trap 'rm -rf "$work"' EXIT
music="$work/Music"
if [ -n "${SONAVUE_SHOT_HOME:-}" ]; then
  mount -t tmpfs none /home
  music=/home/aoi/Music
fi

# One field of an ID3v1 tag: the text in the tag's code page, cut or padded with NULs.
field() { # TEXT WIDTH CODEPAGE
  printf '%s' "$1" | iconv -f UTF-8 -t "$3" | head -c "$2" >"$work/field"
  cat "$work/field"
  head -c $(($2 - $(stat -c %s "$work/field"))) /dev/zero
}
# Two minutes of tone: the fixture's 0.4 s of plain MP3 frames, 300 times over.
for _ in $(seq 300); do cat assets/fixtures/tone-400ms.mp3; done >"$work/tone.mp3"
# An MP3 of the tone with an ID3v1.1 tag at its end.
track() { # FILE TITLE ARTIST ALBUM YEAR TRACKNO GENRE CODEPAGE
  mkdir -p "$(dirname "$1")"
  {
    cat "$work/tone.mp3"
    printf 'TAG'
    field "$2" 30 "$8"; field "$3" 30 "$8"; field "$4" 30 "$8"; field "$5" 4 ASCII
    head -c 29 /dev/zero
    printf "\\$(printf '%03o' "$6")\\$(printf '%03o' "$7")"
  } >"$1"
}
# ARTIST ALBUM YEAR GENRE CODEPAGE TITLE...
album() {
  local artist=$1 album=$2 year=$3 genre=$4 page=$5 n=0
  shift 5
  for title in "$@"; do
    n=$((n + 1))
    track "$music/$artist/$album/$(printf '%02d' $n) $title.mp3" \
      "$title" "$artist" "$album" "$year" "$n" "$genre" "$page"
  done
}
album "星野あおい" "夏の終わり" 2019 13 CP932 "海へ" "夕立" "線香花火" "帰り道" "夏の終わり"
album "The Lantern Keepers" "Northern Lights" 2021 17 ASCII \
  "Harbour Song" "Slow Tide" "Paper Boats" "Evening Star" "Northern Lights"
album "黒川みな" "都会の夜" 2016 13 CP932 "ネオン" "終電" "ひとりごと" "朝焼け"
album "Marble Hall Quartet" "Four Seasons Revisited" 2012 32 ASCII \
  "Spring I" "Summer Storm" "Autumn Song" "Winter Light"
album "Sunday Tapes" "Back Porch" 2008 2 ASCII "Dusty Road" "Rain on Tin" "Coffee Blues"
album "Kenji Arata" "Blue Hour" 2023 8 ASCII "Blue Hour" "Late Train" "Quiet Room"

cmake --install build --prefix "$work/prefix" >/dev/null
program="$work/prefix/lib/sonavue"
printf '[init]\nFolder=%s\n' "$music" >"$program/Sonavue.ini"

cat >"$work/take.sh" <<EOF
#!/usr/bin/env bash
set -euo pipefail
"$program/Sonavue" >"$work/player.log" 2>&1 &
sleep 6 # the splash card has gone
window=\$(xdotool search --onlyvisible --name '^Sonavue\$' | head -1)
click() { xdotool mousemove --window "\$window" "\$1" "\$2" click "\${3:-1}"; sleep 0.7; }
click 110 328 # the Album tab
click 80 376  # its third album
click 100 63  # its first track, played with Ctrl+S
xdotool key --window "\$window" ctrl+s
sleep 0.7
xdotool mousemove --window "\$window" 100 91 click --repeat 2 1 # the third onto the reserved list
xdotool mousemove 1500 900
sleep 4       # past the note that there is no sound device here
eval "\$(xdotool getwindowgeometry --shell "\$window")"
gst-launch-1.0 -q ximagesrc startx=\$X starty=\$Y endx=\$((X + WIDTH - 1)) \
  endy=\$((Y + HEIGHT - 1)) use-damage=false num-buffers=1 \
  ! videoconvert ! pngenc ! filesink location="$output"
xdotool key --window "\$window" ctrl+q
EOF
chmod +x "$work/take.sh"
tests/desktop/run-with-wm.sh "$work/take.sh"
echo "written: $output"
