#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in release mode (-O2, no sanitizers) and prints:
# - the resident memory of the program with the large style file open in the style viewer,
#   next to the file's size;
# - one table from the medians of five runs, each operation with its floor in a process of
#   its own: operation, input size, median time and, for inputs of a megabyte or more, the
#   floor for the same input and their ratio; then how each grows from the game-sized
#   input to the ten-times one;
# - the limits a user feels, each "ok" or "OVER" (RegisterLimit in bench/): each window
#   opens the game-sized file of its kind in under 100 ms and a ten-times one in under
#   200 ms; the window's thread is never kept from its events for 50 ms or more while a
#   ten-times file is opened, saved or exported ("longest stall"); Export All of a font
#   style like the game's under 1 s; a save of a 60 MB style within 3 times the floor of
#   writing as many bytes; "kestrova-cli info" starts in under 50 ms; the longest text of a
#   game-sized Spanish text file drawn in the game's font in under 2 ms; "gxt check" of it
#   under 100 ms; a map's zone edit saved within 3 times its floor; a frame of the whole
#   map in the map viewer in under 16 ms; and a few more. The last line is
#   "limits over: N".
# Extra arguments go to Google Benchmark (for example --benchmark_filter=GXT). It takes
# about three minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
KESTROVA_WITH_BENCH=1 scripts/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
  -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCH=ON -DKESTROVA_SANITIZE=OFF >/dev/null
cmake --build build/bench --target kestrova_bench kestrova-cli >/dev/null
bench=build/bench/bench/kestrova_bench
export QT_QPA_PLATFORM=offscreen
# Inputs and saves go to a memory file system where there is one: on a disk, how the
# file system schedules its write-back swamps the difference between a save and its floor.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
medians=build/bench/medians.txt
log=build/bench/runs.log
: >"$medians"
: >"$log"
# Other work on the machine slows every real time below.
[ -r /proc/loadavg ] && echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

# Memory, in a process of its own so that nothing else it did counts.
style=build/bench/large-style.sty
bytes=$("$bench" --write-style x10 "$style")
report=build/bench/rss-after-open.txt
/usr/bin/time -f 'peak resident: %M kB' -o "$report.peak" "$bench" --rss-after-open "$style" >"$report"
rm -f "$style"
file_kb=$((bytes / 1024))
peak_kb=$(sed -n 's/^peak resident: \([0-9]*\) kB$/\1/p' "$report.peak")
after_kb=$(sed -n 's/^resident after open: \([0-9-]*\) kB$/\1/p' "$report")
echo "memory with the large style file open in the style viewer:"
printf '  %-34s %8d kB\n' "style file" "$file_kb" "resident after the open" "$after_kb" \
  "peak resident" "$peak_kb" "goal (file + 60 MB)" "$((file_kb + 60 * 1024))"

# Start-up of the command line on a small file, in processes of their own; its median
# joins the others for the limits.
small=build/bench/small.gci
printf 'header\r\n\r\n{CAR}\r\n1 {Model}\r\n' >"$small"
runs=()
for _ in $(seq 21); do
  start=$(date +%s%N)
  build/bench/kestrova-cli info "$small" >/dev/null
  runs+=($((($(date +%s%N) - start) / 1000)))
done
rm -f "$small"
median_us=$(printf '%s\n' "${runs[@]}" | sort -n | sed -n 11p)
printf 'median\tkestrova-cli info start-up\t%d.%03d\t0\n' $((median_us / 1000)) $((median_us % 1000)) >>"$medians"

# Each operation runs with its floor in a process of its own: run after the others, an
# operation of a few microseconds measured up to a sixth slower or faster, depending on what
# they had left in the heap.
"$bench" --benchmark_list_tests=true "$@" 2>/dev/null | sed -n '/^floor /d; s|/.*$||p' |
  while IFS= read -r name; do
    echo "measuring $name" >&2
    pattern="^(floor )?$(printf '%s' "$name" | sed 's/[][\.*^$()+?{}|]/\\&/g')/"
    "$bench" --medians-only --benchmark_min_time=0.1 --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true "$@" --benchmark_filter="$pattern" 2>>"$log" |
      grep $'^median\t' >>"$medians"
  done
"$bench" --table "$medians"
