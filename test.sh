#!/usr/bin/env bash
# SPDX-License-Identifier: LicenseRef-proprietary
# SPDX-FileCopyrightText: 2026 The Sonavue developers
# Installs what is missing, checks the sources' layout, builds, and runs every test: the normal build,
# then the logic and engine tests again under AddressSanitizer and UBSan, and the
# catalogue's tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --tests
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"

# Every tracked C++ file as clang-format (.clang-format) lays it out.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
fi

scripts/build.sh build -DSONAVUE_WERROR=ON
ctest --test-dir build --output-on-failure -j2 --timeout 300

scripts/build.sh build-asan -DSONAVUE_SANITIZE=ON -DSONAVUE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 --timeout 300

# The catalogue's tests (the scan reads tags on worker threads) under ThreadSanitizer.
tsan_tests=(test_catalogue_table test_catalogue_filelisting test_catalogue_folderscan
            test_catalogue_hostilefolders test_catalogue_tagreadahead test_catalogue_walkahead
            test_catalogue_cachewarmer
            test_catalogue_id3v2scan)
scripts/build.sh build-tsan -DSONAVUE_SANITIZE=thread -DSONAVUE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug \
  -- "${tsan_tests[@]}"
TSAN_OPTIONS="suppressions=$PWD/tests/catalogue/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j2 --timeout 300 \
  -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
