#!/usr/bin/env bash
# Builds the benchmarks and prints the main menu's figures, each against a baseline measured in
# the same run on the same private Xvfb display (see "Benchmarks" in docs/development.md and bench/).
# Takes about ten minutes. Never part of the tests: the exit status says whether the
# measurement ran, not whether a target was met.
#
#   scripts/bench.sh
#
# Environment: BENCH_PHASES, BENCH_RUNS, BENCH_IDLE_RUNS, BENCH_IDLE_SECONDS, BENCH_RESULTS (see
# bench/run_bench.sh). BENCH_NICE=-10 runs the measurement at a higher priority (root only), so
# that other work on a shared machine blurs the figures less.
set -euo pipefail
cd "$(dirname "$0")/.."

# File names of the demo installation are Chinese: the programs need a UTF-8 locale.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8

# Google Benchmark for the microbenchmarks, on top of what the build and the tests need.
TEVO_EXTRA_PACKAGES="${TEVO_EXTRA_PACKAGES:-} libbenchmark-dev" scripts/setup.sh
build=${TEVO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DTEVO_BUILD_BENCH=ON
cmake --build "$build" --target tevo-bench
export TEVO_BUILD_DIR=$build
if [ -n "${BENCH_NICE:-}" ]; then
  exec nice -n "$BENCH_NICE" bash bench/run_bench.sh
fi
exec bash bench/run_bench.sh
