#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# then the logic and engine tests again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"

scripts/build.sh build
ctest --test-dir build --output-on-failure -j2 --timeout 300

scripts/build.sh build-asan -DSONAVUE_SANITIZE=ON -DSONAVUE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 --timeout 300
