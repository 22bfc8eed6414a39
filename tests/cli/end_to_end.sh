#!/usr/bin/env bash
# The host program end to end: good runs write their output; every error
# gives one line on stderr, no output file, and exit status 2 for a usage
# error or 1 for a failure.
set -u
LUMETRA="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0

expect_ok() {  # description, command...
    local what="$1"; shift
    if "$@" >"$work/out.txt" 2>"$work/err.txt"; then passed=$((passed + 1))
    else echo "FAIL: $what: $(cat "$work/err.txt")"; failures=$((failures + 1)); fi
}
expect_error() {  # description, exit status, expected stderr fragment, output that must not exist, command...
    local what="$1" status="$2" fragment="$3" output="$4"; shift 4
    "$@" >/dev/null 2>"$work/err.txt"
    local got=$?
    if [ "$got" -ne "$status" ]; then
        echo "FAIL: $what: exit status $got, not $status"; failures=$((failures + 1)); return
    fi
    if ! grep -q -- "$fragment" "$work/err.txt" || [ "$(wc -l <"$work/err.txt")" -ne 1 ]; then
        echo "FAIL: $what: stderr was: $(cat "$work/err.txt")"; failures=$((failures + 1)); return
    fi
    if [ -n "$output" ] && [ -e "$output" ]; then
        echo "FAIL: $what: wrote $output"; failures=$((failures + 1)); return
    fi
    passed=$((passed + 1))
}

expect_ok "sample" "$LUMETRA" sample "$work/photo.png" --size 96x64
expect_ok "presets" "$LUMETRA" presets
[ "$("$LUMETRA" presets | wc -l)" -eq 153 ] || { echo "FAIL: presets lists $("$LUMETRA" presets | wc -l) lines"; failures=$((failures + 1)); }
"$LUMETRA" presets | grep -q '^152  @ noise_d 4 nsd4a.jpg nsd4b.png$' || { echo "FAIL: preset 152 text"; failures=$((failures + 1)); }
expect_ok "apply classic" "$LUMETRA" apply "$work/photo.png" "$work/out.png" --preset 0 --assets "$work"
[ -s "$work/out.png" ] || { echo "FAIL: apply wrote nothing"; failures=$((failures + 1)); }
# Frame pictures with alpha: a brown 8 x 8 square, opaque (3 more bytes of
# blue per piece so the pieces differ).
rgba_png() {  # path, blue
    python3 -c 'import struct, sys, zlib
def chunk(kind, data): return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
row = b"\0" + bytes([90, 60, int(sys.argv[2]), 255]) * 8
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(row * 8)) + chunk(b"IEND", b"")
open(sys.argv[1], "wb").write(png)' "$1" "$2"
}
mkdir -p "$work/frames"
rgba_png "$work/frames/wood.png" 30
for i in 0 1 2 3 4 5 6 7; do
    rgba_png "$work/frames/wood_$i.png" $((30 + 3 * i)); rgba_png "$work/frames/wood_a_$i.png" $((100 + 3 * i))
done
rgba_png "$work/frames/wood_a_tt.png" 128
for spec in 1,0.05,wood.png 2,0.05,wood 3,0.1,wood 4,0.05,0,80,9,wood_a 5,0.08,0,80,9,wood_a; do
    expect_ok "apply frame $spec" "$LUMETRA" apply "$work/photo.png" "$work/f.png" --frame "$spec" --assets "$work"
    cmp -s "$work/f.png" "$work/photo.png" && { echo "FAIL: frame $spec drew nothing"; failures=$((failures + 1)); }
done
expect_ok "apply with region and frame" "$LUMETRA" apply "$work/photo.png" "$work/out2.jpg" --preset 5 \
    --region 0,0,96,64 --frame 2,0.05,wood --assets "$work"
expect_error "unknown frame type" 1 "frame type must be 1 to 5" "$work/f2.png" \
    "$LUMETRA" apply "$work/photo.png" "$work/f2.png" --frame 7,0.05,wood --assets "$work"
expect_error "texture without numbers" 1 "take CENTRE,OPACITY,BLEND,NAME" "$work/f2.png" \
    "$LUMETRA" apply "$work/photo.png" "$work/f2.png" --frame 4,0.05,wood_a --assets "$work"
rm "$work/frames/wood_5.png"
# a failure (exit 1) naming the piece
"$LUMETRA" apply "$work/photo.png" "$work/f2.png" --frame 3,0.05,wood --assets "$work" 2>"$work/err.txt"
if [ $? -eq 1 ] && [ ! -e "$work/f2.png" ] && grep -q "wood_5.png' is missing or has no alpha" "$work/err.txt"; then
    passed=$((passed + 1))
