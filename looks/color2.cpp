// "color2": thirteen recipes of curves, saturation by hue, a gradient map,
// a vignette, a grey curve and a sepia matrix. Every recipe reads the
// source pixel as it is; none takes a histogram.
#include "looks/color_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"
#include "pixel/blend_formulas.h"

namespace lumetra {

namespace {

// The blue-to-yellow gradient at the brightness of the pixel kept in Slot.
template <int Slot>
struct GradientMapTerm : PixelTerm {
    Rgb15 value(const PixelContext& at) const {
        const int32_t brightness = luminance15(at.scratch[Slot]);
        return {mix15(kGradientDark.r, kGradientLight.r, brightness), mix15(kGradientDark.g, kGradientLight.g, brightness),
                mix15(kGradientDark.b, kGradientLight.b, brightness)};
    }
};

// p = mix15(kept, p, w): the pixel kept in Slot where w is 0, p where w is
// 32768.
template <int Slot, PixelValue Weight>
class RevealStep : public PixelOp {
public:
    explicit RevealStep(Weight weight) : weight_(std::move(weight)) {}
    void start(const WalkFrame& frame) { weight_.start(frame); }
    void rowStart(const RowSpot& spot) { weight_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        const int32_t w = weight_.value(at);
        const Rgba15& kept = at.scratch[Slot];
        p.r = mix15(kept.r, p.r, w);
        p.g = mix15(kept.g, p.g, w);
        p.b = mix15(kept.b, p.b, w);
    }

private:
    Weight weight_;
};
template <int Slot, PixelValue Weight>
RevealStep<Slot, Weight> reveal(Weight weight) {
    return RevealStep<Slot, Weight>(std::move(weight));
}

// The recipe of each variant (1 to 13).
LUMETRA_VECTOR_CLONES void color2Walk(const IplImage* src, IplImage* dst, const CanvasWindow& window, int variant) {
    const HueSaturation& saturation = color2Saturation(variant);
    const CurveLutSet curves = buildCurveLutSet(color2Points(variant));
    // The single curves of 11 and 12 shape all three channels alike.
    const CurveLut single = buildCurveLut(color2Curve(variant));
    const CurveLutSet greyCurve{{single, single, single}};
    // Recipes that keep the source pixel for a later step go pixel by pixel.
    // The walks are inlined so that they are compiled into both clones.
    const auto walk = [&](PixelOperation auto recipe) __attribute__((always_inline)) {
        lookWalk(src, dst, window, std::move(recipe));
    };
    const auto walkKeeping = [&](PixelOperation auto recipe) __attribute__((always_inline)) {
        pixelWalk(dst, window, source(src) | std::move(recipe));
    };

    switch (variant) {
        case 1: {
            const VignetteShape shape = prepareVignette(-40, -20, window.width, window.height);
            return walkKeeping(vignette15(shape) | keep<0>() | step<HardLight>(GradientMapTerm<0>{}, 16384));
        }
        case 2:
        case 3:
        case 4: return walk(hsvSaturation(saturation) | applyCurves(curves));
        case 6: {
            const VignetteShape shape = prepareVignette(-100, -80, window.width, window.height);
            return walkKeeping(keep<0>() | applyCurves(curves) | hsvSaturation(saturation) |
                               reveal<0>(vignetteWeight15(shape)));
        }
        case 5:
        case 7:
        case 8:
        case 9: return walk(applyCurves(curves) | hsvSaturation(saturation));
        case 11:
        case 12: return walk(toGrey() | applyCurves(greyCurve));
        case 13: return walk(matrix(kSepiaMatrix));
        default: return walk(hsvSaturation(saturation));
    }
}

}  // namespace

void applyColor2(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    color2Walk(src, dst, canvasWindow(region, src), variant < 1 || variant > 13 ? 10 : variant);
}

}  // namespace lumetra
