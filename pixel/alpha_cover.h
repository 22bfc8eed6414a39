// Alpha accumulation: laying a layer of weight t over a base pixel that has
// its own cover A (all Q15). Runs before the combiner mixes the colour.
//   A = 0:            the colour becomes the layer's; cover t.
//   0 < A < 32768:    cover S = A + t - ((A * t) >> 15); the colour first
//                     moves toward the layer by 32768 - (A << 15) / S.
//   A >= 32768:       colour unchanged; cover 32768.
// t must not be negative (S could reach zero); callers refuse such weights.
#pragma once

#include <cstdint>

#include "core/q15.h"
#include "pixel/blend_formulas.h"

namespace lumetra {

// A layer's weight where it has cover `cover`: (opacity * cover) >> 15.
// Wide takes the product in 64 bits, for opacities past 32768.
template <bool Wide = false>
inline int32_t coverWeight(int32_t opacity, int32_t cover) {
    if constexpr (Wide) return static_cast<int32_t>((int64_t{opacity} * cover) >> 15);
    else return (opacity * cover) >> 15;
}

// Updates `colour` and returns the new cover. Wide takes the products in 64
// bits, for weights past 32768.
// The three cases are computed side by side and selected, so the loops stay
// branch-free: a cover of 0 mixes fully toward the layer, a full one not at
// all, exactly as taking the layer colour or keeping the base does.
template <bool Wide = false>
inline int32_t accumulateAlpha(Rgb15& colour, const Rgb15& layer, int32_t cover, int32_t t) {
    int32_t combined;
    if constexpr (Wide)
        combined = static_cast<int32_t>(cover + int64_t{t} - ((int64_t{cover} * t) >> 15));
    else
        combined = cover + t - ((cover * t) >> 15);
    const bool empty = cover <= 0;
    const bool full = cover >= kOne15;
    const int32_t partial = kOne15 - divideTruncating(cover << 15, combined > 0 ? combined : 1);
    const int32_t towardLayer = empty ? kOne15 : (full ? 0 : partial);
    colour.r = mix15(colour.r, layer.r, towardLayer);
    colour.g = mix15(colour.g, layer.g, towardLayer);
    colour.b = mix15(colour.b, layer.b, towardLayer);
    return empty ? t : (full ? kOne15 : combined);
}

}  // namespace lumetra