else echo "FAIL: a missing frame piece was not reported"; failures=$((failures + 1)); fi

expect_ok "effect look" "$LUMETRA" effect "$work/photo.png" "$work/e.png" --family 1 --index 17
cmp -s "$work/e.png" "$work/photo.png" && { echo "FAIL: effect 1/17 drew nothing"; failures=$((failures + 1)); }
expect_ok "effect frame" "$LUMETRA" effect "$work/photo.png" "$work/e.png" --family 3 --picture "$work/frames/wood.png"
expect_error "effect index" 2 "--index: Value 94 not in range 1 to 93" "$work/e2.png" \
    "$LUMETRA" effect "$work/photo.png" "$work/e2.png" --family 1 --index 94
expect_error "effect frame without picture" 2 "family 3 needs the frame picture" "$work/e2.png" \
    "$LUMETRA" effect "$work/photo.png" "$work/e2.png" --family 3
expect_error "effect look of nothing" 1 "look 10 selects nothing" "$work/e2.png" \
    "$LUMETRA" effect "$work/photo.png" "$work/e2.png" --family 1 --index 10

# What the library could do nothing with is a failure: no output, exit 1.
expect_error "frame pictures all missing" 1 "pictures asked for was found" "$work/n.jpg" "$LUMETRA" apply "$work/photo.png" \
    "$work/n.jpg" --preset 5 --region 0,0,96,64 --frame 2,0.05,wood --assets "$work/no-pack"
expect_error "unusable frame" 1 "frame specification '9,0.05,wood' is unusable" "$work/n.jpg" \
    "$LUMETRA" apply "$work/photo.png" "$work/n.jpg" --frame 9,0.05,wood --assets "$work"
expect_error "preset pictures all missing" 1 "pictures asked for was found" "$work/n.jpg" \
    "$LUMETRA" apply "$work/photo.png" "$work/n.jpg" --preset 42 --assets "$work/no-pack"

echo "not a picture" >"$work/bad.png"
expect_ok "sample layer" "$LUMETRA" sample "$work/layer.png" --size 40x30
expect_ok "apply with --name=value" "$LUMETRA" apply "$work/photo.png" "$work/out2.jpg" --preset=5 \
    --region 0,0,96,64 --frame=2,0.05,wood_a --assets="$work"
expect_ok "blend" "$LUMETRA" blend "$work/photo.png" "$work/layer.png" "$work/blend.png" --mode overlay --opacity 60
[ -s "$work/blend.png" ] || { echo "FAIL: blend wrote nothing"; failures=$((failures + 1)); }
expect_ok "blend with region" "$LUMETRA" blend "$work/photo.png" "$work/layer.png" "$work/blend2.png" --mode luminosity \
    --region 10,10,200,150
mkdir -p "$work/textures" && cp "$work/layer.png" "$work/textures/Texturize2_1.jpg"
expect_ok "texture2 preset" "$LUMETRA" apply "$work/photo.png" "$work/t2.png" --preset 42 --assets "$work"
expect_ok "blend as the preset does" "$LUMETRA" blend "$work/photo.png" "$work/layer.png" "$work/t2b.png" --mode overlay
cmp -s "$work/t2.png" "$work/t2b.png" || { echo "FAIL: preset 42 differs from blend --mode overlay"; failures=$((failures + 1)); }
cmp -s "$work/t2.png" "$work/photo.png" && { echo "FAIL: preset 42 left the photo as it was"; failures=$((failures + 1)); }
expect_error "blend unknown mode" 2 "choose one of: opacity, darken" "$work/b.png" "$LUMETRA" blend "$work/photo.png" \
    "$work/layer.png" "$work/b.png" --mode Overlay
expect_error "blend without mode" 2 "--mode is required" "$work/b.png" "$LUMETRA" blend "$work/photo.png" \
    "$work/layer.png" "$work/b.png"
expect_error "blend opacity out of range" 2 "--opacity: Value 5000 not in range 0 to 1000" "$work/b.png" "$LUMETRA" blend "$work/photo.png" \
    "$work/layer.png" "$work/b.png" --mode screen --opacity 5000
expect_error "blend unreadable layer" 1 "cannot read" "$work/b.png" "$LUMETRA" blend "$work/photo.png" \
    "$work/bad.png" "$work/b.png" --mode screen

