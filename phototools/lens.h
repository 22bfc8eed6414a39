// Lens corrections as the renderer carries them out: the radial
// vignetting gain and the red and blue matrices of the aberration
// correction, both prepared once per call.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/vignette_law.h"
#include "lumetra.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

// Destination pixel (x', y') reads source position (a x' + b y' + c,
// d x' + e y' + f), Q15.
struct Matrix {
    int32_t a, b, c, d, e, f;
};

// The cos^4 vignetting gain: (1 + d^2/R^2)^2 brightening, its inverse
// darkening, mixed with 1.0 by the amount.
struct Vignette {
    bool brighten = false;
    int64_t r2 = 1;
    int64_t inverse = 0;   // 0x40000000 / R^2
    int64_t strength = 0;  // |amount| * 256 / 100
    int32_t cx = 0, cy = 0;

    // Q15 gain at source position (X, Y), the law in 64-bit words.
    inline int64_t gainAt(int32_t x, int32_t y) const {
        const int64_t dx = wrapSub(x, cx) >> 15;
        const int64_t dy = wrapSub(y, cy) >> 15;
        const uint64_t spread = static_cast<uint64_t>(r2 + dx * dx + dy * dy);  // up to 2^34
        // Beyond 2^22 every gain saturates a channel (or darkens it to 0)
        // already; the bound keeps the products below inside 64 bits.
        const int64_t q = std::min(vignette_law::spreadQ12(spread, static_cast<uint64_t>(inverse)), int64_t{1} << 22);
        const int64_t f = vignette_law::falloff<int64_t>(q, brighten, 0x40000000);
        return clamp64(vignette_law::gain<15>(f, strength), -(int64_t{1} << 32), int64_t{1} << 32);
    }
    inline int32_t apply(int32_t channel, int64_t gain) const { return saturate32((channel * gain) >> 15); }
};

// The vignetting for a canvas of the larger side `side`; false when the
// reference length R falls outside 1..46340.
bool prepareVignette(const ColorMap& m, int32_t side, int32_t cx, int32_t cy, Vignette& v);

// base scaled by 1 + value/50000 about the centre (cx, cy).
Matrix aberrationMatrix(const Matrix& base, int32_t value, int32_t cx, int32_t cy);

}  // namespace lumetra::pt
