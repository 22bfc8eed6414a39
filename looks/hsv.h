// Hue, saturation and value on the Q15 scale, and the hue-dependent
// saturation changes of the colour looks.
#pragma once

#include <array>
#include <cstdint>

namespace lumetra {

// h: 4096 units per 60-degree sector (red 0, yellow 4096, green 8192, cyan
// 12288, blue 16384, magenta 20480); s: Q15; v: the largest channel.
struct Hsv15 {
    int32_t h;
    int32_t s;
    int32_t v;
};

// Truncating division of values exact in double: the loops that use it
// vectorise, and the quotient cannot round across an integer.
inline int32_t quotient(int32_t numerator, int32_t divisor) {
    return static_cast<int32_t>(static_cast<double>(numerator) / static_cast<double>(divisor));
}

// Channels within 0..32768. Ties go by a fixed order of comparisons, so a
// pixel with two equal largest channels always lands on the same sector.
template <class Px>
inline Hsv15 rgbToHsv15(const Px& p) {
    const int32_t r = p.r, g = p.g, b = p.b;
    int32_t base, rising, v, d;
    if (g >= b) {
        if (r > g) {
            v = r, d = r - b, base = 0, rising = g - b;
        } else if (r > b) {
            v = g, d = g - b, base = 4096, rising = g - r;
        } else if (g > r) {
            v = g, d = g - r, base = 8192, rising = b - r;
        } else {
            return {0, 0, r};
        }
    } else if (g > r) {
        v = b, d = b - r, base = 12288, rising = b - g;
    } else if (b > r) {
        v = b, d = b - g, base = 16384, rising = r - g;
    } else {
        v = r, d = r - g, base = 20480, rising = r - b;
    }
    return {base + quotient(rising * 4096, d), quotient(d * 32768, v), v};
}

template <class Px>
inline void hsvToRgb15(const Hsv15& q, Px& p) {
    const int32_t c = (q.v * q.s) >> 15;
    const int32_t m = q.v - c;
    const int32_t step = ((q.h & 4095) * c) >> 12;
    const int32_t rising = m + step;
    const int32_t falling = q.v - step;
    int32_t r, g, b;
    switch (q.h >> 12) {
        case 0: r = q.v, g = rising, b = m; break;
        case 1: r = falling, g = q.v, b = m; break;
        case 2: r = m, g = q.v, b = rising; break;
        case 3: r = m, g = falling, b = q.v; break;
        case 4: r = rising, g = m, b = q.v; break;
        default: r = q.v, g = m, b = falling; break;
    }
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
    const SectorRamp& part = k[sector < 5 ? sector : 5];
    return (part.a * (h & 4095) + part.b) >> 12;
}

// s' = min(32768, ((k(h) + 32768) * s) >> 15).
inline void changeSaturation(const HueSaturation& k, Hsv15& q) {
    const int32_t s = ((saturationChange(k, q.h) + 32768) * q.s) >> 15;
    q.s = s < 32768 ? s : 32768;
}

}  // namespace lumetra
