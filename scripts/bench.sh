#!/usr/bin/env bash
# Builds the benchmarks in release mode (-O2, no sanitizers), runs each operation with its
# floor in a process of its own and prints one table: operation, input size, median time,
# the floor for the same input, their ratio; the last line of the table gives the worst
# ratio. Then the limits some operations are held to (RegisterLimit in bench/: SaveSTY
# within 3x its floor, every sprite exported as PNG within 10x writing plain bitmaps, a
# 255 x 255 sprite replaced and drawn in under 5 ms, the longest text of a game-sized
# Spanish text file drawn in the game's font in under 2 ms, "gxt check" of a 2,600-text
# file in under 100 ms, a map's zone edit saved within 3x its floor, a frame of the whole
# map in the map viewer in under 16 ms), each "ok" or "OVER". Then the
# resident memory of the program with the large style file open in the style viewer, next
# to the file's size. Extra arguments go to Google Benchmark (for example
# --benchmark_filter=GXT).
set -euo pipefail
cd "$(dirname "$0")/.."
KESTROVA_WITH_BENCH=1 scripts/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
  -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCH=ON -DKESTROVA_SANITIZE=OFF
cmake --build build/bench --target kestrova_bench
bench=build/bench/bench/kestrova_bench
export QT_QPA_PLATFORM=offscreen
# Inputs and saves go to a memory file system where there is one: on a disk, how the
# file system schedules its write-back swamps the difference between a save and its floor.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# Each operation runs with its floor in a process of its own: run after the others, an
# operation of a few microseconds measured up to a sixth slower or faster, depending on what
# they had left in the heap.
medians=build/bench/medians.txt
log=build/bench/runs.log
: >"$medians"
: >"$log"
"$bench" --benchmark_list_tests=true "$@" 2>/dev/null | sed -n '/^floor /d; s|/real_time$||p' |
  while IFS= read -r name; do
    echo "measuring $name" >&2
    pattern="^(floor )?$(printf '%s' "$name" | sed 's/[][\.*^$()+?{}|]/\\&/g')/real_time\$"
    "$bench" --medians-only --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@" \
      --benchmark_filter="$pattern" 2>>"$log" | grep $'^median\t' >>"$medians"
  done
"$bench" --table "$medians"

# Memory, in a process of its own so that nothing else it did counts.
style=build/bench/large-style.sty
bytes=$("$bench" --write-style x10 "$style")
report=build/bench/rss-after-open.txt
/usr/bin/time -f 'peak resident: %M kB' -o "$report.peak" "$bench" --rss-after-open "$style" >"$report"
rm -f "$style"
file_kb=$((bytes / 1024))
peak_kb=$(sed -n 's/^peak resident: \([0-9]*\) kB$/\1/p' "$report.peak")
after_kb=$(sed -n 's/^resident after open: \([0-9-]*\) kB$/\1/p' "$report")
goal_kb=$((file_kb + 60 * 1024))
echo
echo "memory with the large style file open in the style viewer:"
printf '  %-34s %8d kB\n' "style file" "$file_kb" "resident after the open" "$after_kb" \
  "peak resident" "$peak_kb" "goal (file + 60 MB)" "$goal_kb"

# Start-up of the command line on a small file, in processes of their own: goal under 50 ms.
cmake --build build/bench --target kestrova-cli >/dev/null
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
echo
printf 'start-up of kestrova-cli info on a small file: median %d.%03d ms of 21 runs (goal: under 50 ms)\n' \
  $((median_us / 1000)) $((median_us % 1000))
