#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Kestrova's Debian package with CPack and shows what is in it.
#
#   scripts/package.sh [--build-dir DIR] [--check]
#
# Without --build-dir it makes a release build in build/package; with it, it packs that
# build as it is (CI packs the one its tests ran on; not a sanitizer build). --check then
# installs the package with apt-get (as root, or through sudo), checks that the programs
# start and the desktop knows the file types, removes it and checks that nothing stayed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/package
check=0
while [ $# -gt 0 ]; do
  case $1 in
    --build-dir) build=$2; shift 2 ;;
    --check) check=1; shift ;;
    *) echo "usage: $0 [--build-dir DIR] [--check]" >&2; exit 2 ;;
  esac
done
scripts/deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/kestrova_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/kestrova_*.deb)
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== $deb"
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
# The libraries' packages come from dpkg-shlibdeps; the window system's plugins are named by hand.
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libqt6network6 libc6 qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for path in usr/bin/kestrova usr/bin/kestrova-cli usr/share/applications/kestrova.desktop \
            usr/share/mime/packages/kestrova.xml usr/share/icons/hicolor/48x48/apps/kestrova.png \
            usr/share/doc/kestrova/copyright usr/share/man/man1/kestrova.1.gz; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done
[ $check = 1 ] || exit 0

echo "== Installing, trying and removing $deb"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
dpkg-query -W -f='${Status}' kestrova 2>/dev/null | grep -q 'install ok installed' &&
  fail "kestrova is installed already; remove it first so that the check can remove it after"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$(realpath "$deb")"
files=$(dpkg-query -L kestrova)
QT_QPA_PLATFORM=offscreen kestrova --version
kestrova-cli --version
desktop-file-validate /usr/share/applications/kestrova.desktop
# The packages' triggers have updated the MIME database and the menu's cache.
grep -q "application/x-gta2-style" /usr/share/mime/globs2 || fail "the MIME database lacks the types"
grep -q "kestrova.desktop" /usr/share/applications/mimeinfo.cache || fail "the menu cache lacks kestrova"
man -w kestrova-cli >/dev/null || fail "man does not find kestrova-cli"
$sudo apt-get purge -y -qq kestrova
left=()
while read -r file; do
  [ -f "$file" ] && left+=("$file")
done <<<"$files"
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
! grep -q "application/x-gta2" /usr/share/mime/globs2 || fail "the MIME database keeps the types"
echo "== Installed, started, and removed cleanly"
