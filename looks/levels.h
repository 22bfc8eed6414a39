// The shared colour steps of the looks: automatic levels, the saturation
// matrix, clamps and the Q12 mix. Channels are Q15 (32768 = 1.0); nothing
// here clamps unless its name says so.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <cstdint>

#include "lumetra.h"

namespace lumetra {

// A levels stretch: channel c becomes ((c + offset) * scale) >> 10.
struct ColorScale {
    int32_t scale;   // Q10 gain
    int32_t offset;  // Q15, added before the gain
};

template <class Px>
inline void applyLevels(const ColorScale& l, Px& p) {
    p.r = ((p.r + l.offset) * l.scale) >> 10;
    p.g = ((p.g + l.offset) * l.scale) >> 10;
    p.b = ((p.b + l.offset) * l.scale) >> 10;
}

// Counts of each byte value over all three channels of a picture.
struct LevelsHistogram {
    std::array<uint64_t, 256> count{};
    uint64_t pixels = 0;
};

// Every pixel of the whole picture (3 or 4 channels; alpha not counted).
LevelsHistogram takeHistogram(const IplImage* picture);

// The darkest and brightest levels left after clipping the fractions a and
// b of all samples, each k / 255 for a bin k (0 where no bin qualifies).
struct Levels {
    float lo;
    float hi;
};
Levels findLevels(const LevelsHistogram& histogram, double a, double b);

// The stretch that maps the clipped range onto 0..1, and that range, which
// most looks take as their saturation factor.
struct AutoLevels {
    ColorScale scale;
    float range;
};

// Clips lowClip and highClip of the samples, widening both by 0.02 a round
// until the range reaches 0.05. A picture that stays narrower even with
// nothing clipped keeps its tones: scale 1024, offset 0, range 1. Fractions
// above 1 clip no more than 1 and are taken as 1; NaN is taken as 0.
AutoLevels autoLevelsOf(const LevelsHistogram& histogram, float lowClip, float highClip);

// The histogram is taken over the whole source, whatever the region.
AutoLevels measureAutoLevels(const IplImage* source, const EffectRegion* region, float lowClip, float highClip);

// Q15 3x3 matrix, row 0 makes r, row 1 g, row 2 b; columns take r, g, b.
using ColorMatrix15 = std::array<std::array<int32_t, 3>, 3>;

// 0 is grey, 1 unchanged, above 1 more saturated. s is kept within
// -1..1.7 (the looks ask for 0..1.3): there every row's products with a
// byte-derived pixel stay inside 32 bits.
ColorMatrix15 saturationMatrix(double s);

template <class Px>
inline void applyMatrix(const ColorMatrix15& m, Px& p) {
    const int32_t r = p.r, g = p.g, b = p.b;
    p.r = (m[0][0] * r + m[0][1] * g + m[0][2] * b) >> 15;
    p.g = (m[1][0] * r + m[1][1] * g + m[1][2] * b) >> 15;
    p.b = (m[2][0] * r + m[2][1] * g + m[2][2] * b) >> 15;
}

template <class Px>
inline void clampBelow(Px& p, int32_t k) {
    if (p.r < k) p.r = k;
    if (p.g < k) p.g = k;
    if (p.b < k) p.b = k;
}

template <class Px>
inline void clampAbove(Px& p, int32_t k) {
    if (p.r > k) p.r = k;
    if (p.g > k) p.g = k;
    if (p.b > k) p.b = k;
}

// Q12 mix: w = 0 keeps a, 4096 gives b.
constexpr int32_t mix12(int32_t a, int32_t b, int32_t w) { return ((4096 - w) * a + b * w) >> 12; }

}  // namespace lumetra
