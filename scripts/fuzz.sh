#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan + UBSan) and runs them.
#   scripts/fuzz.sh [SECONDS] [TARGET...]  each target for SECONDS (default 60),
#                                          growing build/fuzz/corpus/TARGET from the seeds
#   scripts/fuzz.sh campaign [TARGET...]   each target to 10^7 runs or one hour, whichever
#                                          comes first (FUZZ_RUNS, FUZZ_SECONDS change the
#                                          limits), one after the other at nice 10
#   scripts/fuzz.sh smoke [TARGET...]      each target for a fixed number of runs from its
#                                          seeds (the test command's smoke run)
# Timed runs and the campaign end with a table: executions, exec/s, coverage
# (cov and ft features of the last status line), corpus size and findings.
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

if [ "$mode" = campaign ]; then
    limits=(-runs="${FUZZ_RUNS:-10000000}" -max_total_time="${FUZZ_SECONDS:-3600}")
    runner=(nice -n 10)
else
    limits=(-max_total_time="$mode")
    runner=()
fi

# One table row from a timed run's log: the final stats and the last status line.
summarize() {
    local target="$1" log="$2"
    local runs rate status cov ft corp findings
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    status=$(grep -E "^#[0-9]+" "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$status")
    findings=$(find "$dir/findings" -maxdepth 1 -name "$target-*" ! -name "*.log" | wc -l)
    printf "%-18s %12s %8s %6s %7s %12s %9s\n" "$target" "${runs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" \
        "${corp:-?}" "$findings"
}

summary=()
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
        echo "== $target: ${limits[*]}"
        mkdir -p "$dir/corpus/$target"
        log="$dir/findings/$target-$mode.log"
        "${runner[@]}" "$dir/fuzz/$target" "${limits[@]}" -print_final_stats=1 \
            -artifact_prefix="$dir/findings/$target-" "$dir/corpus/$target" "$seeds" >"$log" 2>&1 ||
            echo "$target: finding, see $log"
        grep -E "ERROR|SUMMARY" "$log" || true
        summary+=("$(summarize "$target" "$log")")
    fi
done

if [ "${#summary[@]}" -gt 0 ]; then
    printf "\n%-18s %12s %8s %6s %7s %12s %9s\n" target executions exec/s cov ft corpus findings
    printf "%s\n" "${summary[@]}"
fi
