// The operation behind every blend mode: the base picture's pixel, the
// layer sampled on the canvas, a constant opacity and the mode's formula.
// Every (formula, base channels, layer channels, keep-alpha) combination is
// its own type, so each variant's row loop is straight-line code the
// compiler vectorises.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "core/byte_rows.h"
#include "core/vector_clones.h"
#include "pixel/alpha_cover.h"
#include "pixel/blend_formulas.h"
#include "pixel/blend_words.h"
#include "pixel/layer_sampler.h"
#include "pixel/luminance_shifts.h"
#include "pixel/terms.h"

namespace lumetra {

// One pixel of a blend. Wide takes the weight products in 64 bits.
template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
struct BlendPixel {
    // A 4-channel base, or keepAlpha, stores B, G, R, A.
    static constexpr int kStoreChannels = (BaseChannels == 4 || KeepAlpha) ? 4 : 3;
    using Result = PixelOf<kStoreChannels>;

    static Result blend(const PixelOf<BaseChannels>& a, const PixelOf<LayerChannels>& sample, int32_t opacity) {
        const int32_t t = layerWeight(sample, opacity);
        Rgb15 colour{a.r, a.g, a.b};
        Result p{};
        if constexpr (kStoreChannels == 4) {
            int32_t baseCover = kOne15;  // a 3-channel base under keepAlpha covers fully
            if constexpr (BaseChannels == 4) baseCover = a.a;
            const int32_t cover = accumulateAlpha<Wide>(colour, sample, baseCover, t);
            p.a = KeepAlpha ? baseCover : cover;
        }
        blendInto<F, Wide>(colour, sample, t);
        p.r = colour.r;
        p.g = colour.g;
        p.b = colour.b;
        return p;
    }

