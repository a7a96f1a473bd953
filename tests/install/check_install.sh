#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_install.sh BUILD: installs BUILD into a temporary root under /usr and checks that
# it holds exactly the files a desktop needs, and that the desktop's tools accept them.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root/usr" >/dev/null
cd "$root/usr"

sizes=(16 22 24 32 48 64 128 256)
expected=(bin/kestrova bin/kestrova-cli share/applications/kestrova.desktop share/mime/packages/kestrova.xml
          share/metainfo/org.example.kestrova.metainfo.xml share/man/man1/kestrova.1.gz
          share/man/man1/kestrova-cli.1.gz share/doc/kestrova/copyright)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/kestrova.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(find . -type f -printf '%P\n' | sort) ||
  fail "the install tree differs from the list (< missing, > not listed)"
for s in "${sizes[@]}"; do
  file "share/icons/hicolor/${s}x${s}/apps/kestrova.png" | grep -q "PNG image data, $s x $s," ||
    fail "the ${s}x${s} icon is not a PNG of that size"
done

# The validators print hints and pass; any error or warning fails them.
desktop-file-validate share/applications/kestrova.desktop
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the metainfo"

# The desktop entry, the metainfo and the MIME package name the same four types.
types_of_desktop=$(sed -n 's/^MimeType=//p' share/applications/kestrova.desktop | tr ';' '\n' | sed '/^$/d' | sort)
types_of_metainfo=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' share/metainfo/*.xml | sort)
mime=$(mktemp -d -p "$root")
mkdir "$mime/packages" && cp share/mime/packages/kestrova.xml "$mime/packages/"
xmllint --noout share/mime/packages/kestrova.xml || fail "kestrova.xml is not well-formed XML"
# It says "Failed to parse" of a package it skips, and still succeeds.
! update-mime-database "$mime" 2>&1 | grep -i "fail" || fail "update-mime-database rejects kestrova.xml"
types_of_mime=$(sed -n 's/^50:\([^:]*\):.*/\1/p' "$mime/globs2" | sort)
[ "$(echo "$types_of_desktop" | wc -l)" = 4 ] || fail "the desktop entry names $(echo "$types_of_desktop" | wc -l) types"
[ "$types_of_desktop" = "$types_of_mime" ] || fail "desktop entry and MIME package differ"
[ "$types_of_desktop" = "$types_of_metainfo" ] || fail "desktop entry and metainfo differ"
for glob in gci gxt sty gmp; do grep -q ":\*\.$glob\$" "$mime/globs2" || fail "no glob for .$glob"; done
for magic in GBL GBST GBMP; do grep -aq "$magic" "$mime/magic" || fail "no magic for $magic"; done

# Both programs answer --help and --version with no display, and say their licence.
for program in kestrova kestrova-cli; do
  for option in --help --version; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "bin/$program" $option >"$root/out" 2>&1 ||
      fail "$program $option fails without a display: $(cat "$root/out")"
  done
  grep -q "GPL-3.0-or-later" "$root/out" || fail "$program --version names no licence"
done
grep -q "^License: GPL-3.0-or-later" share/doc/kestrova/copyright || fail "the copyright file names no licence"

# The man pages show, kestrova-cli's with every command and its options.
for program in kestrova kestrova-cli; do
  page=$(MANWIDTH=100 man -l "share/man/man1/$program.1.gz" 2>&1)
  grep -q "^NAME" <<<"$page" && grep -q "COPYRIGHT" <<<"$page" || fail "man -l shows no page for $program"
done
grep -q "EXIT STATUS" <<<"$page" || fail "kestrova-cli's page has no exit status"
# Every command it lists has an entry there (up to the next command), and in it each of
# the command's own options, at the start of a line as the page lists options.
bin/kestrova-cli --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\)/\1/p' |
  awk '{ words = $1; for (i = 2; i <= NF && $i ~ /^[a-z][a-z-]*$/; i++) words = words " " $i; print words }' |
  while read -r command; do
    entry=$(awk -v command="$command" 'index($0, "       " command " ") == 1 { on = 1; print; next }
                                       on && /^       [a-z]/ { exit } on' <<<"$page")
    [ -n "$entry" ] || fail "the man page has no entry for \"$command\""
    # shellcheck disable=SC2086 # the command's words are separate arguments
    for option in $(bin/kestrova-cli $command --help | sed -n '/^Options:/,$s/^  \(-.*\)/\1/p' |
      sed 's/   .*//' | tr ',' ' ' | tr ' ' '\n' | grep '^-' | grep -vxE -- '-h|--help|-v|--version'); do
      grep -qE -- "^ +$option( |$)" <<<"$entry" || fail "the man page lists no $option for \"$command\""
    done
  done

# The installed program, on two displays (the offscreen platform draws for both).
export XDG_RUNTIME_DIR=$root/run QT_QPA_PLATFORM=offscreen
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf 'GBST' >"$root/x.sty"
started=()
trap 'kill "${started[@]}" 2>/dev/null; rm -rf "$root"' EXIT
# start DISPLAY: a program of its own on that display, running once it has its socket.
start() {
  DISPLAY=$1 bin/kestrova >/dev/null 2>&1 &
  started+=($!)
  for _ in $(seq 100); do [ "$(find "$XDG_RUNTIME_DIR" -type s | wc -l)" = ${#started[@]} ] && return; sleep 0.1; done
  fail "kestrova on display $1 opened no socket for later starts"
}
start :71
# A later start on the display hands over its file (or asks for the launcher) and ends.
DISPLAY=:71.0 timeout 20 bin/kestrova "$root/x.sty" || fail "the second start did not hand its file over"
DISPLAY=:71 timeout 20 bin/kestrova || fail "the second start without a file did not hand over"
kill -0 "${started[0]}" || fail "the first program ended"
# One on another display is a program of its own.
start :72
for pid in "${started[@]}"; do kill -0 "$pid" || fail "the programs of two displays did not both run"; done
echo "install tree: ${#expected[@]} files, all valid"
