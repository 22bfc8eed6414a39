#!/usr/bin/env bash
# Set up, build and run every test: the release build, then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the threaded
# golden sweep under ThreadSanitizer and, where clang has libFuzzer, a short
# run of every fuzz target.
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
echo "== tsan build"
"$root/scripts/build.sh" tsan
echo "== tsan: the golden sweep from 4 threads"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$root/build/tsan" --output-on-failure -R golden_threads
if command -v clang++ >/dev/null && echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
        clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null; then
    echo "== fuzz smoke"
    "$root/scripts/fuzz.sh" smoke
fi