    static int32_t layerWeight(const PixelOf<LayerChannels>& sample, int32_t opacity) {
        if constexpr (LayerChannels != 4) return opacity;
        else return coverWeight<Wide>(opacity, sample.a);
    }
};

// ---- the byte path: a 3-channel base without keepAlpha ---------------------
// There the base value of every channel is a byte << 7 and no alpha is
// accumulated, so a row is one flat loop over its colour bytes: channel i
// of the row mixes base byte i with colour sample i at weight t (the
// opacity, or with a 4-channel layer the opacity scaled by that column's
// cover, which the sampler repeats per byte).

// mix15(a, f, t) for a formula result f of F. WideWeight (t outside
// 0..32768) takes 64-bit products; a wide formula with an ordinary weight
// mixes in 32 bits by splitting f (mix15Split, exact there).
// Otherwise one product: (32768 - t) a + t f = 32768 a + t (f - a), and the
// multiple of 32768 passes the floor shift unchanged; every byte-path
// formula keeps |f - a| <= 65280, so t (f - a) fits 32 bits.
template <class F, bool WideWeight>
inline int32_t mixResult(int32_t a, int32_t f, int32_t t) {
    if constexpr (WideWeight) return mix15Wide(a, f, t);
    else if constexpr (F::kWide) return mix15Split(a, f, t);
    else return a + ((t * (f - a)) >> 15);
}

// The "color"/"luminosity" shift of every column of a row, repeated for the
// column's three bytes.
template <class F>
LUMETRA_VECTOR_CLONES void luminanceShifts(const uint8_t* __restrict base, const int32_t* __restrict colour,
                                           int32_t* __restrict shifts, int width) {
    // The shift is one luminance less the other; which, the formula says.
    const bool baseFirst = F::shift({kOne15 - 1, kOne15 - 1, kOne15 - 1}, {0, 0, 0}) > 0;
    for (int col = luminanceShiftColumns(base, colour, shifts, width, baseFirst); col < width; ++col) {
        const uint8_t* a = base + col * 3;
        const int32_t* b = colour + col * 3;
        const int32_t shift = F::shift({colourToQ15(a[2]), colourToQ15(a[1]), colourToQ15(a[0])}, {b[2], b[1], b[0]});
        shifts[col * 3] = shifts[col * 3 + 1] = shifts[col * 3 + 2] = shift;
    }
}

// At one weight t (0..32768), a wide formula's result (at least 0 over a
// byte base) is held to ceil(32767 x 32768 / t): at or past it the mix,
// which is at least floor(t f / 32768), reaches 32767 whatever the base, a
// byte of 255 either way. Held, t (f - a) fits 32 bits and mixes with one
// product.
inline int32_t wideResultBound(int32_t t) {
    return t > 0 ? static_cast<int32_t>((int64_t{32767} * kOne15 + t - 1) / t) : INT32_MAX;
}

// One row of the byte path: `count` colour bytes. `cover` (a 4-channel
// layer) holds each byte's layer cover, `shifts` (shift formulas) each
// byte's luminance shift; either is unused otherwise. `bytes` receives each
// result as toByte15 takes it before the clamp: v >> 7, which lies in
// 0..255 exactly when v lies in 0..32767, so clamping it afterwards gives
// toByte15(v).
template <class F, bool WideWeight, bool Covered>
LUMETRA_VECTOR_CLONES void blendBytes(const uint8_t* __restrict base, const int32_t* __restrict colour,
                                      const int32_t* __restrict cover, const int32_t* __restrict shifts,
                                      int32_t* __restrict bytes, int count, int32_t opacity) {
    constexpr bool kHeld = F::kWide && !WideWeight && !Covered;
    const int32_t bound = kHeld ? wideResultBound(opacity) : 0;
    for (int i = 0; i < count; ++i) {
        const int32_t t = Covered ? coverWeight<WideWeight>(opacity, cover[i]) : opacity;
        const int32_t a = colourToQ15(base[i]);
        int32_t f;
        if constexpr (ShiftFormula<F>) f = F::shifted(a, colour[i], shifts[i]);
        else if constexpr (ByteFormula<F>) f = F::byteChannel(a, colour[i]);
        else f = F::channel(a, colour[i]);
        if constexpr (kHeld) bytes[i] = (a + ((t * (std::min(f, bound) - a)) >> 15)) >> 7;
        else bytes[i] = mixResult<F, WideWeight>(a, f, t) >> 7;
    }
}

// Whether a variant runs on the byte path.
template <class F, int BaseChannels, bool KeepAlpha>
constexpr bool kBytePath = BaseChannels == 3 && !KeepAlpha && (!PixelFormula<F> || ShiftFormula<F>);

// One destination row of a variant off the byte path: `base` the base
// picture's row, `samples` the layer's samples for the row (LayerChannels
// values per column), `out` the row to write. The three do not overlap.
template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
LUMETRA_VECTOR_CLONES void blendRow(const uint8_t* __restrict base, const int32_t* __restrict samples,
                                    uint8_t* __restrict out, int width, int32_t opacity) {
    using Pixel = BlendPixel<F, BaseChannels, LayerChannels, KeepAlpha, Wide>;
    for (int col = 0; col < width; ++col) {
        const auto sample = sampleAt<LayerChannels>(samples + col * LayerChannels);
        const auto a = readPixel<BaseChannels>(base + col * BaseChannels);
        storePixel<Pixel::kStoreChannels>(out + col * Pixel::kStoreChannels, Pixel::blend(a, sample, opacity));
    }
}

// WideWeight: the opacity lies outside 0..32768 (weights need 64-bit
// products); wide formulas add their own care on top.
template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool WideWeight>
class BlendLayerOp : public PixelOp {
    static constexpr bool kWide = WideWeight || F::kWide;
    using Pixel = BlendPixel<F, BaseChannels, LayerChannels, KeepAlpha, kWide>;
    static constexpr bool kBytes = kBytePath<F, BaseChannels, KeepAlpha>;

public:
    static constexpr int kStoreChannels = Pixel::kStoreChannels;

    BlendLayerOp(const IplImage* base, const IplImage* layer, const LayerTransform& transform, int32_t opacity15)
        : base_(base),
          layer_(layer, transform, kBytes ? SampleLayout::colourThenCover : SampleLayout::interleaved),
          opacity_(opacity15) {}

