// The byte path of a 3-channel layer for the modes whose formula, over a
// byte base, fits 16-bit lanes: sixteen channels a step instead of eight,
// and the mix leaves as bytes directly. Each such mode has a WordFormula;
// color and luminosity have a pass of their own in 32-bit lanes, and the
// other modes run the 32-bit byte path alone.
#pragma once

#include <cstdint>
#include <type_traits>

#include "pixel/blend_formulas.h"
#include "pixel/layer_sampler.h"

namespace lumetra {

// Every mode whose result over a byte base stays in 0..32768 and fits
// 16-bit steps: linear light leaves the range, the dividing modes need
// wider steps, and color and luminosity work on whole pixels.
template <class F>
struct WordFormula {
    static constexpr bool kExists =
        std::is_same_v<F, Opacity> || std::is_same_v<F, Darken> || std::is_same_v<F, Lighten> ||
        std::is_same_v<F, Multiply> || std::is_same_v<F, Screen> || std::is_same_v<F, LinearDodge> ||
        std::is_same_v<F, LinearBurn> || std::is_same_v<F, Overlay> || std::is_same_v<F, HardLight> ||
        std::is_same_v<F, SoftLight> || std::is_same_v<F, PinLight> || std::is_same_v<F, HardMix> ||
        std::is_same_v<F, Difference> || std::is_same_v<F, Exclude>;
};

// out[i] = the byte the byte path gives for base byte base[i], colour sample
// colour[i] (0..32640) and a weight t of 1..32768, for the leading i in
// steps of 16; returns how many it did (none without AVX2).
template <class F>
int blendWords(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t);

// The same for "color" and "luminosity", with each channel's luminance
// shift (within +-32640) in shifts[i].
template <class F>
int blendShiftWords(const uint8_t* base, const int32_t* colour, const int32_t* shifts, uint8_t* out, int count,
                    int32_t t);

// The same over whole B, G, R pixels, each pixel's shift taken on the way:
// `columns` pixels of base and colour; returns the columns done, every
// whole sixteen (none without AVX-512 VBMI). With `cover` (each channel's
// layer cover, a 4-channel layer) t is the opacity (0..32768) and each
// channel mixes at (t cover) >> 15. Nothing past the last whole sixteen is
// read or written.
template <class F>
int blendShiftColumns(const uint8_t* base, const int32_t* colour, const int32_t* cover, uint8_t* out, int columns,
                      int32_t t);

// blendShiftColumns at one weight (t in 1..32768) for a 3-channel layer,
// each sixteen columns' samples taken on the way from the layer's prepared
// row by one window per channel, as the sampler's own vector step takes
// them, and never stored. Stops at the first thirty-two columns whose
// pairs spread wider than a window; returns the columns done (none without
// AVX-512 VBMI).
template <class F>
int blendShiftSampled(const uint8_t* base, const PreparedRow& row, uint8_t* out, int columns, int32_t t);

// blendWords' soft light in 512-bit vectors, thirty-two channels a step
// (none without AVX-512 VBMI); blendWords<SoftLight> runs it first.
int softLightWords512(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t);

}  // namespace lumetra
