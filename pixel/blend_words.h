// The byte path of the modes whose formula, over a byte base, fits 16-bit
// lanes: sixteen channels a step instead of eight, and the mix leaves as
// bytes directly. Each such mode has a WordFormula; the others run the
// 32-bit byte path alone.
#pragma once

#include <cstdint>

#include "pixel/blend_formulas.h"

namespace lumetra {

template <class F>
struct WordFormula {
    static constexpr bool kExists = false;
};
template <>
struct WordFormula<Overlay> {
    static constexpr bool kExists = true;
};
template <>
struct WordFormula<HardLight> {
    static constexpr bool kExists = true;
};
template <>
struct WordFormula<HardMix> {
    static constexpr bool kExists = true;
};

// out[i] = the byte the byte path gives for base byte base[i], colour sample
// colour[i] (0..32640) and a weight t of 1..32768, for the leading i in
// steps of 16; returns how many it did (none without AVX2).
template <class F>
int blendWords(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t);

}  // namespace lumetra
