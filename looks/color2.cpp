// "color2": thirteen recipes of curves, saturation by hue, a gradient map,
// a vignette, a grey curve and a sepia matrix. Every recipe reads the
// source pixel as it is; none takes a histogram.
#include <algorithm>
#include <array>

#include "looks/color_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"
#include "pixel/blend_formulas.h"

namespace lumetra {

namespace {

// The blue-to-yellow gradient at the pixel's own brightness, laid over it
// with "hard light" at half strength.
struct GradientHardLightStep : PixelOp {
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        const int32_t brightness = luminance15(p);
        const Rgb15 gradient{mix15(kGradientDark.r, kGradientLight.r, brightness),
                             mix15(kGradientDark.g, kGradientLight.g, brightness),
                             mix15(kGradientDark.b, kGradientLight.b, brightness)};
        blendInto<HardLight, false>(p, gradient, 16384);
    }
};

// The pixels of the run as they stood at a step, for a later step. Element
// i holds the run's column i, which is the pixel's column modulo the run
// length in either walk.
struct KeptRun {
    alignas(64) std::array<int32_t, kRunLength> r;
    alignas(64) std::array<int32_t, kRunLength> g;
    alignas(64) std::array<int32_t, kRunLength> b;
};
inline size_t keptIndex(const PixelContext& at) { return static_cast<size_t>(at.col % kRunLength); }

struct KeepRunStep : PixelOp {
    KeptRun* kept;
    explicit KeepRunStep(KeptRun& run) : kept(&run) {}
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        kept->r[keptIndex(at)] = p.r;
        kept->g[keptIndex(at)] = p.g;
        kept->b[keptIndex(at)] = p.b;
    }
    [[gnu::always_inline]] friend void applyRow(KeepRunStep& step, const RowPlanes& row) {
        std::copy_n(row.r, row.width, step.kept->r.data());
        std::copy_n(row.g, row.width, step.kept->g.data());
        std::copy_n(row.b, row.width, step.kept->b.data());
    }
};

// p = mix15(kept, p, w) with the vignette's Q15 gain as w: the kept pixel
// at the far edges, p at the centre.
class RevealStep : public PixelOp {
public:
    RevealStep(const KeptRun& kept, const VignetteShape& shape) : kept_(&kept), gain_(shape) {}
    void start(const WalkFrame& frame) { gain_.start(frame); }
    void rowStart(const RowSpot& spot) { gain_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        const int32_t w = gain_.value(at);
        p.r = mix15(kept_->r[keptIndex(at)], p.r, w);
        p.g = mix15(kept_->g[keptIndex(at)], p.g, w);
        p.b = mix15(kept_->b[keptIndex(at)], p.b, w);
    }
    [[gnu::always_inline]] friend void applyRow(RevealStep& step, const RowPlanes& row) {
        const int32_t* __restrict w = step.gain_.row() + row.first;
        const int32_t* __restrict keptR = step.kept_->r.data();
        const int32_t* __restrict keptG = step.kept_->g.data();
        const int32_t* __restrict keptB = step.kept_->b.data();
        for (int col = 0; col < row.width; ++col) {
            row.r[col] = mix15(keptR[col], row.r[col], w[col]);
            row.g[col] = mix15(keptG[col], row.g[col], w[col]);
            row.b[col] = mix15(keptB[col], row.b[col], w[col]);
        }
    }

private:
    const KeptRun* kept_;
    VignetteGainTerm<GainScale::q15> gain_;
};

// Variant 6: the source run is kept, then takes the curves and the
// saturation; the vignette mixes the kept run back in, so the centre shows
// the curved pixels and the far edges the untouched ones.
LUMETRA_AVX2_CLONES void revealWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                    const HueSaturation& saturation, const CurveLutSet& curves) {
    const VignetteShape shape = prepareVignette(-100, -80, window.width, window.height);
    KeptRun untouched;
    lookWalk(src, dst, window,
             KeepRunStep(untouched) | applyCurves(curves) | hsvSaturation(saturation) | RevealStep(untouched, shape));
}

// The recipe of each variant (1 to 13).
LUMETRA_VECTOR_CLONES void color2Walk(const IplImage* src, IplImage* dst, const CanvasWindow& window, int variant) {
    const HueSaturation& saturation = color2Saturation(variant);
    const CurveLutSet curves = buildCurveLutSet(color2Points(variant));
    // The single curves of 11 and 12 shape all three channels alike.
    const CurveLut single = buildCurveLut(color2Curve(variant));
    const CurveLutSet greyCurve{{single, single, single}};
    // Inlined, so that the walk is compiled into each clone.
    const auto walk = [&](PixelOperation auto recipe) __attribute__((always_inline)) {
        lookWalk(src, dst, window, std::move(recipe));
    };

    switch (variant) {
        case 1: {
            const VignetteShape shape = prepareVignette(-40, -20, window.width, window.height);
            return walk(vignette15(shape) | GradientHardLightStep{});
        }
        case 2:
        case 3:
        case 4: return walk(hsvSaturation(saturation) | applyCurves(curves));
        case 6: return revealWalk(src, dst, window, saturation, curves);
        case 5:
        case 7:
        case 8:
        case 9: return walk(applyCurves(curves) | hsvSaturation(saturation));
        case 11:
        case 12: return walk(fused(toGrey()) | applyCurves(greyCurve));
        case 13: return walk(fused(matrix(kSepiaMatrix)));
        default: return walk(hsvSaturation(saturation));
    }
}

}  // namespace

void applyColor2(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    color2Walk(src, dst, canvasWindow(region, src), variant < 1 || variant > 13 ? 10 : variant);
}

}  // namespace lumetra
