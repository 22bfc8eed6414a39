#!/usr/bin/env bash
# Set up, build and run every test: the release build, then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc)"
for flavour in release sanitize; do
    echo "== $flavour build"
    "$root/scripts/build.sh" "$flavour"
    echo "== $flavour tests"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$root/build/$flavour" --output-on-failure -j "$jobs"
done
