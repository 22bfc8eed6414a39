// The operation behind every blend mode: the base picture's pixel, the
// layer sampled on the canvas, a constant opacity and the mode's formula.
// Every (formula, base channels, layer channels, keep-alpha) combination is
// its own type, so each variant's loop is straight-line code.
#pragma once

#include <cstdint>

#include "pixel/alpha_cover.h"
#include "pixel/blend_formulas.h"
#include "pixel/layer_sampler.h"
#include "pixel/terms.h"

namespace lumetra {

template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
class BlendLayerOp : public PixelOp {
public:
    // A 4-channel base, or keepAlpha, stores B, G, R, A.
    static constexpr int kStoreChannels = (BaseChannels == 4 || KeepAlpha) ? 4 : 3;

    BlendLayerOp(const IplImage* base, const IplImage* layer, const LayerTransform& transform, int32_t opacity15)
        : base_(base), layer_(layer, transform), opacity_(opacity15) {}

    void start(const WalkFrame& frame) { layer_.start(frame); }
    void rowStart(const RowSpot& spot) {
        base_.rowStart(spot);
        layer_.rowStart(spot);
    }

    template <class Px>
    void apply(Px& p, PixelContext& at) {
        const PixelOf<BaseChannels> a = base_.value(at);
        const PixelOf<LayerChannels> sample = layer_.value(at);
        const int32_t t = layerWeight(sample);
        Rgb15 colour{a.r, a.g, a.b};
        if constexpr (kStoreChannels == 4) {
            // A 3-channel base under keepAlpha covers fully.
            int32_t baseCover = kOne15;
            if constexpr (BaseChannels == 4) baseCover = a.a;
            const int32_t cover = accumulateAlpha<Wide>(colour, sample, baseCover, t);
            p.a = KeepAlpha ? baseCover : cover;
        }
        blendInto<F, Wide>(colour, sample, t);
        p.r = colour.r;
        p.g = colour.g;
        p.b = colour.b;
    }

private:
    int32_t layerWeight(const PixelOf<LayerChannels>& sample) const {
        if constexpr (LayerChannels == 4) {
            if constexpr (Wide) return static_cast<int32_t>((int64_t{opacity_} * sample.a) >> 15);
            else return (opacity_ * sample.a) >> 15;
        } else {
            return opacity_;
        }
    }

    ImageTerm<BaseChannels> base_;
    LayerSampler<LayerChannels> layer_;
    int32_t opacity_;
};

}  // namespace lumetra
