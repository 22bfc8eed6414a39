#!/usr/bin/env bash
# The main job: set up, build, draw the picture pack and the default picture,
# run presets and frames on it, and end with the contact sheet of every preset.
# Outputs go to out/ (or the folder given as the first argument).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/out}")"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
lumetra="$root/build/release/cli/lumetra"
mkdir -p "$out"

# The picture pack is drawn once into build/assets and drawn again only when
# the generator's sources change (their hash is kept beside the pack).
pack="$root/build/assets"
key="$(cat "$root"/cli/picture_pack.h "$root"/cli/pack_*.h "$root"/cli/pack_*.cpp "$root"/cli/cmd_assets.cpp |
       sha256sum | cut -c1-16)"
if [ "$(cat "$pack/.generator" 2>/dev/null)" != "$key" ]; then
    rm -rf "$pack.new"
    "$lumetra" assets "$pack.new"
    echo "$key" >"$pack.new/.generator"
    rm -rf "$pack"
    mv "$pack.new" "$pack"
fi
export LUMETRA_ASSETS="$pack"

"$lumetra" sample "$out/default.png"
for preset in 0 4 5 11 16 21 28 42 100 106 118 119 121 138 146; do
    "$lumetra" apply "$out/default.png" "$out/preset-$preset.jpg" --preset "$preset"
done
"$lumetra" apply "$out/default.png" "$out/frame-wood.jpg" --frame 3,0.05,wood
"$lumetra" apply "$out/default.png" "$out/frame-film.jpg" --frame 1,0.05,film.png
"$lumetra" apply "$out/default.png" "$out/frame-mat.jpg" --frame 5,0.06,0,80,9,wood_a
"$lumetra" sheet "$out/default.png" "$out/sheet.jpg"
echo "demo: wrote $out/default.png, $out/preset-*.jpg, $out/frame-*.jpg and the contact sheet $out/sheet.jpg"
