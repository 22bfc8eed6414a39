#!/usr/bin/env bash
# Builds the release tree and runs the benchmarks, single-threaded, on the
# 12 MP test picture. Extra arguments go to Google Benchmark, for example
#   scripts/bench.sh --benchmark_filter='floor|blend'
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
exec "$root/build/release/bench/lumetra_bench" --benchmark_min_time=0.2 "$@"