expect_ok "sheet without a pack" "$LUMETRA" sheet "$work/photo.png" "$work/sheet.png" --assets "$work/no-pack" --columns 20
[ -s "$work/sheet.png" ] || { echo "FAIL: sheet wrote nothing"; failures=$((failures + 1)); }
[ "$(grep -c "vtg.png" "$work/err.txt")" -eq 1 ] || { echo "FAIL: sheet named vtg.png $(grep -c vtg.png "$work/err.txt") times"; failures=$((failures + 1)); }

expect_error "sheet columns" 2 "--columns: Value 0 not in range 1 to 153" "$work/s.png" "$LUMETRA" sheet "$work/photo.png" "$work/s.png" --columns 0
expect_error "assets without a folder" 2 "DIR is required" "" "$LUMETRA" assets
expect_error "missing input" 1 "no such file" "$work/x.png" "$LUMETRA" apply "$work/none.png" "$work/x.png" --preset 1
echo "not a picture" >"$work/bad.png"
expect_error "undecodable input" 1 "cannot decode" "$work/y.png" "$LUMETRA" apply "$work/bad.png" "$work/y.png" --preset 1
expect_error "preset out of range" 2 "--preset: Value 153 not in range 0 to 152" "$work/z.png" "$LUMETRA" apply "$work/photo.png" "$work/z.png" --preset 153
expect_error "preset not a number" 2 "--preset: Value x" "$work/z.png" "$LUMETRA" apply "$work/photo.png" "$work/z.png" --preset x
expect_error "bad region" 2 "--region must be X,Y,W,H" "$work/z.png" "$LUMETRA" apply "$work/photo.png" "$work/z.png" --preset 1 --region 1,2,3
expect_error "empty region" 2 "--region W must be in" "$work/z.png" "$LUMETRA" apply "$work/photo.png" "$work/z.png" --preset 1 --region 0,0,0,5
expect_error "unwritable output" 1 "cannot write" "" "$LUMETRA" apply "$work/photo.png" "$work/no/such/dir/o.png" --preset 1
expect_error "no extension" 2 "extension" "$work/noext" "$LUMETRA" apply "$work/photo.png" "$work/noext" --preset 1
expect_error "unknown option" 2 "not expected: 1 --bogus" "$work/z.png" "$LUMETRA" apply "$work/photo.png" "$work/z.png" --bogus 1
expect_error "unknown command" 2 "unknown command" "" "$LUMETRA" frobnicate
# lumetra adjust: the photo tools on a picture.
expect_ok "adjust colour and geometry" "$LUMETRA" adjust "$work/photo.png" "$work/adj.png" --hue 30 --saturation 40 \
    --lens -100,-50 --aberration 200,-200 --rotate 10 --scale 1.3 --shift 4,2
expect_ok "adjust turn, technicolor, blend" "$LUMETRA" adjust "$work/photo.png" "$work/adj2.png" --rotate-quarter 1 \
    --mirror --technicolor 1,0.835,0.835,0,0.588,1 --blend "$work/adj.png",50
expect_error "adjust saturation range" 2 "--saturation: Value 300 not in range -100 to 100" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --saturation 300
expect_error "adjust technicolor count" 2 "--technicolor takes 6" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --technicolor 1,2
expect_error "adjust lens radius" 1 "--lens RADIUS" "$work/adj3.png" "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --lens 50,-1000
expect_error "adjust mirror alone" 2 "--mirror goes with --rotate-quarter" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --mirror

expect_ok "adjust tone and white balance" "$LUMETRA" adjust "$work/photo.png" "$work/tone.png" --brightness 20 \
    --exposure 50 --tone-exposure 10 --highlights 30 --shadows 20 --contrast 15 --white-point 240 --black-point 10 \
    --temperature 5000 --tint 1.05
expect_ok "adjust auto white balance" "$LUMETRA" adjust "$work/photo.png" "$work/awb.png" --auto-white-balance
expect_ok "adjust pick" "$LUMETRA" adjust "$work/photo.png" "$work/pick.png" --pick 10,10,3
expect_error "adjust two white balances" 2 "give one of" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --auto-white-balance --temperature 5000
expect_error "adjust pick outside" 2 "--pick X,Y must lie inside" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --pick 500,10,3
expect_error "adjust points crossed" 2 "--white-point must lie above" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --white-point 20 --black-point 30
expect_ok "adjust sharpen" "$LUMETRA" adjust "$work/photo.png" "$work/sharp.png" --smooth 2,150,3
expect_error "adjust smooth threshold" 2 "--smooth THRESHOLD must be in 0..255" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --smooth 2,-50,256
expect_error "adjust smooth count" 2 "--smooth takes RADIUS,AMOUNT" "$work/adj3.png" \
    "$LUMETRA" adjust "$work/photo.png" "$work/adj3.png" --smooth 2
