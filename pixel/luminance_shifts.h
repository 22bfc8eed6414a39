// The per-column luminance difference of the "color" and "luminosity"
// blends on the byte path, eight columns a step.
#pragma once

#include <cstdint>

namespace lumetra {

// For columns from 0 on, shift = luminance15(base pixel) - luminance15(colour
// sample) (baseFirst) or the reverse, written to shifts three times (once
// per byte of the column). base holds B, G, R bytes, colour B, G, R samples
// within 0..32767. Returns the columns done, every whole eight (the rest
// is left to the caller); none without AVX2. Nothing past the width is
// read or written.
int luminanceShiftColumns(const uint8_t* base, const int32_t* colour, int32_t* shifts, int width, bool baseFirst);

}  // namespace lumetra
