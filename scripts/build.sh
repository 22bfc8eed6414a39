#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|sanitize|tsan]
# tsan: ThreadSanitizer, without the AVX2 clones; builds the golden sweep
# only (its golden_threads test runs the cases from 4 threads at once).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:-release}"
targets=()
case "$flavour" in
    release)  dir="$root/build/release"; extra=() ;;
    sanitize) dir="$root/build/sanitize"; extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_SANITIZE=ON) ;;
    tsan)     dir="$root/build/tsan"; extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_TSAN=ON); targets=(--target lumetra_golden) ;;
    *) echo "usage: scripts/build.sh [release|sanitize|tsan]" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