    void start(const WalkFrame& frame) {
        width_ = frame.width;
        layer_.start(frame);
        if constexpr (kBytes) {
            const size_t chunkBytes = static_cast<size_t>(std::min(width_, kChunkColumns)) * 3 + 1;
            colour_.assign(chunkBytes, 0);
            unclamped_.assign(chunkBytes, 0);
            if constexpr (LayerChannels == 4) cover_.assign(chunkBytes, 0);
            if constexpr (ShiftFormula<F>) shifts_.assign(chunkBytes, 0);
        }
    }
    void rowStart(const RowSpot& spot) {
        if constexpr (kBytes) layer_.prepareRow(spot);  // sampled chunk by chunk in applyRow
        else layer_.rowStart(spot);
    }

    void applyRow(const RowSpot& spot, uint8_t* out) {
        const uint8_t* base = rowOf(base_, spot.row);
        const size_t baseBytes = static_cast<size_t>(width_) * BaseChannels;
        const size_t outBytes = static_cast<size_t>(width_) * kStoreChannels;
        if (base < out + outBytes && out < base + baseBytes) {  // in place: read from a copy
            baseCopy_.assign(base, base + baseBytes);
            base = baseCopy_.data();
        }
        if constexpr (kBytes) {
            for (int first = 0; first < width_; first += kChunkColumns)
                blendChunk(base + first * 3, out + first * 3, first, std::min(kChunkColumns, width_ - first));
        } else {
            blendRow<F, BaseChannels, LayerChannels, KeepAlpha, kWide>(base, layer_.rowSamples(), out, width_,
                                                                      opacity_);
        }
    }

private:
    // Columns sampled and blended at a time on the byte path: their samples
    // (and covers, shifts) and unclamped results stay in the L1 cache
    // between the passes (256 columns measured a few per cent slower).
    static constexpr int kChunkColumns = 128;

    // A 3-channel layer blends at one weight, which the 16-bit pass takes;
    // "color" and "luminosity" take whole pixels first, with either layer.
    static constexpr bool kWords = WordFormula<F>::kExists && LayerChannels == 3 && !WideWeight;
    static constexpr bool kShiftWords = ShiftFormula<F> && LayerChannels == 3 && !WideWeight;
    static constexpr bool kShiftColumns = ShiftFormula<F> && !WideWeight;

    void blendChunk(const uint8_t* base, uint8_t* out, int first, int columns) {
        if constexpr (kShiftWords) {  // what the windows serve needs no samples
            const int sampled = blendShiftSampled<F>(base, layer_.preparedRow(first), out, columns, opacity_);
            base += 3 * sampled, out += 3 * sampled, first += sampled, columns -= sampled;
        }
        layer_.sampleColumns(first, columns, colour_.data(), cover_.data());
        const int count = columns * 3;
        int done = 0;
        if constexpr (kShiftColumns)
            done = 3 * blendShiftColumns<F>(base, colour_.data(), LayerChannels == 4 ? cover_.data() : nullptr, out,
                                            columns, opacity_);
        if constexpr (ShiftFormula<F>)  // the columns left need their shifts
            luminanceShifts<F>(base + done, colour_.data() + done, shifts_.data() + done, columns - done / 3);
        if constexpr (kWords) done = blendWords<F>(base, colour_.data(), out, count, opacity_);
        if constexpr (kShiftWords)
            done += blendShiftWords<F>(base + done, colour_.data() + done, shifts_.data() + done, out + done,
                                       count - done, opacity_);
        const auto from = [done](std::vector<int32_t>& values) {  // an unused buffer stays empty
            return values.empty() ? values.data() : values.data() + done;
        };
        blendBytes<F, WideWeight, LayerChannels == 4>(base + done, from(colour_), from(cover_), from(shifts_),
                                                      unclamped_.data(), count - done, opacity_);
        storeClampedBytes(unclamped_.data(), out + done, static_cast<size_t>(count - done));
    }

    const IplImage* base_;
    LayerSampler<LayerChannels> layer_;
    int32_t opacity_;
    int width_ = 0;
    std::vector<uint8_t> baseCopy_;
    std::vector<int32_t> colour_;  // byte path: one chunk's colour samples,
    std::vector<int32_t> cover_;   // covers
    std::vector<int32_t> shifts_;  // and luminance shifts,
    std::vector<int32_t> unclamped_;  // and its results before the clamp to bytes
};

}  // namespace lumetra
