#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Installs what is missing, checks the sources' layout, builds, and runs every test: the normal
# build; then, built with clang, the logic and engine tests again under AddressSanitizer and
# UBSan, with the fuzz targets each run for a fixed number of inputs over its seeds; and the
# catalogue's tests under ThreadSanitizer. At the end it says how long each step took.
set -euo pipefail
cd "$(dirname "$0")"

# Each step's time, said at the end, also when a step fails.
steps=()
step() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  steps+=("$(printf '%6d s  %s' $((SECONDS - start)) "$name")")
}
trap 'printf "test.sh: seconds per step\n" >&2; printf "%s\n" "${steps[@]}" >&2' EXIT

step "installs" scripts/install-deps.sh --tests
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"
# ccache keeps what was compiled between runs, also of other checkouts of the sources: a run
# compiles only what changed since.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
cc=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Every tracked C++ file as clang-format (.clang-format) lays it out.
check_layout() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
  fi
}
step "layout check" check_layout

step "build" scripts/build.sh build "${cc[@]}" -DSONAVUE_WERROR=ON
step "tests" ctest --test-dir build --output-on-failure -j2 --timeout 300

# Only what the tests run is built (no benchmarks). The fuzz targets need clang's libFuzzer
# (so a folder that gcc never configured); the libraries they link are built here with its
# instrumentation, and their runs are tests of this build (label fuzz).
step "build, sanitizers and fuzz targets" scripts/build.sh build-asan-fuzz "${cc[@]}" \
  -DCMAKE_CXX_COMPILER=clang++ -DSONAVUE_SANITIZE=ON -DSONAVUE_FUZZ=ON -DSONAVUE_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Debug -- sonavue_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  step "tests under sanitizers, fuzz runs" \
  ctest --test-dir build-asan-fuzz --output-on-failure -j2 --timeout 300

# The catalogue's tests (the scan reads tags on worker threads) under ThreadSanitizer.
tsan_tests=(test_catalogue_table test_catalogue_filelisting test_catalogue_folderscan
            test_catalogue_hostilefolders test_catalogue_tagreadahead test_catalogue_walkahead
            test_catalogue_cachewarmer test_catalogue_backgroundscan test_catalogue_folderwatcher
            test_catalogue_id3v2scan)
step "build, thread sanitizer" scripts/build.sh build-tsan "${cc[@]}" -DSONAVUE_SANITIZE=thread \
  -DSONAVUE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug -- "${tsan_tests[@]}"
TSAN_OPTIONS="suppressions=$PWD/tests/catalogue/tsan.supp" \
  step "tests under the thread sanitizer" \
  ctest --test-dir build-tsan --output-on-failure -j2 --timeout 300 \
  -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
