// The channel formulas of the named blend modes, one struct per mode, on Q15
// values: a is the base channel, b the blend (layer) channel. Results are not
// clamped unless the mode says so; the store clamps.
//
// A formula is either per channel,
//     static int32_t channel(int32_t a, int32_t b);
// or, when it looks at the whole pixel ("color", "luminosity"),
//     static Rgb15 pixel(const Rgb15& a, const Rgb15& b);
// and sets kWide when its result can leave the range where a 32-bit mix15
// is exact (|value| < 65536): such a step mixes with 64-bit products.
//
// The dividing modes expect what a layer sample guarantees: b below 32768.
#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "core/divide.h"
#include "core/q15.h"

namespace lumetra {

// min(floor(n / d), cap) for 0 <= n < 2^30 with at most 24 significant
// bits, 0 < d <= 32768 and a whole cap of at most 2^23, on 8 float lanes
// where double takes 4. Exact: n and d are exact in float and the quotient
// is correctly rounded, so below the cap, with k the floor, the estimate
// lies between the floats k and k + 1 and truncates to k, or to k + 1 when
// the remainder n - q d comes out negative; at or past the cap it is held
// to the cap, whose remainder is not negative. Callers keep q d inside 32
// bits.
inline int32_t divideSmall(int32_t numerator, int32_t divisor, float cap) {
    const float estimate = static_cast<float>(numerator) / static_cast<float>(divisor);
    const int32_t q = static_cast<int32_t>(estimate < cap ? estimate : cap);
    return q - (numerator - q * divisor < 0 ? 1 : 0);
}

// trunc(sqrt(a << 15)) taken in single precision: the Q15 square root.
// Values at or below zero (never a byte-derived value) give 0.
inline int32_t squareRoot15(int32_t a) {
    const int32_t scaled = wrapShiftLeft(a, 15);
    return scaled > 0 ? static_cast<int32_t>(std::sqrt(static_cast<float>(scaled))) : 0;
}

struct BlendFormula {
    static constexpr bool kWide = false;
};

// a x b in a formula. Steps before a blend (an add, a vignette's gain) can
// push values far out of range, where a 32-bit product leaves 32 bits: it
// wraps. A wide step's 64-bit product cannot overflow.
inline int32_t product(int32_t a, int32_t b) { return wrapMul(a, b); }
inline int64_t product(int64_t a, int64_t b) { return a * b; }

struct Opacity : BlendFormula {
    static int32_t channel(int32_t, int32_t b) { return b; }
};
struct Darken : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a < b ? a : b; }
};
struct Lighten : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a > b ? a : b; }
};
struct Multiply : BlendFormula {
    template <class Int>
    static Int channel(Int a, Int b) {
        return product(a, b) >> 15;
    }
};
struct Screen : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + b - (product(a, b) >> 15); }
};
// The dividing modes also have byteChannel(a, b): the same formula for a
// base a = byte << 7 and a layer sample b (0..32640), where the numerator
// is a byte times a power of two, or 32767 - (byte << 7) times one (15
// significant bits), so divideSmall applies.
struct ColorDodge : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t q = divideTruncating(wrapShiftLeft(a, 15), kOne15 - b);
        return q < 32767 ? q : 32767;
    }
    static int32_t byteChannel(int32_t a, int32_t b) {
        const int32_t q = divideSmall(a << 15, kOne15 - b, 32768.0f);
        return q < 32767 ? q : 32767;
    }
};
struct ColorBurn : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t q = divideTruncating(wrapShiftLeft(32767 - a, 15), b + 1);
        return 32767 - (q < 32767 ? q : 32767);
    }
    static int32_t byteChannel(int32_t a, int32_t b) {
        const int32_t q = divideSmall((32767 - a) << 15, b + 1, 32768.0f);
        return 32767 - (q < 32767 ? q : 32767);
    }
};
struct LinearDodge : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + b < 32767 ? a + b : 32767; }
};
struct LinearBurn : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + b - 32767 > 0 ? a + b - 32767 : 0; }
};
struct Overlay : BlendFormula {
    template <class Int>
    static Int channel(Int a, Int b) {
        const Int m = product(a, b) >> 14;
        return a < 16384 ? m : 2 * (a + b) - m - 32767;
    }
};
struct HardLight : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t m = product(a, b) >> 14;
        return b < 16384 ? m : 2 * (a + b) - m - 32767;
    }
};
// Both halves are computed and one is selected, which keeps the loops free
// of branches (and vectorisable).
struct SoftLight : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t towardWhite = 2 * b - 32767;
        const int32_t upper = wrapAdd(a, product(towardWhite, wrapSub(squareRoot15(a), a)) >> 15);
        const int32_t lower = wrapAdd(a, product(towardWhite, wrapSub(a, product(a, a) >> 15)) >> 15);
        return b >= 16384 ? upper : lower;
    }
    // On a byte base a = byte << 7 the lower half's a a >> 15 is byte^2 >> 1
    // and the root's argument a << 15 is exact as a float; with a layer
    // sample (0..32640) nothing wraps, so this is channel's value, in
    // arithmetic that vectorises without table reads.
    static int32_t byteChannel(int32_t a, int32_t b) {
        const int32_t byte = a >> 7;
        const int32_t upper = squareRoot15(a) - a, lower = a - ((byte * byte) >> 1);
        return a + (((2 * b - 32767) * (b >= 16384 ? upper : lower)) >> 15);
    }
};
struct VividLight : BlendFormula {
    static constexpr bool kWide = true;  // up to 127.5 x over a white base
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t dodge = divideTruncating(wrapShiftLeft(a, 14), kOne15 - b);
        const int32_t burn = 32767 - (product(32767 - a, b) >> 14);
        return b >= 16384 ? dodge : burn;
    }
    // The dodge half's quotient stays below 255 << 14 (divisor at least
    // 128); in the burn half (b < 16384) the divisor is above 16384 and the
    // quotient, unused, below 2^14.
    static int32_t byteChannel(int32_t a, int32_t b) {
        const int32_t dodge = divideSmall(a << 14, kOne15 - b, 8388608.0f);
        const int32_t burn = 32767 - (((32767 - a) * b) >> 14);
        return b >= 16384 ? dodge : burn;
    }
};
struct LinearLight : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + 2 * b - 32767; }
};
// a held between 2 b - 32768 and 2 b: the bounds never cross, so which
// is applied first does not matter, and a min and a max vectorise.
struct PinLight : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return std::min(std::max(a, 2 * b - 32768), 2 * b); }
};
struct HardMix : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return b < 32767 - a ? 0 : 32767; }
};
struct Difference : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a > b ? a - b : b - a; }
    // A byte base and a layer sample are both below 2^15: a - b cannot
    // overflow, and its absolute value is one vector instruction.
    static int32_t byteChannel(int32_t a, int32_t b) { return std::abs(a - b); }
};
struct Exclude : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + b - (product(a, b) >> 14); }
};
// "color" and "luminosity" move every channel by one luminance difference
// per pixel: shift(a, b) gives it, shifted(a, b, shift) applies it to a
// channel, and pixel(a, b) is the two together.
// The layer's colour moved to the base's luminance.
struct Color : BlendFormula {
    static int32_t shift(const Rgb15& a, const Rgb15& b) { return luminance15(a) - luminance15(b); }
    static int32_t shifted(int32_t, int32_t b, int32_t shift) { return b + shift; }
    static Rgb15 pixel(const Rgb15& a, const Rgb15& b) {
        const int32_t s = shift(a, b);
        return {shifted(a.r, b.r, s), shifted(a.g, b.g, s), shifted(a.b, b.b, s)};
    }
};
// The base's colour moved to the layer's luminance.
struct Luminosity : BlendFormula {
    static int32_t shift(const Rgb15& a, const Rgb15& b) { return luminance15(b) - luminance15(a); }
    static int32_t shifted(int32_t a, int32_t, int32_t shift) { return a + shift; }
    static Rgb15 pixel(const Rgb15& a, const Rgb15& b) {
        const int32_t s = shift(a, b);
        return {shifted(a.r, b.r, s), shifted(a.g, b.g, s), shifted(a.b, b.b, s)};
    }
};

