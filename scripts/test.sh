#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and runs the whole test suite headless twice:
# once as released, with warnings as errors, and once under AddressSanitizer and
# UndefinedBehaviorSanitizer. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== Checking the formatting (.clang-format)"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  echo "== Building and testing in $dir"
  cmake -S . -B "$dir" -G Ninja -DKESTROVA_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_SANITIZE=ON
