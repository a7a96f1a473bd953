#!/usr/bin/env bash
# Builds the benchmarks in release mode (-O2, no sanitizers), runs them and prints one
# table: operation, input size, median time, the floor for the same input, their ratio;
# the last line gives the worst ratio. Extra arguments go to Google Benchmark
# (for example --benchmark_filter=GXT).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
  -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCH=ON
cmake --build build/bench --target kestrova_bench
QT_QPA_PLATFORM=offscreen build/bench/bench/kestrova_bench \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