// A formula with a faster form for a base that is a byte << 7.
template <class F>
concept ByteFormula = requires(int32_t v) {
    { F::byteChannel(v, v) } -> std::same_as<int32_t>;
};

template <class F>
concept PixelFormula = requires(const Rgb15& p) {
    { F::pixel(p, p) } -> std::same_as<Rgb15>;
};

// A pixel formula that is one shift per pixel applied channel by channel.
template <class F>
concept ShiftFormula = PixelFormula<F> && requires(const Rgb15& p, int32_t v) {
    { F::shift(p, p) } -> std::same_as<int32_t>;
    { F::shifted(v, v, v) } -> std::same_as<int32_t>;
};

// f(a, b) on a whole pixel, whichever way the formula is written.
template <class F>
inline Rgb15 applyFormula(const Rgb15& a, const Rgb15& b) {
    if constexpr (PixelFormula<F>)
        return F::pixel(a, b);
    else
        return {F::channel(a.r, b.r), F::channel(a.g, b.g), F::channel(a.b, b.b)};
}

// A per-channel formula written for any integer width: where a chain of
// steps has pushed the base far past white, a wide step evaluates it on
// 64-bit values (the same formula; in-range results do not change).
template <class F>
concept WidthGenericFormula = requires(int64_t v) {
    { F::channel(v, v) } -> std::same_as<int64_t>;
};

// The combiner: each colour channel of p becomes mix15(p, f(p, b), t), in
// the order r, g, b. Wide formulas (or weights outside 0..32768) mix with
// 64-bit products.
template <class F, bool Wide = F::kWide>
inline void blendInto(Rgb15& p, const Rgb15& blend, int32_t t) {
    if constexpr (Wide && WidthGenericFormula<F>) {
        p.r = mix15Wide(p.r, F::channel(int64_t{p.r}, int64_t{blend.r}), t);
        p.g = mix15Wide(p.g, F::channel(int64_t{p.g}, int64_t{blend.g}), t);
        p.b = mix15Wide(p.b, F::channel(int64_t{p.b}, int64_t{blend.b}), t);
        return;
    }
    const Rgb15 f = applyFormula<F>(p, blend);
    if constexpr (Wide) {
        p.r = mix15Wide(p.r, f.r, t);
        p.g = mix15Wide(p.g, f.g, t);
        p.b = mix15Wide(p.b, f.b, t);
    } else {
        p.r = mix15(p.r, f.r, t);
        p.g = mix15(p.g, f.g, t);
        p.b = mix15(p.b, f.b, t);
    }
}

}  // namespace lumetra
