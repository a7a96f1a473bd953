#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the core, its tests and the fuzz replay programs for 64-bit Windows with
# mingw-w64 and runs them under wine with ctest. Installs what is missing first.
# Qt is not part of this build (KESTROVA_CORE_ONLY).
set -euo pipefail
cd "$(dirname "$0")/.."
KESTROVA_WITH_WINDOWS=1 scripts/deps.sh

# A throw-away wine prefix: nothing of the user's own is touched or kept.
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-wine.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export PATH="/usr/lib/wine:$PATH"
wine64 wineboot --init >/dev/null 2>&1 || true
# Every test's temporary files go below a folder whose name is not ASCII, as they do for
# a user named Jürgen: paths must go through the program's UTF-8 conversion everywhere.
temp='C:\kestrova-temp\Jürgen Åsa'
mkdir -p "$WINEPREFIX/drive_c/kestrova-temp/Jürgen Åsa"
for variable in TEMP TMP; do
  wine64 reg add 'HKCU\Environment' /v "$variable" /d "$temp" /f >/dev/null 2>&1
done

dir=build/windows
echo "== Building for Windows in $dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKESTROVA_CORE_ONLY=ON \
  -DKESTROVA_GTEST_SOURCE=/usr/src/googletest
cmake --build "$dir" -j "$(nproc)"
echo "== Testing under wine"
# Now and then wine fails to start a test program at all (it ends at once, with no
# output); a test that fails gets one more run, so a real failure still fails twice.
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --repeat until-pass:2
