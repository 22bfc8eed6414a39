#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan + UBSan) and runs them.
#   scripts/fuzz.sh [SECONDS] [TARGET...]  campaign: each target for SECONDS (default 60),
#                                          growing build/fuzz/corpus/TARGET from the seeds
#   scripts/fuzz.sh smoke [TARGET...]      each target for a fixed number of runs from its
#                                          seeds (the test command's smoke run)
# Seeds live in fuzz/corpus/TARGET; a crashing input is written to
# build/fuzz/findings/ and belongs in the seeds with a regression test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-60}"; shift || true
smokeRuns=3000
dir="$root/build/fuzz"
[ "$mode" = smoke ] || "$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMETRA_FUZZ=ON -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
targets=("$@")
[ "${#targets[@]}" -eq 0 ] && targets=($(cd "$dir/fuzz" && ls *_fuzz))
mkdir -p "$dir/findings"
for target in "${targets[@]}"; do
    seeds="$root/fuzz/corpus/$target"
    mkdir -p "$seeds"
    if [ "$mode" = smoke ]; then
        echo "== $target: $smokeRuns runs"
        log="$dir/findings/$target-smoke.log"
        rm -rf "$dir/smoke/$target" && mkdir -p "$dir/smoke/$target"  # new inputs go here, not into the seeds
        if ! "$dir/fuzz/$target" -runs="$smokeRuns" -seed=1 -artifact_prefix="$dir/findings/$target-" \
                "$dir/smoke/$target" "$seeds" >"$log" 2>&1; then
            tail -40 "$log" >&2
            echo "$target failed (log: $log)" >&2
            exit 1
        fi
        grep -E "DONE" "$log" || true
    else
        echo "== $target for ${mode}s"
        mkdir -p "$dir/corpus/$target"
        log="$dir/findings/$target-campaign.log"
        "$dir/fuzz/$target" -max_total_time="$mode" -print_final_stats=1 -artifact_prefix="$dir/findings/$target-" \
            "$dir/corpus/$target" "$seeds" >"$log" 2>&1 || echo "$target: finding, see $log"
        # the last status line (coverage, features, corpus) and the run count
        grep -E "^#[0-9]+" "$log" | tail -1 || true
        grep -E "stat::number_of_executed_units|ERROR|SUMMARY" "$log" || true
    fi
done
