// The operation behind every blend mode: the base picture's pixel, the
// layer sampled on the canvas, a constant opacity and the mode's formula.
// Every (formula, base channels, layer channels, keep-alpha) combination is
// its own type, so each variant's row loop is straight-line code the
// compiler vectorises.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/vector_clones.h"
#include "pixel/alpha_cover.h"
#include "pixel/blend_formulas.h"
#include "pixel/layer_sampler.h"
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
        else if constexpr (Wide) return static_cast<int32_t>((int64_t{opacity} * sample.a) >> 15);
        else return (opacity * sample.a) >> 15;
    }

    // One channel of the plain variant (3 over 3, per-channel formula).
    static uint8_t channel(uint8_t base, int32_t sample, int32_t opacity) {
        const int32_t a = colourToQ15(base);
        const int32_t f = F::channel(a, sample);
        return toByte15(Wide ? mix15Wide(a, f, opacity) : mix15(a, f, opacity));
    }
};

// One destination row: `base` the base picture's row, `samples` the layer's
// samples for the row (LayerChannels values per column), `out` the row to
// write. The three do not overlap.
template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
LUMETRA_VECTOR_CLONES void blendRow(const uint8_t* __restrict base, const int32_t* __restrict samples,
                                    uint8_t* __restrict out, int width, int32_t opacity) {
    using Pixel = BlendPixel<F, BaseChannels, LayerChannels, KeepAlpha, Wide>;
    if constexpr (Pixel::kStoreChannels == 3 && LayerChannels == 3 && !PixelFormula<F>) {
        // Every channel on its own: one flat loop over the row's bytes.
        for (int i = 0; i < width * 3; ++i) out[i] = Pixel::channel(base[i], samples[i], opacity);
    } else {
        for (int col = 0; col < width; ++col) {
            const auto sample = sampleAt<LayerChannels>(samples + col * LayerChannels);
            const auto a = readPixel<BaseChannels>(base + col * BaseChannels);
            storePixel<Pixel::kStoreChannels>(out + col * Pixel::kStoreChannels, Pixel::blend(a, sample, opacity));
        }
    }
}

template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
class BlendLayerOp : public PixelOp {
    using Pixel = BlendPixel<F, BaseChannels, LayerChannels, KeepAlpha, Wide>;

public:
    static constexpr int kStoreChannels = Pixel::kStoreChannels;

    BlendLayerOp(const IplImage* base, const IplImage* layer, const LayerTransform& transform, int32_t opacity15)
        : base_(base), baseTerm_(base), layer_(layer, transform), opacity_(opacity15) {}

    void start(const WalkFrame& frame) {
        width_ = frame.width;
        layer_.start(frame);
    }
    void rowStart(const RowSpot& spot) {
        baseTerm_.rowStart(spot);
        layer_.rowStart(spot);
    }

    // The pixel on its own, for use inside a composed operation.
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        p = Pixel::blend(baseTerm_.value(at), layer_.value(at), opacity_);
    }

    void applyRow(const RowSpot& spot, uint8_t* out) {
        const uint8_t* base = rowOf(base_, spot.row);
        const size_t baseBytes = static_cast<size_t>(width_) * BaseChannels;
        const size_t outBytes = static_cast<size_t>(width_) * kStoreChannels;
        if (base < out + outBytes && out < base + baseBytes) {  // in place: read from a copy
            baseCopy_.assign(base, base + baseBytes);
            base = baseCopy_.data();
        }
        blendRow<F, BaseChannels, LayerChannels, KeepAlpha, Wide>(base, layer_.rowSamples(), out, width_, opacity_);
    }

private:
    const IplImage* base_;
    ImageTerm<BaseChannels> baseTerm_;
    LayerSampler<LayerChannels> layer_;
    int32_t opacity_;
    int width_ = 0;
    std::vector<uint8_t> baseCopy_;
};

}  // namespace lumetra
