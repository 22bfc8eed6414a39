#!/usr/bin/env bash
# Builds the release tree and runs the benchmarks, single-threaded, on the
# 12 MP test picture. Extra arguments go to Google Benchmark, for example
#   scripts/bench.sh --benchmark_filter='floor|blend'
# --json FILE also writes the closing summary (ms, ratios to memcpy and to
# the peer, goals) as JSON; scripts/perf-table.py FILE turns it into the
# README's performance table.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
args=()
while (($#)); do
    case "$1" in
        --json) [[ $# -ge 2 ]] || { echo "--json needs a file" >&2; exit 2; }
                args+=("--summary_json=$2"); shift 2 ;;
        --json=*) args+=("--summary_json=${1#--json=}"); shift ;;
        *) args+=("$1"); shift ;;
    esac
done
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
exec "$root/build/release/bench/lumetra_bench" --benchmark_min_time=0.2 "${args[@]}"
