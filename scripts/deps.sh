#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Kestrova builds, tests and runs with, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format git
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core libgettextpo-dev gettext
  # Installing: the man page's maker, the desktop's validators, and the Debian package's tools.
  help2man man-db desktop-file-utils appstream shared-mime-info libxml2-utils file dpkg-dev
)
# GNU time measures the benchmarks' peak memory.
if [ "${KESTROVA_WITH_BENCH:-0}" = 1 ]; then
  packages+=(time)
fi
# The Windows build of the core: the cross compiler, GoogleTest's sources and wine.
if [ "${KESTROVA_WITH_WINDOWS:-0}" = 1 ]; then
  packages+=(g++-mingw-w64-x86-64-posix googletest wine64)
fi
if [ "${KESTROVA_WITH_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
