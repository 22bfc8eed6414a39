// The grey looks' leading chain, grey then levels then a floor, from B, G, R
// bytes straight to bytes, 16 pixels at a time with AVX2 where the
// processor has it. It gives exactly what the per-pixel steps and the byte
// store give; it returns how many leading pixels it did (a multiple of 16,
// 0 without AVX2), leaving the rest to the caller.
#pragma once

#include <cstdint>

#include "looks/levels.h"

namespace lumetra {

int greyLevelsRows(const uint8_t* in, int n, ColorScale stretch, int32_t floor, uint8_t* out);

}  // namespace lumetra
