// Hue, saturation and value on the Q15 scale, and the hue-dependent
// saturation changes of the colour looks.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/divide.h"

namespace lumetra {

// h: 4096 units per 60-degree sector (red 0, yellow 4096, green 8192, cyan
// 12288, blue 16384, magenta 20480); s: Q15; v: the largest channel.
struct Hsv15 {
    int32_t h;
    int32_t s;
    int32_t v;
};

// c ? a : b as masks, which the compiler cannot turn back into a branch:
// a loop over pixels with branches does not vectorise.
constexpr int32_t pick(bool c, int32_t a, int32_t b) { return b ^ ((a ^ b) & -static_cast<int32_t>(c)); }

// Channels within 0..32768. Ties go by a fixed order of comparisons, so a
// pixel with two equal largest channels always lands on the same sector:
// if g >= b: r > g (red-yellow), else r > b (yellow-green), else g > r
// (green-cyan), else grey; if g < b: g > r (cyan-blue), else b > r
// (blue-magenta), else magenta-red. Divide is divideTruncating, or quotientOfUnits
// where the channels are known to lie within 0..32768.
template <int32_t (*Divide)(int32_t, int32_t) = divideTruncating, class Px>
inline Hsv15 rgbToHsv15(const Px& p) {
    const int32_t r = p.r, g = p.g, b = p.b;
    const int32_t v = std::max(r, std::max(g, b));
    const int32_t d = v - std::min(r, std::min(g, b));
    const bool greenOverBlue = g >= b;
    const bool redFirst = r > g, redOverBlue = r > b, greenOverRed = g > r, blueOverRed = b > r;
    // Both halves are computed and one is selected: a branch here keeps a
    // loop over pixels from vectorising.
    const int32_t warmBase = redFirst ? 0 : redOverBlue ? 4096 : greenOverRed ? 8192 : 0;
    const int32_t warmRising = redFirst ? g - b : redOverBlue ? g - r : b - r;
    const int32_t coolBase = greenOverRed ? 12288 : blueOverRed ? 16384 : 20480;
    const int32_t coolRising = greenOverRed ? b - g : blueOverRed ? r - g : r - b;
    const int32_t base = greenOverBlue ? warmBase : coolBase;
    const int32_t rising = greenOverBlue ? warmRising : coolRising;
    // A grey pixel (d = 0) takes base 0 and rising 0: h = 0, s = 0.
    const int32_t h = base + Divide(rising * 4096, d > 0 ? d : 1);
    const int32_t s = Divide(d * 32768, v > 0 ? v : 1);
    return {h, s, v};
}

// Whether every channel of n pixels in planes lies within 0..32768.
[[gnu::always_inline]] inline bool channelsWithinUnit(const int32_t* r, const int32_t* g, const int32_t* b, int n) {
    int32_t low = 0, high = 0;
    for (int i = 0; i < n; ++i) {
        low = std::min(low, std::min(r[i], std::min(g[i], b[i])));
        high = std::max(high, std::max(r[i], std::max(g[i], b[i])));
    }
    return low >= 0 && high <= 32768;
}

template <class Px>
inline void hsvToRgb15(const Hsv15& q, Px& p) {
    const int32_t c = (q.v * q.s) >> 15;
    const int32_t m = q.v - c;
    const int32_t step = ((q.h & 4095) * c) >> 12;
    const int32_t rising = m + step;
    const int32_t falling = q.v - step;
    const int32_t sector = q.h >> 12;
    // By sector: (v, rising, m), (falling, v, m), (m, v, rising),
    // (m, falling, v), (rising, m, v), and from 5 up (v, m, falling). Picked
    // one after another.
    int32_t r = m, g = m, b = m;
    r = pick(sector == 4, rising, r);
    r = pick(sector == 1, falling, r);
    r = pick(sector == 0, q.v, r);
    r = pick(sector >= 5, q.v, r);
    g = pick(sector == 3, falling, g);
    g = pick(sector == 0, rising, g);
    g = pick(sector == 1, q.v, g);
    g = pick(sector == 2, q.v, g);
    b = pick(sector >= 5, falling, b);
    b = pick(sector == 2, rising, b);
    b = pick(sector == 3, q.v, b);
    b = pick(sector == 4, q.v, b);
    p.r = r;
    p.g = g;
    p.b = b;
}

// One sector of a hue-dependent saturation change: k = (a * f + b) >> 12
// for the fraction f within the sector; a flat sector has a = 0.
struct SectorRamp {
    int32_t a;
    int32_t b;
};
constexpr SectorRamp ramp(int32_t a, int32_t b) { return {a, b}; }
constexpr SectorRamp flat(int32_t k) { return {0, k * 4096}; }

// k(h) for the six sectors, red-yellow first; a Q15 change of saturation.
using HueSaturation = std::array<SectorRamp, 6>;

constexpr HueSaturation everyHue(int32_t k) { return {flat(k), flat(k), flat(k), flat(k), flat(k), flat(k)}; }

inline int32_t saturationChange(const HueSaturation& k, int32_t h) {
    const int32_t sector = h >> 12;
    // Sectors 0 to 4 by number, every other one (only 5 occurs) as 5.
    int32_t a = k[5].a, b = k[5].b;
    for (int i = 4; i >= 0; --i) {
        a = pick(sector == i, k[static_cast<size_t>(i)].a, a);
        b = pick(sector == i, k[static_cast<size_t>(i)].b, b);
    }
    return (a * (h & 4095) + b) >> 12;
}

// s' = min(32768, ((k(h) + 32768) * s) >> 15).
inline void changeSaturation(const HueSaturation& k, Hsv15& q) {
    const int32_t s = ((saturationChange(k, q.h) + 32768) * q.s) >> 15;
    q.s = s < 32768 ? s : 32768;
}

}  // namespace lumetra
