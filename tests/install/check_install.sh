#!/usr/bin/env bash
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

# The man pages show, kestrova-cli's with every command it lists.
for program in kestrova kestrova-cli; do
  page=$(MANWIDTH=100 man -l "share/man/man1/$program.1.gz" 2>&1)
  grep -q "^NAME" <<<"$page" && grep -q "COPYRIGHT" <<<"$page" || fail "man -l shows no page for $program"
done
grep -q "EXIT STATUS" <<<"$page" || fail "kestrova-cli's page has no exit status"
bin/kestrova-cli --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\)/\1/p' | while read -r command; do
  grep -qF -- "$command" <<<"$page" || fail "the man page lacks \"$command\""
done
# The installed program: a second start hands its file to the first and ends.
export XDG_RUNTIME_DIR=$root/run QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf 'GBST' >"$root/x.sty"
bin/kestrova >/dev/null 2>&1 &
first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/kestrova" ] && break; sleep 0.1; done
timeout 20 bin/kestrova "$root/x.sty" && kill -0 $first || { kill $first; fail "the second start did not hand over"; }
kill $first
echo "install tree: ${#expected[@]} files, all valid"
