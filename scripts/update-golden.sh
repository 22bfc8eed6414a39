#!/usr/bin/env bash
# Rewrites tests/golden/golden_table.txt from the release build after a
# deliberate change of output, then shows which named cases moved.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build/release"
cmake -S "$root" -B "$dir" -G Ninja >/dev/null
cmake --build "$dir" --target lumetra_golden -j "$(nproc)"
"$dir/tests/lumetra_golden" --write
git -C "$root" --no-pager diff --stat -- tests/golden/golden_table.txt || true
