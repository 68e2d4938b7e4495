#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Regenerates the committed audio fixtures under assets/fixtures (needs gst-launch-1.0 with
# the lame plugin). The files are committed so tests never need an encoder.
set -euo pipefail
cd "$(dirname "$0")/.."
out=assets/fixtures
mkdir -p "$out"

# tone-400ms.mp3: 0.4 s of a 440 Hz sine, mono 44.1 kHz, 64 kbit/s constant bit rate.
# 44100 * 0.4 = 17640 samples = 18 buffers of 980.
gst-launch-1.0 -q audiotestsrc wave=sine freq=440 volume=0.5 samplesperbuffer=980 num-buffers=18 \
  ! audio/x-raw,rate=44100,channels=1 \
  ! lamemp3enc target=bitrate bitrate=64 cbr=true \
  ! filesink location="$out/tone-400ms.mp3"
ls -l "$out"
