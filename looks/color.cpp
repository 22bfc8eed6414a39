// "color": levels and contrast-tied saturation, a saturation change by hue,
// then a tint: the pixel with its hue replaced mixed in (variant 1), or a
// fixed colour laid over with "overlay" (the others).
#include "looks/color_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"
#include "pixel/blend_formulas.h"

namespace lumetra {

namespace {

// The saturation change, then mix15(A, B, weight) where A is the changed
// pixel and B the same pixel with its hue replaced.
struct HueTintStep : PixelOp {
    HueSaturation change;
    int32_t hue;
    int32_t weight;
    template <int32_t (*Divide)(int32_t, int32_t) = divideTruncating, class Px>
    void apply(Px& p, PixelContext&) const {
        Hsv15 q = rgbToHsv15<Divide>(p);
        changeSaturation(change, q);
        Rgb15 a{}, b{};
        hsvToRgb15(q, a);
        q.h = hue;
        hsvToRgb15(q, b);
        p.r = mix15(a.r, b.r, weight);
        p.g = mix15(a.g, b.g, weight);
        p.b = mix15(a.b, b.b, weight);
    }
    // The recipe clamps to 0..32768 first: the single-precision quotients.
    [[gnu::always_inline]] friend void applyRow(HueTintStep& step, const RowPlanes& row) {
        applyHsvRow(step, row, [&](const RowPlanes& run) {
            return hueTintRows(run.r, run.g, run.b, run.width, step.change, step.hue, step.weight);
        });
    }
};

LUMETRA_VECTOR_CLONES void colorWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                   const AutoLevels& levels, const ColorLook& look) {
    const auto base =
        fused(matrix(saturationMatrix(levels.range)) | applyLevels(levels.scale) | clampBelow(0) | clampAbove(32768));
    if (look.replaceHue)
        lookWalk(src, dst, window, base | HueTintStep{{}, look.saturation, look.hue, look.weight});
    else
        lookWalk(src, dst, window,
                 base | hsvSaturation(look.saturation) | step<Overlay>(constant(look.overlay), look.weight));
}

}  // namespace

void applyColor(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    const ColorLook& look = colorLook(variant);
    const AutoLevels levels = measureAutoLevels(src, region, 0.01f, 0.01f);
    const CanvasWindow window = canvasWindow(region, src);
    colorWalk(src, dst, window, levels, look);
}

}  // namespace lumetra
