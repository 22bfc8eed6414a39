#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for
# SECONDS seconds (default 60): scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"; shift || true
"$root/scripts/setup.sh"
dir="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMETRA_FUZZ=ON -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
targets=("$@")
[ "${#targets[@]}" -eq 0 ] && targets=($(cd "$dir/fuzz" && ls *_fuzz))
for target in "${targets[@]}"; do
    echo "== $target for ${seconds}s"
    mkdir -p "$dir/corpus/$target"
    "$dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=0 "$dir/corpus/$target" 2>&1 | tail -3
done
