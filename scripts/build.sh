#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh [release|sanitize]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:-release}"
case "$flavour" in
    release)  dir="$root/build/release"; extra=() ;;
    sanitize) dir="$root/build/sanitize"; extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_SANITIZE=ON) ;;
    *) echo "usage: scripts/build.sh [release|sanitize]" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
