#!/usr/bin/env bash
# Runs every benchmark program of a benchmark build.
set -euo pipefail
build=${1:-build-bench}
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true
done
