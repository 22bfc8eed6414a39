// The HSV steps of the colour looks over rows of planes, eight pixels at a
// time with AVX2 where the processor has it. Each gives exactly what the
// per-pixel rule of looks/hsv.h gives with quotientOfUnits, so it needs
// every channel within 0..32768; it returns how many leading pixels it
// did (a multiple of 8, 0 without AVX2), leaving the rest to the caller.
#pragma once

#include <cstdint>

#include "looks/hsv.h"

namespace lumetra {

// The saturation change k: HSV, changeSaturation, back to RGB.
int changeSaturationRows(int32_t* r, int32_t* g, int32_t* b, int n, const HueSaturation& k);

// The same, then mixed with weight toward the pixel with its hue replaced
// by `hue`.
int hueTintRows(int32_t* r, int32_t* g, int32_t* b, int n, const HueSaturation& k, int32_t hue, int32_t weight);

}  // namespace lumetra
