// The bilinear sampler core: Q15 positions split into a whole pixel and a
// fraction, and the two-neighbour weighted sum both sampling axes are made
// of. The layer sampler (pixel/layer_sampler.h) and the photo-tool renderer
// (phototools/render.cpp) interpolate with it.
//
// The callers differ in one real way, which the template parameters carry:
// the axis interpolated first and the shifts that truncate each step. The
// layer sampler works down the columns first and truncates to a whole byte
// (>> 15) before working across; the renderer works across the row first,
// truncating to its 15-bit working scale (>> 8 for bytes, >> 16 for 16-bit
// samples, >> 15 for blended ones), then down (>> 15). Truncating at a
// different point gives different bytes, so neither order stands in for the
// other. How a position is held to the picture is also the caller's.
#pragma once

#include <cstdint>

namespace lumetra::core {

constexpr int32_t kBilinearOne = 32768;  // a whole pixel in Q15

// A Q15 position (held to the picture, so not negative) as its whole pixel
// and its fraction 0..32767.
struct Split15 {
    int32_t whole;
    int32_t fraction;
};
inline Split15 split15(int32_t position) { return {position >> 15, position & (kBilinearOne - 1)}; }

// near (32768 - f) + far f, unshifted: near is the neighbour at fraction 0.
// Taken as near 32768 + (far - near) f, one product where the sum has two.
// Samples up to 65535 keep both terms and the sum inside 32 bits
// (65535 * 32768 < 2^31).
inline int32_t lerpSum15(int32_t near, int32_t far, int32_t f) { return near * kBilinearOne + (far - near) * f; }

enum class FirstAxis { Across, Down };

// Bilinear value of the four neighbours p00 (upper left), p10 (upper
// right), p01 (lower left), p11 (lower right) at fractions fx, fy: the
// first axis's two sums shifted by FirstShift, the second's by SecondShift.
template <FirstAxis First, int FirstShift, int SecondShift>
inline int32_t bilinear15(int32_t p00, int32_t p10, int32_t p01, int32_t p11, int32_t fx, int32_t fy) {
    if constexpr (First == FirstAxis::Across) {
        const int32_t top = lerpSum15(p00, p10, fx) >> FirstShift;
        const int32_t bottom = lerpSum15(p01, p11, fx) >> FirstShift;
        return lerpSum15(top, bottom, fy) >> SecondShift;
    } else {
        const int32_t left = lerpSum15(p00, p01, fy) >> FirstShift;
        const int32_t right = lerpSum15(p10, p11, fy) >> FirstShift;
        return lerpSum15(left, right, fx) >> SecondShift;
    }
}

}  // namespace lumetra::core
