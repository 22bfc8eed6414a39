#!/usr/bin/env bash
# The main job: set up, build, draw the default picture and run presets on it.
# Outputs go to out/ (or the folder given as the first argument).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/out}")"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
lumetra="$root/build/release/cli/lumetra"
assets="$root/build/assets"
mkdir -p "$out" "$assets"
"$lumetra" sample "$out/default.png"
for preset in 0 4 5 11 16 21 28 42 100 106 118 119 138; do
    "$lumetra" apply "$out/default.png" "$out/preset-$preset.jpg" --preset "$preset" --assets "$assets"
done
echo "demo: wrote $out/default.png and $out/preset-*.jpg"
