// "vignetting" and "vignetting2": levels and a saturation scaled from the
// measured range, then a darkening towards the edges: a radial falloff, or
// a mask picture stretched over the canvas.
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {

// Each channel scaled by the mask's bilinear sample on the byte scale:
// (c * m) >> 8, so 255 keeps 255/256 and 0 gives black.
template <PixelValue Mask>
class MaskStep : public PixelOp {
public:
    explicit MaskStep(Mask mask) : mask_(std::move(mask)) {}
    void start(const WalkFrame& frame) { mask_.start(frame); }
    void rowStart(const RowSpot& spot) { mask_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        const Rgb15 m = mask_.value(at);
        p.r = (p.r * (m.r >> 7)) >> 8;
        p.g = (p.g * (m.g >> 7)) >> 8;
        p.b = (p.b * (m.b >> 7)) >> 8;
    }

private:
    Mask mask_;
};
template <PixelValue Mask>
MaskStep<Mask> multiplyByMask(Mask mask) {
    return MaskStep<Mask>(std::move(mask));
}

// The levels stretch and the saturation matrix of the measured range times
// saturationScale (the product stored as a float).
struct VignettingBase {
    ColorScale stretch;
    ColorMatrix15 saturation;
};
VignettingBase measureBase(const IplImage* src, const EffectRegion* region, float lowClip, float highClip,
                           float saturationScale) {
    const AutoLevels levels = measureAutoLevels(src, region, lowClip, highClip);
    const float s = static_cast<float>(static_cast<double>(levels.range) * saturationScale);
    return {levels.scale, saturationMatrix(s)};
}

LUMETRA_VECTOR_CLONES void radialWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                    const VignettingBase& base, const VignetteShape& shape) {
    lookWalk(src, dst, window,
             fused(matrix(base.saturation) | applyLevels(base.stretch) | clampBelow(0)) | vignette12(shape));
}

LUMETRA_AVX2_CLONES void maskWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                const VignettingBase& base, const IplImage* mask, const LayerTransform& stretch) {
    lookWalk(src, dst, window,
             fused(matrix(base.saturation) | applyLevels(base.stretch) | clampBelow(0)) |
                 multiplyByMask(layer<3>(mask, stretch)));
}

}  // namespace

void applyVignetting2(const IplImage* src, IplImage* dst, int amount, int radiusExp, float lowClip, float highClip,
                      float saturationScale, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    const VignettingBase base = measureBase(src, region, lowClip, highClip, saturationScale);
    const CanvasWindow window = canvasWindow(region, src);
    const VignetteShape shape = prepareVignette(amount, radiusExp, window.width, window.height);

    radialWalk(src, dst, window, base, shape);
}

void applyVignetting(const IplImage* src, IplImage* dst, const IplImage* mask, float lowClip, float highClip,
                     float saturationScale, const EffectRegion* region) {
    if (!mask) return applyVignetting2(src, dst, -100, 0, lowClip, highClip, saturationScale, region);
    if (!lookPicturesUsable(src, dst) || !isBytePicture(mask, 3)) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!canFitLayer(mask->width, mask->height, window.width, window.height, kFitStretch)) return;
    const VignettingBase base = measureBase(src, region, lowClip, highClip, saturationScale);
    const LayerTransform stretch = fitLayer(mask->width, mask->height, window.width, window.height, kFitStretch);

    maskWalk(src, dst, window, base, mask, stretch);
}

}  // namespace lumetra