expect_ok "histogram" "$LUMETRA" histogram "$work/photo.png" "$work/hist.png" --size 300x120
expect_error "histogram size" 2 "--size W must be in 2..8192" "$work/hist2.png" \
    "$LUMETRA" histogram "$work/photo.png" "$work/hist2.png" --size 1x100
expect_ok "temperature" "$LUMETRA" temperature "$work/photo.png"
"$LUMETRA" temperature "$work/photo.png" | grep -q '^temperature [0-9]* K, green [0-9.]*$' || { echo "FAIL: temperature output"; failures=$((failures + 1)); }

# Every command answers --help on stdout with its example; --version works.
for command in sample presets apply effect batch assets sheet blend adjust histogram temperature tiltshift; do
    "$LUMETRA" "$command" --help >"$work/help.txt" 2>&1 && grep -q "Example:" "$work/help.txt" ||
        { echo "FAIL: $command --help"; failures=$((failures + 1)); }
done
"$LUMETRA" --version | grep -q '^lumetra [0-9]' || { echo "FAIL: --version"; failures=$((failures + 1)); }
"$LUMETRA" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: no command is not a usage error"; failures=$((failures + 1)); }

# batch: every photo of a folder; a file that fails is named and the others are written.
mkdir -p "$work/in"
cp "$work/photo.png" "$work/in/a.png" && cp "$work/layer.png" "$work/in/b.png" && cp "$work/bad.png" "$work/in/c.png"
"$LUMETRA" batch "$work/in" "$work/done" --adjust --contrast 20 --rotate-quarter 1 -j 2 >"$work/out.txt" 2>"$work/err.txt"
[ $? -eq 1 ] && grep -q "c.png: cannot decode" "$work/err.txt" && [ -s "$work/done/a.png" ] && [ -s "$work/done/b.png" ] &&
    grep -q "2 written, 0 skipped, 1 failed" "$work/out.txt" || { echo "FAIL: batch with a bad file"; failures=$((failures + 1)); }
rm "$work/in/c.png"
expect_ok "batch skip existing" "$LUMETRA" batch "$work/in" "$work/done" --preset 0 --skip-existing
grep -q "0 written, 2 skipped, 0 failed" "$work/out.txt" || { echo "FAIL: batch --skip-existing"; failures=$((failures + 1)); }
expect_error "batch without work" 2 "give either" "" "$LUMETRA" batch "$work/in" "$work/done2"
expect_error "batch adjust option" 2 "--contrast: Value 200" "" "$LUMETRA" batch "$work/in" "$work/done2" --adjust --contrast 200

ls -a "$work" "$work/done" | grep -q '^\.lumetra-' && { echo "FAIL: temporary file left behind"; failures=$((failures + 1)); }

expect_ok "tiltshift disc" "$LUMETRA" tiltshift "$work/photo.png" "$work/ts.png" --disc 48,32,8,30 --strength 0.2
expect_ok "tiltshift line preview" "$LUMETRA" tiltshift "$work/photo.png" "$work/tsp.png" --line 0,30,95,34,4,20 \
    --strength 0.2 --preview 40x40
[ -s "$work/tsp.png" ] || { echo "FAIL: tiltshift preview wrote nothing"; failures=$((failures + 1)); }
expect_ok "tiltshift aperture" "$LUMETRA" tiltshift "$work/photo.png" "$work/tsa.png" --even \
    --aperture "$work/layer.png" --radius 0.05
expect_error "tiltshift two zones" 2 "exactly one of" "$work/tsx.png" "$LUMETRA" tiltshift "$work/photo.png" \
    "$work/tsx.png" --even --disc 1,1,2,3 --strength 0.2
expect_error "tiltshift equal radii" 2 "must differ" "$work/tsx.png" "$LUMETRA" tiltshift "$work/photo.png" \
    "$work/tsx.png" --disc 1,1,3,3 --strength 0.2
expect_error "tiltshift without strength" 2 "--strength S is required" "$work/tsx.png" "$LUMETRA" tiltshift \
    "$work/photo.png" "$work/tsx.png" --even
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
