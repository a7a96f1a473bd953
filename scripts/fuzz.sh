#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build/fuzz and runs each for SECONDS on a
# scratch copy of its seed corpus (the committed corpus is never changed). Prints, per
# target, the executions done and whether it crashed; a crash input is copied to
# fuzz/regressions/<format>/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "SECONDS must be a whole number" >&2; exit 2; }

KESTROVA_WITH_FUZZ=1 scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DKESTROVA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/fuzz -j "$(nproc)"

# The checks save what they read into a scratch folder; keep those files off the disk when we can.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

status=0
summary=()
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  format=${name#fuzz_}
  target=build/fuzz/bin/$name
  if [ ! -x "$target" ]; then  # the PO and image targets need libgettextpo and Qt Gui
    summary+=("$format: not built (see the configure step's messages)")
    continue
  fi
  work=build/fuzz/work/$format
  findings=build/fuzz/findings/$format
  log=build/fuzz/logs/$format.log
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  if [ -d "fuzz/corpus/$format" ]; then
    cp -R "fuzz/corpus/$format/." "$work/"
  fi

  echo "== $name for ${seconds}s (log: $log)"
  rc=0
  # One job; an input that takes 10 s counts as a hang, and a hang is a finding.
  "$target" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || rc=$?

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ -z "$execs" ]; then
    execs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  fi
  shopt -s nullglob
  found=("$findings"/*)
  shopt -u nullglob
  if [ "$rc" -ne 0 ] || [ ${#found[@]} -gt 0 ]; then
    status=1
    mkdir -p "fuzz/regressions/$format"
    for f in "${found[@]}"; do
      cp "$f" "fuzz/regressions/$format/"
    done
    grep -E 'ERROR: |SUMMARY: |fuzz check failed' "$log" | head -n 5 || true
    summary+=("$format: ${execs:-?} executions, CRASHED (exit $rc; ${#found[@]} input(s) copied to fuzz/regressions/$format/)")
  else
    summary+=("$format: ${execs:-?} executions, no crash")
  fi
done

echo "== Summary"
printf '%s\n' "${summary[@]}"
exit "$status"
